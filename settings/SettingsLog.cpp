#include "settings/SettingsLog.h"

#include "core/SettingsTable.h"

namespace vorlane {

LogDetails DescribeSettings(const WorkingSettingsValues& values) {
    LogDetails details;
    for (const Setting& setting : Settings()) {
        if (setting.log == InLog::AsStored) details.add(setting.key, StoredForm(setting, values));
    }
    return details;
}

}  // namespace vorlane
