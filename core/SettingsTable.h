// Every key of the settings file, each declared once: its name, its kind,
// the store's value while the file has none, what the settings dialog
// accepts for it, the dialog's control that shows it, the field of the
// confirmed values that it fills, and whether the log's "settings" event
// shows it. The store's defaults, the reading of the stored values into the
// dialog, the dialog's fill and read, its checks, its save and the log's
// event all walk this table; README's key table is checked against it.
// Portable: the control ids are plain numbers from res/resource.h.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/WorkingSettings.h"

namespace vorlane {

enum class SettingKind {
    Text,    // kept as typed
    Number,  // a whole number, read the way atoi reads it
    Flag,    // a tick box; the store holds "1" or "0"
    Choice,  // one of a list, kept as its stored word; the dialog's drop-down list
};

// What OK accepts in a number box. The number must lie in low..high, where
// either bound may instead be the confirmed value of a setting that comes
// earlier in the table; with `zeroIsOff`, 0 is accepted as well. A number
// below the low bound is raised to it when `raise` is set (the counts'
// long-standing leniency), and refused with `refusal` otherwise, as is one
// above the high bound.
struct NumberRule {
    int low = INT_MIN;
    int high = INT_MAX;
    int WorkingSettingsValues::*lowFrom = nullptr;
    int WorkingSettingsValues::*highFrom = nullptr;
    bool zeroIsOff = false;
    bool raise = false;
    int refusal = 0;  // the text's id (res/resource.h); 0: none
};

// What OK accepts for a tick box left clear: with `offNeeds`, only while
// the earlier tick box of that field is ticked, refused with `refusal`
// otherwise.
struct FlagRule {
    bool WorkingSettingsValues::*offNeeds = nullptr;
    int refusal = 0;
};

// One entry of a Choice: the word the store keeps, and the id of the text
// the dialog's list shows for it.
struct Choice {
    const wchar_t* stored;
    int text;
};

// What OK accepts in a text box.
enum class TextRule {
    Any,
    Targets,  // the target list: see CheckSettings
};

// How the log's "settings" event shows a confirmed value.
enum class InLog {
    Hidden,
    AsStored,  // key=value, the value exactly as the store keeps it
};

struct Setting {
    const wchar_t* key;
    SettingKind kind;
    // The store's value for the key while the file has none; nullptr: no
    // such value (reads as "", 0 and false, or the program supplies one).
    const char* absent;
    // The dialog's control (an id of res/resource.h); 0: edited by hand only.
    int control;
    InLog log;
    // The field that the dialog's confirmation fills: the one that matches
    // the kind (a Choice fills `text`), null for a key outside the dialog.
    std::wstring WorkingSettingsValues::*text;
    int WorkingSettingsValues::*number;
    bool WorkingSettingsValues::*flag;
    TextRule textRule;
    NumberRule numberRule;
    FlagRule flagRule = {};
    // A Choice's entries, the first one also taken for a stored word that
    // is none of them.
    const Choice* choices = nullptr;
    int choiceCount = 0;

    bool inDialog() const { return control != 0; }
};

// The rows in table order: the dialog's settings in the order of the log's
// "settings" event, then the keys that are edited by hand only.
class SettingList {
  public:
    SettingList(const Setting* first, std::size_t count) : first_(first), count_(count) {}
    const Setting* begin() const { return first_; }
    const Setting* end() const { return first_ + count_; }
    std::size_t size() const { return count_; }
    // The row's place in the table.
    std::size_t indexOf(const Setting& setting) const {
        return static_cast<std::size_t>(&setting - first_);
    }

  private:
    const Setting* first_;
    std::size_t count_;
};

SettingList Settings();

// The row of `key` (exact spelling); null when the table has none.
const Setting* FindSetting(std::wstring_view key);

// A flag's stored form, in the store and in the dialog's input.
constexpr const wchar_t* kFlagOn = L"1";
constexpr const wchar_t* kFlagOff = L"0";

// A confirmed value as the store keeps it and the log shows it: a text or a
// choice as it is, a number in decimal, a flag as "1" or "0". For a key of
// the dialog.
std::wstring StoredForm(const Setting& setting, const WorkingSettingsValues& values);

}  // namespace vorlane
