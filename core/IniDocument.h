// The settings file as text: an INI-style UTF-8 document kept line by line,
// so that comments, blank lines, sections and keys this program does not
// know come back out of a save exactly as they went in.
//
// Format:
//   - optional UTF-8 byte order mark, lines ending in LF or CRLF (the last one
//     may lack its line end);
//   - blank lines; comments, whose first non-blank character is ';' or '#';
//     section headers "[name]"; and "key=value" lines. Blanks around the key
//     and around the value are not part of them. There are no trailing
//     comments: "a;b" is the value a;b, since command lines contain ';'.
//   - a value in double quotes is unescaped (\\ \" \t \r \n \xHH); values that
//     would not survive unquoted (blanks at either end, control characters,
//     a leading quote, bytes that are not UTF-8) are written that way.
//   - section names and keys compare case-insensitively in ASCII; a key that
//     appears twice in a section reads as its last value, and a write
//     rewrites the first line and drops the later ones.
// Anything else makes the whole text unreadable (see ParseError), so that the
// caller can set the file aside rather than rewrite what it did not grasp.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

enum class ParseError {
    None,
    TooLarge,  // beyond kMaxIniBytes
    NulByte,   // binary data, or a UTF-16/UTF-32 file without a BOM
    Utf16Bom,  // FF FE or FE FF: a UTF-16 (or UTF-32) file
    InvalidUtf8,
    ControlCharacter,  // a C0 control other than tab, or DEL, inside a line
    BadLine,           // neither blank, comment, section nor key=value
};

// Our own files are a few hundred bytes; anything this large is not one.
constexpr size_t kMaxIniBytes = 16 * 1024 * 1024;

const char* ParseErrorName(ParseError error);

class IniDocument {
  public:
    struct ParseResult {
        ParseError error = ParseError::None;
        size_t line = 0;  // 1-based line of the fault, 0 when not line-bound
    };

    // Replaces the document's content with `text`. On failure the document is
    // left empty.
    ParseResult Parse(std::string_view text);

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Fails (returns false, changes nothing) for a key or section name that
    // could not be read back: empty, with '=', '[' or ']', a control
    // character, blanks at either end, or beginning with ';' or '#'.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;

  private:
    enum class Kind { Verbatim, Section, Key };
    struct Line {
        Kind kind = Kind::Verbatim;
        std::string text;   // the line as read, without its line end
        std::string name;   // section name, or key
        std::string value;  // decoded value of a key line
        bool rewritten = false;
    };

    std::vector<Line> lines_;
    bool bom_ = false;
    bool crlf_ = true;  // a new file gets Windows line ends
};

// atoi's reading of a number without its undefined behaviour: leading white
// space, an optional sign, decimal digits up to the first other character; no
// digits gives 0 and a number beyond int gives INT_MAX or INT_MIN.
int ReadIntLikeAtoi(std::string_view text);
// "1"/"0", "true"/"false", "yes"/"no", "on"/"off" (any case); otherwise a
// non-zero number by ReadIntLikeAtoi is true.
bool ReadBool(std::string_view text);

}  // namespace vorlane
