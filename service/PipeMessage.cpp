#include "service/PipeMessage.h"

#include "core/EventLog.h"
#include "core/Utf.h"

namespace vorlane {
namespace {

constexpr std::string_view kPrefix = "vorlane-view 1\t";

std::wstring Cut(const std::wstring& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
    return text.substr(0, cut);
}

// Upper-case only: one spelling per line, as the writer spells it.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The reverse of EscapeLogText on UTF-8; false for anything it never
// writes (another escape, another spelling of one, a raw control character,
// a NUL however written) and for bytes that are not UTF-8.
bool Unescape(std::string_view field, std::size_t limit, std::wstring& out) {
    std::string bytes;
    bytes.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        // Never raw: the writer escapes every control character.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i >= field.size()) return false;
        switch (field[i]) {
            case '\\':
                bytes += '\\';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 'x': {
                if (i + 2 >= field.size()) return false;
                const int high = HexValue(field[i + 1]);
                const int low = HexValue(field[i + 2]);
                if (high < 0 || low < 0) return false;
                const int value = high * 16 + low;
                // Only what EscapeLogText writes so: control characters
                // without an escape of their own.
                if (value == 0 || value == '\t' || value == '\r' || value == '\n' ||
                    (value >= 0x20 && value != 0x7F)) {
                    return false;
                }
                bytes += static_cast<char>(value);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    if (!IsValidUtf8(bytes)) return false;
    out = Utf8ToWide(bytes);
    // Counted in the units the writer cut it in.
    return out.size() <= limit;
}

}  // namespace

std::string FormatPipeMessage(const ViewState& state) {
    std::string line(kPrefix);
    line += state.red ? "r\t" : "g\t";
    line += WideToUtf8(EscapeLogText(Cut(state.text, kViewTextLimit)));
    line += '\t';
    line += WideToUtf8(EscapeLogText(Cut(state.glance, kViewGlanceLimit)));
    line += '\n';
    return line;
}

std::optional<ViewState> ParsePipeMessage(std::string_view line) {
    if (line.size() >= kPipeLineLimit || line.substr(0, kPrefix.size()) != kPrefix) {
        return std::nullopt;
    }
    line.remove_prefix(kPrefix.size());
    const std::size_t colourEnd = line.find('\t');
    if (colourEnd != 1 || (line[0] != 'r' && line[0] != 'g')) return std::nullopt;
    const std::size_t textEnd = line.find('\t', colourEnd + 1);
    if (textEnd == std::string_view::npos) return std::nullopt;
    const std::string_view text = line.substr(colourEnd + 1, textEnd - colourEnd - 1);
    const std::string_view glance = line.substr(textEnd + 1);
    if (glance.find('\t') != std::string_view::npos) return std::nullopt;
    ViewState state;
    state.red = line[0] == 'r';
    if (!Unescape(text, kViewTextLimit, state.text) ||
        !Unescape(glance, kViewGlanceLimit, state.glance)) {
        return std::nullopt;
    }
    return state;
}

bool PipeLineReader::feed(std::string_view bytes, std::vector<std::string>& lines) {
    while (!overflow_ && !bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::size_t take = end == std::string_view::npos ? bytes.size() : end;
        if (partial_.size() + take >= kPipeLineLimit) {
            overflow_ = true;
            partial_.clear();
            break;
        }
        partial_.append(bytes.data(), take);
        if (end == std::string_view::npos) break;
        lines.push_back(std::move(partial_));
        partial_.clear();
        bytes.remove_prefix(end + 1);
    }
    return !overflow_;
}

}  // namespace vorlane
