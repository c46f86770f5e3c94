// The identity record decoder and the hex texts it is made of. Whatever the
// bytes: no read outside the record, and what the encoders write decodes back
// to exactly what went in.
// Input: the record's bytes (any length; a record shorter than 354 bytes is
// refused).
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/Identity.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using vorlane::fuzz::Require;
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    std::vector<char> record(data, data + size);
    auto info = vorlane::DecodeIdentityBytes(record.data(), record.size());
    if (size < vorlane::kIdentitySize) Require(!info, "a short record is refused");

    const std::string_view bytes(record.data(), record.size());
    (void)vorlane::DecodeHexUtf16(bytes);
    (void)vorlane::DecodeHexBytes(bytes);
    (void)vorlane::DecodeGbkSubset(bytes);

    auto back = vorlane::DecodeHexBytes(vorlane::EncodeHexBytes(bytes));
    Require(back && *back == bytes, "hex bytes round trip");
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        units += static_cast<char16_t>(data[i] << 8 | data[i + 1]);
    }
    auto backUnits = vorlane::DecodeHexUtf16(vorlane::EncodeHexUtf16(units));
    Require(backUnits && *backUnits == units, "hex UTF-16 round trip");

    // Fields that fit decode from a record made of them.
    if (units.size() <= 12) {
        char made[vorlane::kIdentitySize];
        vorlane::FillIdentityBytes(made);
        const std::string hex = vorlane::EncodeHexUtf16(units);
        std::memset(made + vorlane::kIdentityShortNameAt, 0,
                    vorlane::kIdentityKindAt - vorlane::kIdentityShortNameAt);
        std::memcpy(made + vorlane::kIdentityShortNameAt, hex.data(), hex.size());
        auto decoded = vorlane::DecodeIdentityBytes(made, sizeof(made));
        Require(decoded && decoded->shortName == units, "a record's field decodes back");
    }
    return 0;
}
