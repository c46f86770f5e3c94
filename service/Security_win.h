// Security descriptors of files and folders on Windows: the one the install
// sets (Setup.h, kInstalledSddl), reading one back as SDDL text, and the
// check that only the administrators and the account that checks can change
// an object (Setup.h, OthersWhoCanWrite). Under Wine, which keeps no
// descriptor on files, the one read back is made up from the Unix mode and
// names Wine's user; see docs/wine-services.md.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace vorlane {

// Member of the Administrators with that membership in force (an elevated
// token); false for a filtered token under User Account Control.
bool IsAdministrator();

// The SID of the account this process runs as, "S-1-...".
std::wstring OwnSid();

// The object's owner and DACL as SDDL text; empty when they cannot be read.
std::wstring DescriptorText(const std::wstring& path);

// Empty when nobody but SYSTEM, the Administrators, TrustedInstaller and
// this process's account can change the object; else who can (or why it
// could not be read).
std::wstring OthersWhoCanChange(const std::wstring& path);

// Whether this process may replace the settings file at `path` the way a
// save does (write it, and make a new file beside it).
bool CanSaveSettingsAt(const std::wstring& path);

// Sets kInstalledSddl's owner and protected DACL on the object; 0 or the
// system's error code.
DWORD ApplyInstalledDescriptor(const std::wstring& path);

// The installed descriptor for a new file or folder (CreateFile,
// CreateDirectory); null when it cannot be made. The attributes stay valid
// as long as this object lives.
class InstalledAttributes {
  public:
    InstalledAttributes();
    SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

  private:
    framework::UniqueLocalMemory descriptor_;
    SECURITY_ATTRIBUTES attributes_ = {};
};

}  // namespace vorlane
