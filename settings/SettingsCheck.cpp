#include "settings/SettingsCheck.h"

#include <climits>
#include <stdexcept>

#include "core/Texts.h"
#include "monitor/TargetList.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// A warning box stays readable however long the entry is.
constexpr std::size_t kLongestEntryShown = 60;

}  // namespace

std::wstring TargetWarning(const TargetListCheck& check) {
    int reason = 0;
    switch (check.problem) {
        case TargetProblem::TooMany:
            reason = IDS_TARGET_TOO_MANY;
            break;
        case TargetProblem::Unreadable:
            reason = IDS_TARGET_UNREADABLE;
            break;
        case TargetProblem::NotUnicast:
            reason = IDS_TARGET_NOT_UNICAST;
            break;
        case TargetProblem::NeedsZone:
            reason = IDS_TARGET_NEEDS_ZONE;
            break;
        case TargetProblem::UnknownZone:
            reason = IDS_TARGET_UNKNOWN_ZONE;
            break;
        case TargetProblem::PortTooLarge:
            reason = IDS_TARGET_PORT;
            break;
        case TargetProblem::NoTcpPort:
            reason = IDS_TARGET_NO_TCP_PORT;
            break;
        case TargetProblem::NameTooLong:
            reason = IDS_TARGET_NAME_LONG;
            break;
        case TargetProblem::LabelTooLong:
            reason = IDS_TARGET_LABEL_LONG;
            break;
        case TargetProblem::BadCharacter:
            reason = IDS_TARGET_BAD_CHARACTER;
            break;
        case TargetProblem::None:
            break;
    }
    std::wstring entry = check.entry;
    if (entry.size() > kLongestEntryShown) entry = entry.substr(0, kLongestEntryShown) + L"…";
    return Text(IDS_TARGET_PROBLEM, {Text(reason), entry});
}

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// What a refusal of `text` by `rule` says; empty when it passes.
std::wstring TextRefusal(TextRule rule, const std::wstring& text) {
    if (rule == TextRule::Any) return std::wstring();
    if (text.empty() || (text.find(L'.') == std::wstring::npos && !HasIpv6Address(text))) {
        return Text(IDS_TARGET_EMPTY);
    }
    const TargetListCheck targets = CheckTargetList(text);
    if (targets.problem != TargetProblem::None) return TargetWarning(targets);
    return std::wstring();
}

// Takes `number` as OK takes it by `rule`, the bounds that other settings
// give read from `earlier`; false when the rule refuses it.
bool ApplyRule(const NumberRule& rule, const WorkingSettingsValues& earlier, int& number) {
    if (rule.zeroIsOff && number == 0) return true;
    const int low = rule.lowFrom ? earlier.*rule.lowFrom : rule.low;
    const int high = rule.highFrom ? earlier.*rule.highFrom : rule.high;
    if (number < low) {
        if (!rule.raise) return false;
        number = low;
    }
    return number <= high;
}

const Setting& SettingOf(std::wstring_view key) {
    const Setting* setting = FindSetting(key);
    if (!setting) throw std::out_of_range("no such setting");
    return *setting;
}
}  // namespace

std::wstring ChosenWord(const Setting& setting, const std::wstring& word) {
    for (int k = 0; k < setting.choiceCount; ++k) {
        if (word == setting.choices[k].stored) return word;
    }
    return setting.choiceCount > 0 ? setting.choices[0].stored : std::wstring();
}

int ReadItemInt(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Accumulate as a negative number: its range includes INT_MIN.
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > limit) {
            value = limit;
            // Keep consuming digits; the result stays saturated.
        }
    }
    return static_cast<int>(negative ? -value : value);
}

std::wstring& DialogInput::operator[](std::wstring_view key) { return (*this)[SettingOf(key)]; }

const std::wstring& DialogInput::operator[](std::wstring_view key) const {
    return (*this)[SettingOf(key)];
}

CheckResult CheckSettings(const DialogInput& input) {
    CheckResult result;
    WorkingSettingsValues& values = result.values;
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        const std::wstring& entry = input[setting];
        switch (setting.kind) {
            case SettingKind::Text:
                result.warning = TextRefusal(setting.textRule, entry);
                if (!result.warning.empty()) {
                    result.refused = &setting;
                    return result;
                }
                values.*setting.text = entry;
                break;
            case SettingKind::Number: {
                int number = ReadItemInt(entry);
                if (!ApplyRule(setting.numberRule, values, number)) {
                    result.refused = &setting;
                    if (setting.numberRule.refusal)
                        result.warning = Text(setting.numberRule.refusal);
                    return result;
                }
                values.*setting.number = number;
                break;
            }
            case SettingKind::Flag: {
                const bool ticked = input.ticked(setting);
                const FlagRule& rule = setting.flagRule;
                if (!ticked && rule.offNeeds && !(values.*rule.offNeeds)) {
                    result.refused = &setting;
                    result.warning = Text(rule.refusal);
                    return result;
                }
                values.*setting.flag = ticked;
                break;
            }
            case SettingKind::Choice:
                values.*setting.text = ChosenWord(setting, entry);
                break;
        }
    }
    return result;
}

}  // namespace vorlane
