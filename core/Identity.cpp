#include "core/Identity.h"

#include <cstring>

#include "core/Version.h"

namespace vorlane {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::string_view kTerminator = "001E";

// The product's texts. The full name is kept as its GBK bytes, as the
// record stores them: "HalvetVorlane" and 软件 (software).
constexpr char16_t kVersion[] = u"" VORLANE_VERSION;
constexpr char16_t kShortName[] = u"vrln";
constexpr char16_t kKind[] = u"software";
constexpr char kFullNameGbk[] = "HalvetVorlane\xC8\xED\xBC\xFE";
// Four hex digits a character, the terminator and a zero before the next field.
static_assert((sizeof(kVersion) / sizeof(kVersion[0]) - 1) * 4 + 4 + 1 <=
                  kIdentityShortNameAt - kIdentityVersionAt,
              "the version text fits its field");

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Strips the terminator and checks that the rest is whole groups of hex.
std::optional<std::string_view> HexBody(std::string_view hex, size_t group) {
    if (hex.size() < kTerminator.size() ||
        hex.substr(hex.size() - kTerminator.size()) != kTerminator)
        return std::nullopt;
    hex.remove_suffix(kTerminator.size());
    if (hex.size() % group != 0) return std::nullopt;
    for (char c : hex) {
        if (HexValue(c) < 0) return std::nullopt;
    }
    return hex;
}

unsigned ReadHex(std::string_view digits) {
    unsigned value = 0;
    for (char c : digits) value = value * 16 + static_cast<unsigned>(HexValue(c));
    return value;
}

void Put(char* record, size_t offset, const std::string& text) {
    std::memcpy(record + offset, text.data(), text.size());
}

std::optional<std::string_view> Field(const char* record, size_t from, size_t to) {
    const void* nul = std::memchr(record + from, '\0', to - from);
    if (!nul) return std::nullopt;
    return std::string_view(record + from,
                            static_cast<size_t>(static_cast<const char*>(nul) - (record + from)));
}

}  // namespace

std::string EncodeHexUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 4 + kTerminator.size());
    for (char16_t unit : text) {
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
    }
    out += kTerminator;
    return out;
}

std::string EncodeHexBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2 + kTerminator.size());
    for (unsigned char b : bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    }
    out += kTerminator;
    return out;
}

std::optional<std::u16string> DecodeHexUtf16(std::string_view hex) {
    auto body = HexBody(hex, 4);
    if (!body) return std::nullopt;
    std::u16string out;
    for (size_t i = 0; i < body->size(); i += 4) {
        out += static_cast<char16_t>(ReadHex(body->substr(i, 4)));
    }
    return out;
}

std::optional<std::string> DecodeHexBytes(std::string_view hex) {
    auto body = HexBody(hex, 2);
    if (!body) return std::nullopt;
    std::string out;
    for (size_t i = 0; i < body->size(); i += 2) {
        out += static_cast<char>(ReadHex(body->substr(i, 2)));
    }
    return out;
}

std::u16string DecodeGbkSubset(std::string_view gbk) {
    struct Pair {
        unsigned char lead, trail;
        char16_t unit;
    };
    static constexpr Pair kKnown[] = {{0xC8, 0xED, u'软'}, {0xBC, 0xFE, u'件'}};
    std::u16string out;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            continue;
        }
        char16_t unit = u'\uFFFD';
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < gbk.size()) {
            const auto trail = static_cast<unsigned char>(gbk[++i]);
            for (const Pair& p : kKnown) {
                if (p.lead == lead && p.trail == trail) unit = p.unit;
            }
        }
        out += unit;
    }
    return out;
}

void FillIdentityBytes(char* record) {
    std::memset(record, 0, kIdentitySize);
    Put(record, kIdentityVersionAt, EncodeHexUtf16(kVersion));
    Put(record, kIdentityShortNameAt, EncodeHexUtf16(kShortName));
    Put(record, kIdentityKindAt, EncodeHexUtf16(kKind));
    Put(record, kIdentityFullNameAt, EncodeHexBytes(kFullNameGbk));
}

std::optional<ProductInfo> DecodeIdentityBytes(const char* record, size_t size) {
    if (!record || size < kIdentitySize) return std::nullopt;
    auto version = Field(record, kIdentityVersionAt, kIdentityShortNameAt);
    auto shortName = Field(record, kIdentityShortNameAt, kIdentityKindAt);
    auto kind = Field(record, kIdentityKindAt, kIdentityFullNameAt);
    auto fullName = Field(record, kIdentityFullNameAt, kIdentitySize);
    if (!version || !shortName || !kind || !fullName) return std::nullopt;

    ProductInfo info;
    auto v = DecodeHexUtf16(*version);
    auto s = DecodeHexUtf16(*shortName);
    auto k = DecodeHexUtf16(*kind);
    auto f = DecodeHexBytes(*fullName);
    if (!v || !s || !k || !f) return std::nullopt;
    info.version = *v;
    info.shortName = *s;
    info.kind = *k;
    info.fullName = DecodeGbkSubset(*f);
    return info;
}

}  // namespace vorlane
