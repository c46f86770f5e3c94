#include "settings/StoredSettings.h"

#include "settings/SettingsKeys.h"

namespace vorlane {
namespace {

// Blanks around it, one sign, digits, and within int.
bool IsWholeNumber(const std::wstring& text) {
    size_t begin = text.find_first_not_of(L" \t");
    if (begin == std::wstring::npos) return false;
    const size_t end = text.find_last_not_of(L" \t") + 1;
    if (text[begin] == L'+' || text[begin] == L'-') ++begin;
    if (begin == end) return false;
    long long value = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        value = value * 10 + (text[i] - L'0');
        if (value > 2147483647LL) return false;
    }
    return true;
}

}  // namespace

DialogInput ReadStoredInput(const StoredText& text, const StoredFlag& flag) {
    DialogInput in;
    in.target = text(keys::kTarget);
    in.tryTimes = text(keys::kTryTimes);
    in.tryInterval = text(keys::kTryInterval);
    in.commandLine = text(keys::kCommandLine);
    in.countdown = text(keys::kCountdown);
    in.timeout = text(keys::kTimeout);
    in.commandUp = text(keys::kCommandUp);
    in.playSound = flag(keys::kPlaySound);
    in.shutDown = flag(keys::kShutDown);
    in.armFirst = flag(keys::kArmFirst);
    in.cancelOnUp = flag(keys::kCancelOnUp);
    in.rearm = flag(keys::kRearm);
    in.keepLog = flag(keys::kKeepLog);
    return in;
}

bool StoredSettingsPass(const DialogInput& stored, WorkingSettingsValues& values) {
    for (const std::wstring* number :
         {&stored.tryTimes, &stored.tryInterval, &stored.countdown, &stored.timeout}) {
        if (!IsWholeNumber(*number)) return false;
    }
    if (ReadItemInt(stored.tryTimes) < 1 || ReadItemInt(stored.countdown) < 0) return false;
    CheckResult checked = CheckSettings(stored);
    if (checked.refusal != Refusal::None) return false;
    values = std::move(checked.values);
    return true;
}

}  // namespace vorlane
