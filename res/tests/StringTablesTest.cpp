// Both languages of res/Vorlane.rc hold the same texts: every string id in
// both string tables with the same fields, and every dialog and menu in both.
#include "res/tests/RcStrings.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "core/Utf.h"

namespace vorlane {
namespace {

// A text's fields, %1..%9 with the number of times each appears.
std::vector<wchar_t> Fields(const std::wstring& text) {
    std::vector<wchar_t> fields;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'%') continue;
        if (text[i + 1] != L'%') fields.push_back(text[i + 1]);
        ++i;
    }
    std::sort(fields.begin(), fields.end());
    return fields;
}

std::string NameOf(const RcFile& rc, int id) {
    const auto name = rc.names.find(id);
    return name == rc.names.end() ? std::to_string(id) : name->second;
}

// What differs between the two languages' string tables and templates.
std::vector<std::string> Mismatches(const RcFile& rc) {
    std::vector<std::string> found;
    if (!rc.problem.empty()) found.push_back(rc.problem);
    const auto zh = rc.languages.find(Language::Chinese);
    const auto en = rc.languages.find(Language::English);
    if (zh == rc.languages.end() || en == rc.languages.end()) {
        found.push_back("both languages must have resources");
        return found;
    }
    for (const auto& [id, text] : zh->second.strings) {
        const auto other = en->second.strings.find(id);
        if (other == en->second.strings.end()) {
            found.push_back(NameOf(rc, id) + " only in Chinese");
        } else if (Fields(text) != Fields(other->second)) {
            found.push_back(NameOf(rc, id) + ": the fields differ");
        } else if (other->second.empty()) {
            found.push_back(NameOf(rc, id) + ": empty in English");
        }
    }
    for (const auto& [id, text] : en->second.strings) {
        if (!zh->second.strings.count(id)) found.push_back(NameOf(rc, id) + " only in English");
    }
    for (const auto& [id, name] : rc.names) {
        if (!zh->second.strings.count(id) && !en->second.strings.count(id)) {
            found.push_back(name + " is in no string table");
        }
    }
    if (zh->second.templates != en->second.templates) {
        found.push_back("the dialogs and menus differ");
    }
    return found;
}

TEST(StringTables, BothLanguagesHoldTheSameTextsWithTheSameFields) {
    const RcFile& rc = ProgramRc();
    ASSERT_FALSE(rc.names.empty()) << "no IDS_ id read from " << VORLANE_RESOURCE_H_PATH;
    EXPECT_EQ(Mismatches(rc), std::vector<std::string>());
    EXPECT_TRUE(rc.languages.at(Language::English).templates.count("IDD_SETTINGS"));
    EXPECT_TRUE(rc.languages.at(Language::English).templates.count("IDR_POPUP"));
}

TEST(StringTables, AMissingTextOrAChangedFieldIsFound) {
    const std::string header = "#define IDS_A 10\n#define IDS_B 11\n#define IDS_C 12\n";
    const std::string rc =
        "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED\n"
        "IDD_X DIALOG 0, 0, 10, 10\n"
        "STRINGTABLE\nBEGIN\n"
        "    IDS_A \"甲：%1，%2\"\n"
        "    IDS_B \"乙\\n\"\"%%\"\"\"\n"
        "END\n"
        "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
        "STRINGTABLE\nBEGIN\n"
        "    IDS_A \"A: %1\"\n"
        "END\n";
    const RcFile parsed = ParseRc(rc, header);
    EXPECT_EQ(parsed.languages.at(Language::Chinese).strings.at(11), L"乙\n\"%%\"");
    EXPECT_EQ(
        Mismatches(parsed),
        (std::vector<std::string>{"IDS_A: the fields differ", "IDS_B only in Chinese",
                                  "IDS_C is in no string table", "the dialogs and menus differ"}));
}

}  // namespace
}  // namespace vorlane
