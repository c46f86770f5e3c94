#include "settings/SettingsCheck.h"

#include <climits>
#include <stdexcept>

namespace vorlane {

const wchar_t* const kTargetRefusedText = L"IP或网址不能为空！";
const wchar_t* const kPreparingText = L"准备中...";

namespace {

// A warning box stays readable however long the entry is.
constexpr std::size_t kLongestEntryShown = 60;

}  // namespace

std::wstring TargetWarning(const TargetListCheck& check) {
    const wchar_t* reason = L"";
    switch (check.problem) {
        case TargetProblem::TooMany:
            reason = L"最多8个目标";
            break;
        case TargetProblem::Unreadable:
            reason = L"无法识别的目标";
            break;
        case TargetProblem::NotUnicast:
            reason = L"不是单个主机的地址，永远不会应答";
            break;
        case TargetProblem::NeedsZone:
            reason = L"本地链路地址要写明接口编号（如 fe80::1%2）";
            break;
        case TargetProblem::UnknownZone:
            reason = L"没有这个编号的网络接口";
            break;
        case TargetProblem::PortTooLarge:
            reason = L"端口不能大于65535";
            break;
        case TargetProblem::NoTcpPort:
            reason = L"tcp:// 目标要写明1到65535之间的端口";
            break;
        case TargetProblem::NameTooLong:
            reason = L"名称超过253个字符";
            break;
        case TargetProblem::LabelTooLong:
            reason = L"名称中有一段超过63个字符";
            break;
        case TargetProblem::BadCharacter:
            reason = L"名称含有无效字符";
            break;
        case TargetProblem::None:
            break;
    }
    std::wstring entry = check.entry;
    if (entry.size() > kLongestEntryShown) entry = entry.substr(0, kLongestEntryShown) + L"…";
    return std::wstring(reason) + L"：" + entry;
}

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// What a refusal of `text` by `rule` says; empty when it passes.
std::wstring TextRefusal(TextRule rule, const std::wstring& text) {
    if (rule == TextRule::Any) return std::wstring();
    if (text.empty() || (text.find(L'.') == std::wstring::npos && !HasIpv6Address(text))) {
        return kTargetRefusedText;
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
                    if (setting.numberRule.refusal) result.warning = setting.numberRule.refusal;
                    return result;
                }
                values.*setting.number = number;
                break;
            }
            case SettingKind::Flag:
                values.*setting.flag = input.ticked(setting);
                break;
        }
    }
    return result;
}

}  // namespace vorlane
