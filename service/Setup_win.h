// "/install" and "/uninstall" (README, "Running as a Windows service"): the
// steps on this machine, decided by service/Setup.h. Both are idempotent,
// need an administrator, never write the settings file they start from, and
// say how they went: a message box, the console they were started from, or
// with /quiet only the exit code.
#pragma once

#include <windows.h>

#include <string>

#include "service/Setup.h"

namespace vorlane {

// "/install" (`install`, with the settings file to install, empty for the
// one beside the exe) or "/uninstall"; `refused` lists what else the command
// line held, one "\n    " before each, and refuses the whole. The exit code
// (SetupExitCode).
int RunSetupCommand(bool install, const std::wstring& settingsPath, bool quiet,
                    const std::wstring& refused);

// The settings dialog's check box: the same steps, in this process when it
// runs as an administrator, else in a copy of this exe started with the
// standard elevation prompt (and "/quiet"). The outcome, with the text that
// says it in `text`; nothing is shown.
SetupOutcome InstallService(const std::wstring& settingsPath, std::wstring& text);
SetupOutcome UninstallService(std::wstring& text);

}  // namespace vorlane
