// The string tables of res/Vorlane.rc read without Windows, for the native
// tests: each language's texts by id (the numbers of res/resource.h), and
// the dialogs and menus each language declares.
#pragma once

#include <map>
#include <set>
#include <string>

#include "core/Language.h"

namespace vorlane {

struct RcLanguage {
    std::map<int, std::wstring> strings;  // by IDS_ number
    std::set<std::string> templates;      // names of its DIALOG(EX) and MENU resources
};

struct RcFile {
    std::map<Language, RcLanguage> languages;
    std::map<int, std::string> names;  // IDS_ number -> its name in res/resource.h
    std::string problem;               // what could not be read; empty when all was
};

// Reads the .rc text and the resource.h text it includes. A string's
// escapes (\n, \t, \\, \", "") are undone.
RcFile ParseRc(const std::string& rc, const std::string& resourceH);
// res/Vorlane.rc and res/resource.h of this source tree, read once.
const RcFile& ProgramRc();

}  // namespace vorlane
