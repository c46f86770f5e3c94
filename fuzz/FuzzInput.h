// Small helpers shared by the fuzz targets: reading the fuzzer's bytes as the
// kinds of text the program gets, and a check that aborts so that libFuzzer
// reports the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace vorlane::fuzz {

inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

// Two bytes per unit, little-endian: the UTF-16 code units a Windows edit
// control hands over, surrogates and all. A last odd byte is dropped.
inline std::wstring WideFromBytes(const std::uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    return text;
}

// Splits the input at the first byte `separator` (the rest after it).
inline std::string_view SplitFirst(std::string_view& rest, char separator) {
    const size_t at = rest.find(separator);
    std::string_view head = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    return head;
}

}  // namespace vorlane::fuzz
