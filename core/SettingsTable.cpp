#include "core/SettingsTable.h"

#include <iterator>

#include "core/Digits.h"
#include "core/Language.h"
#include "res/resource.h"

namespace vorlane {
namespace {

using V = WorkingSettingsValues;

constexpr Setting Text(const wchar_t* key, const char* absent, int control, std::wstring V::*field,
                       TextRule rule = TextRule::Any) {
    return {key,   SettingKind::Text, absent,  control, InLog::AsStored,
            field, nullptr,           nullptr, rule,    {}};
}

constexpr Setting Number(const wchar_t* key, const char* absent, int control, int V::*field,
                         NumberRule rule) {
    return {key,     SettingKind::Number, absent, control, InLog::AsStored, nullptr, field,
            nullptr, TextRule::Any,       rule};
}

constexpr Setting Flag(const wchar_t* key, const char* absent, int control, bool V::*field,
                       FlagRule rule = {}) {
    return {key,   SettingKind::Flag, absent, control, InLog::AsStored, nullptr, nullptr,
            field, TextRule::Any,     {},     rule};
}

template <int N>
constexpr Setting OneOf(const wchar_t* key, const char* absent, int control, std::wstring V::*field,
                        const Choice (&choices)[N]) {
    return {key,     SettingKind::Choice, absent, control, InLog::AsStored, field, nullptr,
            nullptr, TextRule::Any,       {},     {},      choices,         N};
}

// Cleared only while the tick box of `needed` is ticked.
constexpr FlagRule OffOnlyWith(bool V::*needed, int refusal) { return {needed, refusal}; }

constexpr Choice kLanguages[] = {{kLanguageAuto, IDS_LANGUAGE_AUTO},
                                 {kLanguageChinese, IDS_LANGUAGE_CHINESE},
                                 {kLanguageEnglish, IDS_LANGUAGE_ENGLISH}};

// A key that the program reads by name and a person edits by hand.
constexpr Setting HandEdited(const wchar_t* key, SettingKind kind, const char* absent) {
    return {key, kind, absent, 0, InLog::Hidden, nullptr, nullptr, nullptr, TextRule::Any, {}};
}

// Refused outside low..high.
constexpr NumberRule Between(int low, int high, int refusal) {
    NumberRule rule;
    rule.low = low;
    rule.high = high;
    rule.refusal = refusal;
    return rule;
}

// Refused below the confirmed value of `low`, or above `high`.
constexpr NumberRule Between(int V::*low, int high, int refusal) {
    NumberRule rule = Between(INT_MIN, high, refusal);
    rule.lowFrom = low;
    return rule;
}

// Refused below `low`, or above the confirmed value of `high`.
constexpr NumberRule Between(int low, int V::*high, int refusal) {
    NumberRule rule = Between(low, INT_MAX, refusal);
    rule.highFrom = high;
    return rule;
}

// Raised to `low` below it; never refused.
constexpr NumberRule RaisedTo(int low) {
    NumberRule rule;
    rule.low = low;
    rule.raise = true;
    return rule;
}

// 0 (off) accepted besides the rule's range.
constexpr NumberRule ZeroOr(NumberRule rule) {
    rule.zeroIsOff = true;
    return rule;
}

constexpr Setting kTable[] = {
    Text(L"ping", "", IDC_TARGET, &V::target, TextRule::Targets),
    Number(L"trytimes", "3", IDC_TRYTIMES, &V::tryTimes, RaisedTo(1)),
    Number(L"tryinterval", "5", IDC_TRYINTERVAL, &V::tryInterval,
           Between(1, INT_MAX, IDS_REFUSE_INTERVAL)),
    Number(L"djs", "60", IDC_COUNTDOWN, &V::countdown, RaisedTo(0)),
    Text(L"cmduser", "", IDC_COMMAND, &V::commandLine),
    Flag(L"bwav", "1", IDC_SOUND, &V::playSound),
    Flag(L"bshutdown", "0", IDC_SHUTDOWN, &V::shutDown),
    Number(L"timeout", "1000", IDC_TIMEOUT, &V::timeoutMs, Between(100, 10000, IDS_REFUSE_TIMEOUT)),
    Flag(L"armfirst", "0", IDC_ARMFIRST, &V::armFirst),
    Flag(L"cancelonup", "0", IDC_CANCELONUP, &V::cancelOnUp),
    Flag(L"rearm", "0", IDC_REARM, &V::rearm),
    Text(L"cmdup", "", IDC_COMMAND_UP, &V::commandUp),
    Flag(L"log", "1", IDC_KEEPLOG, &V::keepLog),
    Number(L"trywindow", "0", IDC_TRYWINDOW, &V::tryWindow,
           ZeroOr(Between(&V::tryTimes, 1000, IDS_REFUSE_WINDOW))),
    Number(L"upafter", "1", IDC_UPAFTER, &V::upAfter, Between(1, 100, IDS_REFUSE_UPAFTER)),
    Number(L"retryinterval", "0", IDC_RETRYINTERVAL, &V::retryInterval,
           ZeroOr(Between(1, &V::tryInterval, IDS_REFUSE_RETRY))),
    Number(L"resumegrace", "60", IDC_RESUMEGRACE, &V::resumeGrace,
           Between(0, 3600, IDS_REFUSE_GRACE)),
    OneOf(L"lang", "auto", IDC_LANGUAGE, &V::language, kLanguages),
    Flag(L"tray", "0", IDC_TRAY, &V::tray),
    // Without the bar, only the icon shows that the program runs.
    Flag(L"bar", "1", IDC_BAR, &V::bar, OffOnlyWith(&V::tray, IDS_REFUSE_NO_BAR)),
    HandEdited(L"fontsize", SettingKind::Number, "16"),
    // The first installed of a few families: the program's to supply.
    HandEdited(L"fontname", SettingKind::Text, nullptr),
    // Absent until the first exit: the bar then starts at the screen's corner.
    HandEdited(L"posleft", SettingKind::Number, nullptr),
    HandEdited(L"postop", SettingKind::Number, nullptr),
    HandEdited(L"helphost", SettingKind::Text, "www.vorlane.example"),
};

}  // namespace

SettingList Settings() { return SettingList(kTable, std::size(kTable)); }

const Setting* FindSetting(std::wstring_view key) {
    for (const Setting& setting : Settings()) {
        if (key == setting.key) return &setting;
    }
    return nullptr;
}

std::wstring StoredForm(const Setting& setting, const WorkingSettingsValues& values) {
    switch (setting.kind) {
        case SettingKind::Text:
        case SettingKind::Choice:
            return values.*setting.text;
        case SettingKind::Number:
            return Decimal(values.*setting.number);
        case SettingKind::Flag:
            return values.*setting.flag ? kFlagOn : kFlagOff;
    }
    return std::wstring();
}

}  // namespace vorlane
