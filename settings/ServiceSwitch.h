// What the settings dialog's "作为服务运行" box acts on. The application
// passes the Windows service's (app/ServiceSwitch_win.h); the dialog knows
// nothing more of the service. Portable.
#pragma once

#include <string>

namespace vorlane {

class ServiceSwitch {
  public:
    // Whether the system holds the service now.
    virtual bool installed() const = 0;
    // Installs the service on `settingsPath` (on) or removes it; false with
    // what went wrong in `text`.
    virtual bool apply(bool on, const std::wstring& settingsPath, std::wstring& text) = 0;
    // `settingsPath` is the installed service's settings file and this
    // process may not write it.
    virtual bool cannotSave(const std::wstring& settingsPath) const = 0;

  protected:
    ~ServiceSwitch() = default;
};

}  // namespace vorlane
