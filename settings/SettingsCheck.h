// What the settings dialog accepts. The dialog reads its controls into
// DialogInput, and only a confirmation that passes the checks hands values
// on; a refused press changes nothing anywhere. What each setting accepts is
// its rule in the table of settings (core/SettingsTable.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/SettingsTable.h"
#include "core/WorkingSettings.h"
#include "monitor/TargetList.h"

namespace vorlane {

// atoi's reading (leading blanks, a sign, digits up to the first other
// character, no digits gives 0), saturated at the int limits instead of
// overflowing.
int ReadItemInt(const std::wstring& text);

// What the dialog's controls hold, one entry per setting of the table: a
// box's text as typed, kFlagOn or kFlagOff for a tick box, a list's chosen
// word. A setting outside
// the dialog, and any entry not filled, is empty.
class DialogInput {
  public:
    DialogInput() : entries_(Settings().size()) {}
    std::wstring& operator[](const Setting& setting) {
        return entries_[Settings().indexOf(setting)];
    }
    const std::wstring& operator[](const Setting& setting) const {
        return entries_[Settings().indexOf(setting)];
    }
    // By key, for callers that name one setting; the key must be in the
    // table (std::out_of_range otherwise).
    std::wstring& operator[](std::wstring_view key);
    const std::wstring& operator[](std::wstring_view key) const;
    bool ticked(const Setting& setting) const { return (*this)[setting] == kFlagOn; }

  private:
    std::vector<std::wstring> entries_;
};

// A Choice's stored `word` as OK takes it: itself when it is one of the
// setting's choices, else the first choice.
std::wstring ChosenWord(const Setting& setting, const std::wstring& word);

struct CheckResult {
    const Setting* refused = nullptr;  // the first setting refused; null: accepted
    std::wstring warning;              // what the refusal says
    WorkingSettingsValues values;      // meaningful only when nothing was refused
};

// The settings of the dialog in table order, each by its rule; only the
// first refusal is reported. The target needs a full stop somewhere (or an
// IPv6 address), and every entry of it must be a target that can answer
// (CheckTargetList).
CheckResult CheckSettings(const DialogInput& input);

// The warning for a refused entry: the reason, "：" and the entry (cut when
// long).
std::wstring TargetWarning(const TargetListCheck& check);

}  // namespace vorlane
