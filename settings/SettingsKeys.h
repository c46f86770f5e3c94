// Names for the keys of the settings file that code reads or writes by name
// outside the table of settings (core/SettingsTable.h), where every key is
// declared; a test checks that each of these is a key of the table.
#pragma once

namespace vorlane::keys {

constexpr const wchar_t* kFontSize = L"fontsize";
constexpr const wchar_t* kFontName = L"fontname";
constexpr const wchar_t* kPosLeft = L"posleft";
constexpr const wchar_t* kPosTop = L"postop";
constexpr const wchar_t* kHelpHost = L"helphost";
constexpr const wchar_t* kKeepLog = L"log";
constexpr const wchar_t* kLanguage = L"lang";

}  // namespace vorlane::keys
