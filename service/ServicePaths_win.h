// Where the installed service lives on this machine: the exe (and the alert
// sound) in %ProgramFiles%\Vorlane, its settings file and log in
// %ProgramData%\Vorlane. Both folders are writable by Administrators and
// SYSTEM only (Setup.h, kInstalledSddl).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vorlane {

struct ServicePaths {
    std::wstring programFolder;  // no trailing backslash
    std::wstring exe;
    std::wstring sound;
    std::wstring dataFolder;
    std::wstring settings;
    std::wstring log;
};

// Empty paths when the system does not say where those folders are.
ServicePaths InstalledPaths();

// A settings file's bytes, read once (what is checked is then what is
// used); none when it cannot be read, the system's reason in `error`. A file
// over the store's limit is cut just past it, and refused as too large.
std::optional<std::string> ReadSettingsFile(const std::wstring& path, DWORD& error);

// The full path of this program's own exe.
std::wstring OwnExePath();

}  // namespace vorlane
