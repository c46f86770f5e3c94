// The stored settings as the dialog would show them, whether a start
// without the dialog ("/auto") may run on them, and what a confirmation
// stores. Portable: the store is reached through the readers and the writer.
#pragma once

#include <functional>
#include <string>

#include "settings/SettingsCheck.h"

namespace vorlane {

using StoredText = std::function<std::wstring(const wchar_t* key)>;
using StoredFlag = std::function<bool(const wchar_t* key)>;
using SaveText = std::function<void(const wchar_t* key, const std::wstring& text)>;

// Exactly what the dialog's controls are filled with on opening.
DialogInput ReadStoredInput(const StoredText& text, const StoredFlag& flag);

// True, with the values to monitor on, when OK on the dialog filled from
// `stored` would accept it as it is: the dialog's checks pass and no number
// has to be read generously (a text that is not a whole number, or a number
// that its rule raises, such as a count below 1 or a countdown below 0,
// which the dialog would quietly change). Nobody is there to see such a
// change at an unattended start, so the dialog comes instead.
bool StoredSettingsPass(const DialogInput& stored, WorkingSettingsValues& values);
// Why StoredSettingsPass refuses `stored`, for a person: the dialog's
// warning, or the number it would have to read generously. Empty when it
// passes.
std::wstring StoredSettingsRefusal(const DialogInput& stored);

// What a confirmation saves: every setting of the dialog, in its stored form.
void StoreConfirmed(const WorkingSettingsValues& values, const SaveText& store);

}  // namespace vorlane
