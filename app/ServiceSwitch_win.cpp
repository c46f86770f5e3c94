#include "app/ServiceSwitch_win.h"

#include <windows.h>

#include "service/Security_win.h"
#include "service/ServiceControl_win.h"
#include "service/ServicePaths_win.h"
#include "service/Setup_win.h"

namespace vorlane {

bool WindowsServiceSwitch::installed() const { return ServiceInstalled(); }

bool WindowsServiceSwitch::apply(bool on, const std::wstring& settingsPath, std::wstring& text) {
    const SetupOutcome outcome = on ? InstallService(settingsPath, text) : UninstallService(text);
    return outcome == SetupOutcome::Done;
}

bool WindowsServiceSwitch::cannotSave(const std::wstring& settingsPath) const {
    const std::wstring service = InstalledPaths().settings;
    const bool theService =
        !settingsPath.empty() &&
        ::CompareStringOrdinal(settingsPath.c_str(), static_cast<int>(settingsPath.size()),
                               service.c_str(), static_cast<int>(service.size()),
                               TRUE) == CSTR_EQUAL;
    return theService && !CanSaveSettingsAt(settingsPath);
}

}  // namespace vorlane
