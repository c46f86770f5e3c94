#include "core/IniDocument.h"

#include <climits>

#include "core/Utf.h"

namespace vorlane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view inner) {
    std::string out;
    out.reserve(inner.size());
    for (size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        if (c == '"') return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= inner.size()) return std::nullopt;
        switch (inner[i]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 'x': {
                if (i + 2 >= inner.size()) return std::nullopt;
                const int hi = HexDigit(inner[i + 1]);
                const int lo = HexDigit(inner[i + 2]);
                if (hi < 0 || lo < 0) return std::nullopt;
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

// A quoted value is unescaped; one that only looks quoted (a hand-written
// "C:\Program Files\x.exe" /s "y") is taken as it stands.
std::string DecodeValue(std::string_view raw) {
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
        if (auto inner = Unescape(raw.substr(1, raw.size() - 2))) return *inner;
    }
    return std::string(raw);
}

std::string EncodeValue(std::string_view value) {
    if (value.empty()) return {};
    const bool utf8 = IsValidUtf8(value);
    bool quote = !utf8 || IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '"';
    for (unsigned char c : value) quote = quote || c < 0x20 || c == 0x7F;
    if (!quote) return std::string(value);

    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (c < 0x20 || c == 0x7F || (c >= 0x80 && !utf8)) {
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xF];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
    return out;
}

bool IsWritableName(std::string_view name) {
    if (name.empty() || Trim(name).size() != name.size()) return false;
    if (name.front() == ';' || name.front() == '#') return false;
    for (unsigned char c : name) {
        if (c == '=' || c == '[' || c == ']' || IsControl(c) || c == '\t') return false;
    }
    return IsValidUtf8(name);
}

}  // namespace

const char* ParseErrorName(ParseError error) {
    switch (error) {
        case ParseError::None:
            return "none";
        case ParseError::TooLarge:
            return "too-large";
        case ParseError::NulByte:
            return "nul-byte";
        case ParseError::Utf16Bom:
            return "utf16-bom";
        case ParseError::InvalidUtf8:
            return "invalid-utf8";
        case ParseError::ControlCharacter:
            return "control-character";
        case ParseError::BadLine:
            return "bad-line";
    }
    return "unknown";
}

IniDocument::ParseResult IniDocument::Parse(std::string_view text) {
    lines_.clear();
    bom_ = false;
    crlf_ = true;
    const auto fail = [this](ParseError error, size_t line) {
        lines_.clear();
        bom_ = false;
        return ParseResult{error, line};
    };

    if (text.size() > kMaxIniBytes) return fail(ParseError::TooLarge, 0);
    if (text.size() >= 2 &&
        ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        return fail(ParseError::Utf16Bom, 0);
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        bom_ = true;
        text.remove_prefix(3);
    }
    const size_t firstEnd = text.find('\n');
    if (firstEnd != std::string_view::npos) crlf_ = firstEnd > 0 && text[firstEnd - 1] == '\r';

    size_t number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        if (raw.find('\0') != std::string_view::npos) return fail(ParseError::NulByte, number);
        if (!IsValidUtf8(raw)) return fail(ParseError::InvalidUtf8, number);
        for (unsigned char c : raw) {
            if (IsControl(c)) return fail(ParseError::ControlCharacter, number);
        }

        Line line;
        line.text = std::string(raw);
        const std::string_view body = Trim(raw);
        if (body.empty() || body.front() == ';' || body.front() == '#') {
            line.kind = Kind::Verbatim;
        } else if (body.front() == '[') {
            if (body.back() != ']') return fail(ParseError::BadLine, number);
            const std::string_view name = Trim(body.substr(1, body.size() - 2));
            if (name.empty()) return fail(ParseError::BadLine, number);
            line.kind = Kind::Section;
            line.name = std::string(name);
        } else {
            const size_t eq = body.find('=');
            if (eq == std::string_view::npos) return fail(ParseError::BadLine, number);
            const std::string_view key = Trim(body.substr(0, eq));
            if (key.empty()) return fail(ParseError::BadLine, number);
            line.kind = Kind::Key;
            line.name = std::string(key);
            line.value = DecodeValue(Trim(body.substr(eq + 1)));
        }
        lines_.push_back(std::move(line));
    }
    return {};
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    std::optional<std::string> found;
    bool inSection = section.empty();
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section) {
            inSection = EqualsNoCase(line.name, section);
        } else if (line.kind == Kind::Key && inSection && EqualsNoCase(line.name, key)) {
            found = line.value;
        }
    }
    return found;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritableName(key) || (!section.empty() && !IsWritableName(section))) return false;

    // First pass: rewrite the first occurrence, drop the later ones, and note
    // where a new key would go (after the section's last key line).
    bool inSection = section.empty();
    bool written = false;
    bool sectionSeen = section.empty();
    size_t insertAt = 0;
    bool insertChosen = false;
    for (size_t i = 0; i < lines_.size();) {
        Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            const bool wasIn = inSection;
            inSection = EqualsNoCase(line.name, section);
            if (inSection && !sectionSeen) {
                sectionSeen = true;
                insertAt = i + 1;
            }
            if (wasIn && !inSection) insertChosen = true;  // the first block has ended
        } else if (line.kind == Kind::Key && inSection) {
            if (EqualsNoCase(line.name, key)) {
                if (written) {
                    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
                    continue;
                }
                line.value = std::string(value);
                line.rewritten = true;
                written = true;
            }
            if (!insertChosen) insertAt = i + 1;
        }
        ++i;
    }
    if (written) return true;

    Line line;
    line.kind = Kind::Key;
    line.name = std::string(key);
    line.value = std::string(value);
    line.rewritten = true;
    if (!sectionSeen) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Line{});
        Line header;
        header.kind = Kind::Section;
        header.name = std::string(section);
        header.text = "[" + header.name + "]";
        lines_.push_back(std::move(header));
        insertAt = lines_.size();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    return true;
}

std::string IniDocument::Serialize() const {
    std::string out;
    if (bom_) out += "\xEF\xBB\xBF";
    const char* newline = crlf_ ? "\r\n" : "\n";
    for (const Line& line : lines_) {
        if (line.kind == Kind::Key && line.rewritten) {
            out += line.name;
            out += '=';
            out += EncodeValue(line.value);
        } else {
            out += line.text;
        }
        out += newline;
    }
    return out;
}

int ReadIntLikeAtoi(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Accumulate as a negative number, whose range is the larger one.
    long long value = 0;
    const long long limit =
        negative ? static_cast<long long>(INT_MIN) : -static_cast<long long>(INT_MAX);
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 - (text[i] - '0');
        if (value < limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? value : -value);
}

bool ReadBool(std::string_view text) {
    const std::string_view t = Trim(text);
    for (const char* yes : {"true", "yes", "on"}) {
        if (EqualsNoCase(t, yes)) return true;
    }
    for (const char* no : {"false", "no", "off"}) {
        if (EqualsNoCase(t, no)) return false;
    }
    return ReadIntLikeAtoi(t) != 0;
}

}  // namespace vorlane
