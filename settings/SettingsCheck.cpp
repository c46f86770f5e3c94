#include "settings/SettingsCheck.h"

#include <climits>

namespace vorlane {

const wchar_t* const kTargetRefusedText = L"IP或网址不能为空！";
const wchar_t* const kIntervalRefusedText = L"检测间隔时间不能小于1秒！";
const wchar_t* const kTimeoutRefusedText = L"超时必须在100到10000毫秒之间！";
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

CheckResult CheckSettings(const DialogInput& input) {
    CheckResult result;
    if (input.target.empty() ||
        (input.target.find(L'.') == std::wstring::npos && !HasIpv6Address(input.target))) {
        result.refusal = Refusal::Target;
        return result;
    }
    const TargetListCheck targets = CheckTargetList(input.target);
    if (targets.problem != TargetProblem::None) {
        result.refusal = Refusal::TargetEntry;
        result.warning = TargetWarning(targets);
        return result;
    }
    WorkingSettingsValues& v = result.values;
    v.target = input.target;
    v.commandLine = input.commandLine;
    v.tryTimes = ReadItemInt(input.tryTimes);
    v.tryInterval = ReadItemInt(input.tryInterval);
    v.countdown = ReadItemInt(input.countdown);
    v.playSound = input.playSound;
    v.shutDown = input.shutDown;
    v.timeoutMs = ReadItemInt(input.timeout);
    v.armFirst = input.armFirst;
    v.cancelOnUp = input.cancelOnUp;
    v.rearm = input.rearm;
    v.commandUp = input.commandUp;
    v.keepLog = input.keepLog;
    if (v.tryTimes < 1) v.tryTimes = 1;
    if (v.tryInterval < 1) {
        result.refusal = Refusal::Interval;
        return result;
    }
    if (v.timeoutMs < kMinTimeoutMs || v.timeoutMs > kMaxTimeoutMs) {
        result.refusal = Refusal::Timeout;
        return result;
    }
    if (v.countdown < 0) v.countdown = 0;
    return result;
}

}  // namespace vorlane
