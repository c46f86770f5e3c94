// The decisions of "/install" and "/uninstall" (Setup_win does the steps):
// the outcome of each and its text, whether a settings file may be
// installed, what to do with an install folder found on the disk, and
// whether a file or folder can be changed by anyone but the administrators
// and the service's own account. The service runs the command lines of its
// settings file as LocalSystem, so whoever can change that file, its folder
// or the exe can run anything as SYSTEM: the service checks the same before
// it reads them. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/WorkingSettings.h"

namespace vorlane {

// The exit code of "/install /quiet" and "/uninstall /quiet" (README).
enum class SetupOutcome {
    Done = 0,
    NeedsAdmin = 1,
    BadCommandLine = 2,
    SettingsMissing = 3,
    SettingsRefused = 4,
    UnsafeFolder = 5,
    FileFailed = 6,
    RegisterFailed = 7,
    ServiceFailed = 8,
};

inline int SetupExitCode(SetupOutcome outcome) { return static_cast<int>(outcome); }

// What the box (or the console) says. `detail` is what the step adds: the
// paths of a success, the file and the system's reason of a failure.
std::wstring SetupText(bool install, SetupOutcome outcome, const std::wstring& detail);

// A settings file to install or to reload: its bytes (none: there is no
// file). Passes exactly when "/auto" would start on it.
struct SettingsVerdict {
    SetupOutcome outcome = SetupOutcome::Done;  // or SettingsMissing, SettingsRefused
    std::wstring reason;                        // why it was refused
    WorkingSettingsValues values;               // when Done
};
SettingsVerdict CheckSettingsBytes(const std::optional<std::string>& bytes);

// An install folder as found: made, made safe, or refused (a link or a
// junction could send the copies and the descriptor anywhere).
struct FolderFacts {
    bool exists = false;
    bool directory = false;
    bool reparsePoint = false;
};
enum class FolderStep { Create, Secure, Refuse };
FolderStep DecideFolder(const FolderFacts& facts);

// A security descriptor as its SDDL text gives it (what Windows reads back).
struct AceFacts {
    bool allow = true;
    bool inheritOnly = false;  // applies to children only
    std::uint32_t mask = 0;
    std::wstring sid;  // "S-1-..."; an alias this parser does not know stays as written
};
struct SecurityFacts {
    std::wstring owner;
    bool hasDacl = false;  // no DACL: everyone may do anything
    std::vector<AceFacts> aces;
};
// Unknown rights read as all rights, an unknown ACE type as an allowing one.
SecurityFacts ParseSddl(std::wstring_view sddl);

// Empty when only SYSTEM, the Administrators, TrustedInstaller and `ownSid`
// (the account that checks: LocalSystem for the service) own the object or
// may change it; otherwise who else may, for the refusal's text.
std::wstring OthersWhoCanWrite(const SecurityFacts& facts, const std::wstring& ownSid);

// The descriptor of the install folders and of every file copied into them:
// owned by the Administrators, full control for SYSTEM and Administrators,
// reading and running for Users, nothing inherited from above.
extern const wchar_t kInstalledSddl[];
// The descriptor of the views' pipe: full control for SYSTEM and the
// Administrators, reading for interactive users, nothing for anyone else
// (no writing, no changing the pipe's state).
extern const wchar_t kViewPipeSddl[];

}  // namespace vorlane
