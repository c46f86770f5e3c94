#include "core/Utf.h"

namespace vorlane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `pos` and advances it past the sequence, or past
// the longest prefix that could have started a valid sequence when the bytes
// are malformed (the "maximal subpart" rule), returning U+FFFD then and
// clearing `valid`.
char32_t DecodeOne(std::string_view s, size_t& pos, bool& valid) {
    valid = false;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        valid = true;
        return lead;
    }
    int length;
    char32_t cp;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        ++pos;
        return kReplacement;
    }
    size_t i = pos + 1;
    for (int k = 1; k < length; ++k, ++i) {
        if (i >= s.size()) {
            pos = i;
            return kReplacement;
        }
        const unsigned char c = byte(i);
        const unsigned char lo = k == 1 ? low : 0x80;
        const unsigned char hi = k == 1 ? high : 0xBF;
        if (c < lo || c > hi) {
            pos = i;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    pos = i;
    valid = true;
    return cp;
}

char32_t DecodeOne(std::string_view s, size_t& pos) {
    bool valid;
    return DecodeOne(s, pos, valid);
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

template <typename String>
void AppendUtf16(String& out, char32_t cp) {
    using Unit = typename String::value_type;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<Unit>(0xD800 + (cp >> 10));
        out += static_cast<Unit>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<Unit>(cp);
    }
}

// Reads UTF-16 code units (in any 16-bit-or-wider container); an unpaired
// surrogate becomes U+FFFD.
template <typename View>
std::string FromUtf16(View in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t unit = static_cast<char32_t>(in[i]) & 0xFFFF;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < in.size()) {
            char32_t next = static_cast<char32_t>(in[i + 1]) & 0xFFFF;
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);  // a lone surrogate is replaced there
    }
    return out;
}

template <typename String>
String ToUtf16(std::string_view utf8) {
    String out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) AppendUtf16(out, DecodeOne(utf8, pos));
    return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) { return ToUtf16<std::u16string>(utf8); }

std::string Utf16ToUtf8(std::u16string_view utf16) { return FromUtf16(utf16); }

std::wstring Utf8ToWide(std::string_view utf8) {
    if constexpr (sizeof(wchar_t) == 2) {
        return ToUtf16<std::wstring>(utf8);
    } else {
        std::wstring out;
        out.reserve(utf8.size());
        size_t pos = 0;
        while (pos < utf8.size()) out += static_cast<wchar_t>(DecodeOne(utf8, pos));
        return out;
    }
}

std::string WideToUtf8(std::wstring_view wide) {
    if constexpr (sizeof(wchar_t) == 2) {
        return FromUtf16(wide);
    } else {
        std::string out;
        out.reserve(wide.size());
        for (wchar_t c : wide) AppendUtf8(out, static_cast<char32_t>(c));
        return out;
    }
}

bool IsValidUtf8(std::string_view bytes) {
    size_t pos = 0;
    bool valid = true;
    while (valid && pos < bytes.size()) DecodeOne(bytes, pos, valid);
    return valid;
}

}  // namespace vorlane
