// The language of the program's texts: the `lang` key's choice, or with
// "auto" the user's UI language. Portable.
#pragma once

#include <string_view>

namespace vorlane {

enum class Language { Chinese, English };

// The `lang` key's values.
constexpr const wchar_t* kLanguageAuto = L"auto";
constexpr const wchar_t* kLanguageChinese = L"zh";
constexpr const wchar_t* kLanguageEnglish = L"en";

// `key` as stored ("zh", "en"; "auto" and anything else follow the system)
// against the user's UI language as a locale name ("zh-CN", "en-US"; empty
// when unknown): Chinese for any "zh" or "zh-*", English otherwise.
Language ChooseLanguage(std::wstring_view key, std::wstring_view uiLocale);

}  // namespace vorlane
