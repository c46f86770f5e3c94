// The settings dialog's service box on this machine: the service as the
// service manager holds it, installed and removed by service/Setup_win.
#pragma once

#include "settings/ServiceSwitch.h"

namespace vorlane {

class WindowsServiceSwitch final : public ServiceSwitch {
  public:
    bool installed() const override;
    bool apply(bool on, const std::wstring& settingsPath, std::wstring& text) override;
    bool cannotSave(const std::wstring& settingsPath) const override;
};

}  // namespace vorlane
