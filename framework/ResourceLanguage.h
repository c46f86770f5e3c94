// The language the program's own resources are taken in: its strings, its
// dialog templates and its menus. Resources that exist in one language only
// (the icon, the bar's template) are found in any. LoadString, DialogBox and
// LoadMenu would each pick by the thread's UI language, which a program
// cannot set for them everywhere (Wine 8 ignores SetThreadUILanguage there),
// so each resource is looked up in the chosen language by FindResourceEx.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

void SetResourceLanguage(LANGID language);
LANGID ResourceLanguage();

// String `id` of the module's string table; empty when there is none.
std::wstring LoadResourceString(HINSTANCE instance, UINT id);
// The dialog template `id`; null when there is none.
const DLGTEMPLATE* FindDialogTemplate(HINSTANCE instance, int id);
// Menu `id`, to be destroyed by the caller; null when there is none.
HMENU LoadResourceMenu(HINSTANCE instance, int id);

}  // namespace framework
