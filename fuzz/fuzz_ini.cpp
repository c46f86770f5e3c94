// The settings file parser. Whatever the bytes: no crash, no undefined
// behaviour, and for a text that parses,
//   - what Serialize writes parses again, reads the same values for the
//     program's keys, and serializes to the same bytes (a save of a save
//     changes nothing);
//   - a value set from the input (any bytes) and saved reads back exactly,
//     while the other keys keep theirs.
// Input: the file's text, optionally followed by "\x01" and a key index and
// the value to set.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/IniDocument.h"
#include "fuzz/FuzzInput.h"

namespace {

using vorlane::IniDocument;
using vorlane::ParseError;
using vorlane::fuzz::Require;

constexpr const char* kKeys[] = {"ping",     "trytimes", "tryinterval", "djs",
                                 "cmduser",  "bwav",     "bshutdown",   "fontsize",
                                 "fontname", "posleft",  "postop",      "helphost"};
constexpr const char* kSections[] = {"Vorlane", ""};

void RequireSameValues(const IniDocument& a, const IniDocument& b, const char* what,
                       std::string_view skipSection = {}, std::string_view skipKey = {}) {
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            if (section == skipSection && key == skipKey) continue;
            Require(a.Get(section, key) == b.Get(section, key), what);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view text = vorlane::fuzz::SplitFirst(input, '\x01');

    IniDocument doc;
    const IniDocument::ParseResult parsed = doc.Parse(text);
    for (const char* key : kKeys) {
        if (auto value = doc.Get("Vorlane", key)) {
            (void)vorlane::ReadIntLikeAtoi(*value);
            (void)vorlane::ReadBool(*value);
        }
    }
    if (parsed.error != ParseError::None) {
        Require(doc.Serialize().empty(), "a failed parse leaves the document empty");
        return 0;
    }

    const std::string saved = doc.Serialize();
    IniDocument again;
    Require(again.Parse(saved).error == ParseError::None, "a serialized document parses");
    RequireSameValues(doc, again, "a serialized document reads the same values");
    Require(again.Serialize() == saved, "serializing is stable");

    if (input.empty()) return 0;
    const std::string_view section = kSections[static_cast<unsigned char>(input[0]) % 2];
    const std::string_view key =
        kKeys[static_cast<unsigned char>(input[0]) / 2 % (sizeof(kKeys) / sizeof(kKeys[0]))];
    const std::string_view value = input.substr(1);
    Require(doc.Set(section, key, value), "the program's keys can always be set");
    IniDocument written;
    Require(written.Parse(doc.Serialize()).error == ParseError::None,
            "a document with a set value parses");
    Require(written.Get(section, key) == std::optional<std::string>(std::string(value)),
            "a set value reads back exactly");
    RequireSameValues(again, written, "setting one key leaves the others alone", section, key);
    return 0;
}
