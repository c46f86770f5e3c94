// Every text a person sees is a string of the string table in
// res/Vorlane.rc, in the language of the run; the ids are the IDS_ values of
// res/resource.h. A text's fields are %1 to %9, filled in by number, and %%
// is a percent sign. The Windows side reads the exe's own string table
// (app/UiLanguage_win.h); the native tests read res/Vorlane.rc. Portable.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vorlane {

// The text of `id` in the language of the run; empty when there is none.
using TextSource = std::wstring (*)(int id);
void SetTextSource(TextSource source);

std::wstring Text(int id);
// Text(id) with its fields filled in.
std::wstring Text(int id, std::initializer_list<std::wstring_view> fields);

// `pattern` with %1..%9 replaced by the field of that number (empty when
// there is no such field) and %% by %; a % before anything else stays.
std::wstring FillFields(std::wstring_view pattern, std::initializer_list<std::wstring_view> fields);

}  // namespace vorlane
