// UTF-8 <-> wide text without the platform. std::wstring is UTF-16 where
// wchar_t has 16 bits (Windows) and UTF-32 where it has 32 (Linux); the
// conversions below follow whichever the compiler gives. Malformed input of
// any kind becomes U+FFFD, one per maximal bad subsequence, never a crash.
#pragma once

#include <string>
#include <string_view>

namespace vorlane {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// True when the bytes are well-formed UTF-8 (no overlong forms, no encoded
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace vorlane
