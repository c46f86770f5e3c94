#include "app/UiLanguage_win.h"

#include <windows.h>

#include <memory>

#include "core/ConfigStore.h"
#include "core/CoreInternal_win.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "core/Utf.h"
#include "framework/ResourceLanguage.h"

namespace vorlane {
namespace {

std::wstring ProgramText(int id) {
    return framework::LoadResourceString(::GetModuleHandleW(nullptr), static_cast<UINT>(id));
}

std::wstring UserUiLocale() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID ui = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    return ::LCIDToLocaleName(ui, name, LOCALE_NAME_MAX_LENGTH, 0) > 0 ? name : L"";
}

}  // namespace

Language UseLanguage(const std::wstring& key) {
    const Language language = ChooseLanguage(key, UserUiLocale());
    framework::SetResourceLanguage(language == Language::Chinese
                                       ? MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)
                                       : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    SetTextSource(&ProgramText);
    Trace(L"window", std::wstring(L"language\t") +
                         (language == Language::Chinese ? kLanguageChinese : kLanguageEnglish));
    return language;
}

std::wstring StoredLanguageKey(const SettingsPlace& place) {
    ConfigStore store(std::make_unique<WindowsFileSystem>(), place.path, place.seed);
    store.Load();
    return Utf8ToWide(store.GetText("lang"));
}

}  // namespace vorlane
