#include "res/tests/RcStrings.h"

#include <fstream>
#include <sstream>

#include "core/Texts.h"
#include "core/Utf.h"

namespace vorlane {
namespace {

std::string Trimmed(const std::string& line) {
    const size_t begin = line.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return std::string();
    return line.substr(begin, line.find_last_not_of(" \t\r") + 1 - begin);
}

std::string FirstWord(const std::string& line) {
    return line.substr(0, line.find_first_of(" \t,"));
}

// The quoted text starting at `at` (its opening quote), escapes undone.
std::string Quoted(const std::string& line, size_t at, bool& ok) {
    std::string text;
    for (size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                text += '"';
                ++i;
                continue;
            }
            ok = true;
            return text;
        }
        if (c == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            continue;
        }
        text += c;
    }
    ok = false;
    return text;
}

std::string ReadWhole(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::wstring ChineseText(int id) {
    const auto& strings = ProgramRc().languages.at(Language::Chinese).strings;
    const auto found = strings.find(id);
    return found == strings.end() ? std::wstring() : found->second;
}

// The native tests see the texts of a Chinese system, as the program shows
// them there.
[[maybe_unused]] const bool kChineseInstalled = (SetTextSource(&ChineseText), true);

}  // namespace

RcFile ParseRc(const std::string& rc, const std::string& resourceH) {
    RcFile file;
    std::map<std::string, int> numbers;
    std::istringstream defines(resourceH);
    for (std::string line; std::getline(defines, line);) {
        std::istringstream words(line);
        std::string hash, name;
        long value = 0;
        if (words >> hash >> name >> value && hash == "#define" && name.rfind("IDS_", 0) == 0) {
            numbers[name] = static_cast<int>(value);
            file.names[static_cast<int>(value)] = name;
        }
    }

    std::istringstream lines(rc);
    RcLanguage* language = nullptr;
    bool inTable = false;
    int lineNumber = 0;
    for (std::string raw; std::getline(lines, raw);) {
        ++lineNumber;
        const std::string line = Trimmed(raw);
        const std::string word = FirstWord(line);
        const auto fail = [&](const std::string& what) {
            if (file.problem.empty()) {
                file.problem = "line " + std::to_string(lineNumber) + ": " + what;
            }
        };
        if (word == "LANGUAGE") {
            if (line.find("LANG_CHINESE") != std::string::npos) {
                language = &file.languages[Language::Chinese];
            } else if (line.find("LANG_ENGLISH") != std::string::npos) {
                language = &file.languages[Language::English];
            } else {
                language = nullptr;
                if (line.find("LANG_NEUTRAL") == std::string::npos) {
                    fail("a language other than Chinese, English or neutral");
                }
            }
        } else if (word == "STRINGTABLE") {
            inTable = true;
            if (!language) fail("a string table before any LANGUAGE");
        } else if (inTable && word == "END") {
            inTable = false;
        } else if (inTable && word.rfind("IDS_", 0) == 0) {
            const auto number = numbers.find(word);
            const size_t quote = line.find('"');
            bool ok = false;
            const std::string text = quote == std::string::npos ? "" : Quoted(line, quote, ok);
            if (number == numbers.end()) {
                fail(word + " is not defined in resource.h");
            } else if (!ok) {
                fail(word + " has no whole quoted text on its line");
            } else if (language &&
                       !language->strings.emplace(number->second, Utf8ToWide(text)).second) {
                fail(word + " twice in one language");
            }
        } else if (!inTable && language) {
            std::istringstream words(line);
            std::string name, kind;
            if (words >> name >> kind &&
                (kind == "DIALOG" || kind == "DIALOGEX" || kind == "MENU" || kind == "MENUEX")) {
                language->templates.insert(name);
            }
        }
    }
    return file;
}

const RcFile& ProgramRc() {
    static const RcFile file =
        ParseRc(ReadWhole(VORLANE_RC_PATH), ReadWhole(VORLANE_RESOURCE_H_PATH));
    return file;
}

}  // namespace vorlane
