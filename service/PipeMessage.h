// What the service tells a view over its pipe (ServicePipe_win), and the
// view's reading of it. The pipe carries one line per state, UTF-8:
//
//     vorlane-view 1<TAB>r|g<TAB>text<TAB>glance<LF>
//
// the bar's text and frame colour (r: red, g: green) and the tooltip's text,
// both escaped as the event log escapes values (\\, \t, \r, \n, \xHH), so
// that a line holds no raw tab or line break. The view trusts nothing it
// reads: whatever the bytes, a line is taken whole and within its limits, or
// not at all, and nothing in it is ever used as a path or a command. Portable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

struct ViewState {
    std::wstring text;
    bool red = false;
    std::wstring glance;

    bool operator==(const ViewState& other) const {
        return text == other.text && red == other.red && glance == other.glance;
    }
};

// Longer texts are cut by FormatPipeMessage and refused by the parser.
constexpr std::size_t kViewTextLimit = 200;
constexpr std::size_t kViewGlanceLimit = 4000;
// A line, its line feed included, is never longer: the limits above, each
// character escaped at worst to four bytes (\xHH) or, above U+07FF, written
// in three, and the line's own fields.
constexpr std::size_t kPipeLineLimit = (kViewTextLimit + kViewGlanceLimit) * 4 + 64;

// One whole line, line feed included; texts over their limits are cut.
std::string FormatPipeMessage(const ViewState& state);

// One line without its line feed; nothing when it is not exactly a message
// of this format: the wrong prefix or version, a field too many or missing,
// a colour other than r or g, an escape other than the five, a NUL, bytes
// that are not UTF-8, or a text over its limit.
std::optional<ViewState> ParsePipeMessage(std::string_view line);

// Cuts the bytes read from the pipe, in pieces of any size, into lines.
class PipeLineReader {
  public:
    // The lines that the bytes complete, without their line feeds. False
    // once more than kPipeLineLimit bytes came without a line feed: the
    // reader then takes nothing more, and the view drops the connection.
    bool feed(std::string_view bytes, std::vector<std::string>& lines);

  private:
    std::string partial_;
    bool overflow_ = false;
};

}  // namespace vorlane
