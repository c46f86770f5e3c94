// What the settings dialog accepts. The dialog reads its controls into
// DialogInput, and only a confirmation that passes both checks hands values
// on; a refused press changes nothing anywhere.
#pragma once

#include <string>

#include "core/WorkingSettings.h"
#include "monitor/TargetList.h"

namespace vorlane {

// atoi's reading (leading blanks, a sign, digits up to the first other
// character, no digits gives 0), saturated at the int limits instead of
// overflowing.
int ReadItemInt(const std::wstring& text);

struct DialogInput {
    std::wstring target;
    std::wstring tryTimes;
    std::wstring tryInterval;
    std::wstring countdown;
    std::wstring commandLine;
    bool playSound = false;
    bool shutDown = false;
    std::wstring timeout;
    bool armFirst = false;
    bool cancelOnUp = false;
    bool rearm = false;
    std::wstring commandUp;
    bool keepLog = false;
};

enum class Refusal { None, Target, TargetEntry, Interval, Timeout };

constexpr int kMinTimeoutMs = 100;
constexpr int kMaxTimeoutMs = 10000;

struct CheckResult {
    Refusal refusal = Refusal::None;
    WorkingSettingsValues values;  // meaningful only when refusal is None
    std::wstring warning;          // Refusal::TargetEntry: names the entry and the reason
};

extern const wchar_t* const kTargetRefusedText;    // "IP或网址不能为空！"
extern const wchar_t* const kIntervalRefusedText;  // "检测间隔时间不能小于1秒！"
extern const wchar_t* const kTimeoutRefusedText;   // "超时必须在100到10000毫秒之间！"
extern const wchar_t* const kPreparingText;        // "准备中..."

// The target needs a full stop somewhere (or an IPv6 address), and every
// entry of it must be a target that can answer (CheckTargetList); the count is raised to 1, the
// interval must be at least 1, the countdown is raised to 0, the time-out
// must lie in kMinTimeoutMs..kMaxTimeoutMs. Only the first refusal is
// reported.
CheckResult CheckSettings(const DialogInput& input);

// The warning for a refused entry: the reason, "：" and the entry (cut when
// long).
std::wstring TargetWarning(const TargetListCheck& check);

}  // namespace vorlane
