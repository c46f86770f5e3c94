#include "core/Language.h"

namespace vorlane {
namespace {

wchar_t Lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsChineseLocale(std::wstring_view locale) {
    if (locale.size() < 2 || Lower(locale[0]) != L'z' || Lower(locale[1]) != L'h') return false;
    return locale.size() == 2 || locale[2] == L'-' || locale[2] == L'_';
}

}  // namespace

Language ChooseLanguage(std::wstring_view key, std::wstring_view uiLocale) {
    if (key == kLanguageChinese) return Language::Chinese;
    if (key == kLanguageEnglish) return Language::English;
    return IsChineseLocale(uiLocale) ? Language::Chinese : Language::English;
}

}  // namespace vorlane
