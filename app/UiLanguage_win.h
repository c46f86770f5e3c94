// The language of the run put in force: the resources' language
// (framework/ResourceLanguage.h) and the texts' source (core/Texts.h), from
// the `lang` key and the user's UI language (core/Language.h). Put in force
// before the first text shows, and again after each OK of the settings.
#pragma once

#include <string>

#include "core/Language.h"
#include "core/SettingsPlace.h"

namespace vorlane {

// Decides from `key` (the `lang` key as stored) and traces the choice.
Language UseLanguage(const std::wstring& key);

// The `lang` key of the settings file of `place`, read before the
// application has loaded it (for the warning about the command line).
std::wstring StoredLanguageKey(const SettingsPlace& place);

}  // namespace vorlane
