#include "framework/ResourceLanguage.h"

namespace framework {
namespace {

LANGID chosen = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// The resource in the chosen language, else in whatever language it has.
const void* FindInLanguage(HINSTANCE instance, const wchar_t* type, const wchar_t* name) {
    HRSRC found = ::FindResourceExW(instance, type, name, chosen);
    if (!found) found = ::FindResourceW(instance, name, type);
    if (!found) return nullptr;
    HGLOBAL loaded = ::LoadResource(instance, found);
    return loaded ? ::LockResource(loaded) : nullptr;
}

}  // namespace

void SetResourceLanguage(LANGID language) { chosen = language; }

LANGID ResourceLanguage() { return chosen; }

std::wstring LoadResourceString(HINSTANCE instance, UINT id) {
    // A string table is stored in blocks of 16: block id / 16 + 1 holds
    // string id at place id % 16, each a length followed by that many
    // UTF-16 units.
    const auto* unit = static_cast<const WCHAR*>(
        FindInLanguage(instance, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1)));
    if (!unit) return std::wstring();
    for (UINT place = 0; place < id % 16; ++place) unit += 1 + *unit;
    return std::wstring(unit + 1, *unit);
}

const DLGTEMPLATE* FindDialogTemplate(HINSTANCE instance, int id) {
    return static_cast<const DLGTEMPLATE*>(
        FindInLanguage(instance, RT_DIALOG, MAKEINTRESOURCEW(id)));
}

HMENU LoadResourceMenu(HINSTANCE instance, int id) {
    const void* menu = FindInLanguage(instance, RT_MENU, MAKEINTRESOURCEW(id));
    return menu ? ::LoadMenuIndirectW(menu) : nullptr;
}

}  // namespace framework
