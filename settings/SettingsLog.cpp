#include "settings/SettingsLog.h"

#include "settings/SettingsKeys.h"

namespace vorlane {

LogDetails DescribeSettings(const WorkingSettingsValues& values) {
    LogDetails details;
    details.add(keys::kTarget, values.target)
        .add(keys::kTryTimes, values.tryTimes)
        .add(keys::kTryInterval, values.tryInterval)
        .add(keys::kCountdown, values.countdown)
        .add(keys::kCommandLine, values.commandLine)
        .add(keys::kPlaySound, values.playSound ? 1 : 0)
        .add(keys::kShutDown, values.shutDown ? 1 : 0)
        .add(keys::kTimeout, values.timeoutMs)
        .add(keys::kArmFirst, values.armFirst ? 1 : 0)
        .add(keys::kCancelOnUp, values.cancelOnUp ? 1 : 0)
        .add(keys::kRearm, values.rearm ? 1 : 0)
        .add(keys::kCommandUp, values.commandUp)
        .add(keys::kKeepLog, values.keepLog ? 1 : 0);
    return details;
}

}  // namespace vorlane
