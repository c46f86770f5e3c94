// The product identity record: 354 bytes holding four zero-terminated hex
// texts at fixed offsets. The version, short name and kind are UTF-16 code
// units, big-endian, four upper-case hex digits each; the full name is its
// GBK bytes, two hex digits each. Every text ends in "001E".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

constexpr size_t kIdentitySize = 354;
constexpr size_t kIdentityVersionAt = 0;
constexpr size_t kIdentityShortNameAt = 51;
constexpr size_t kIdentityKindAt = 152;
constexpr size_t kIdentityFullNameAt = 253;

std::string EncodeHexUtf16(std::u16string_view text);
std::string EncodeHexBytes(std::string_view bytes);
// Both fail on odd lengths, non-hex digits (lower case included), a missing
// "001E" terminator or anything after it.
std::optional<std::u16string> DecodeHexUtf16(std::string_view hex);
std::optional<std::string> DecodeHexBytes(std::string_view hex);

// GBK to UTF-16 for ASCII and the few Chinese characters the record uses;
// any other byte pair becomes U+FFFD.
std::u16string DecodeGbkSubset(std::string_view gbk);

// Writes the product's four texts into `record` (kIdentitySize bytes), the
// rest zero.
void FillIdentityBytes(char* record);

struct ProductInfo {
    std::u16string version;
    std::u16string shortName;
    std::u16string kind;
    std::u16string fullName;
};

// Reads the four texts back; fails when a field has no terminating zero
// before the next field or is not valid hex.
std::optional<ProductInfo> DecodeIdentityBytes(const char* record, size_t size);

}  // namespace vorlane
