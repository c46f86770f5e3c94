// "登录时自动运行": the value Vorlane under the user's Run key, which starts
// "<exe>" /auto at logon. The registry is the truth; the settings file holds
// nothing of it.
#pragma once

#include <string>

namespace vorlane {

// The Run value's text for this exe: quoted, so a path with spaces works.
std::wstring RunAtLogonCommand(const std::wstring& exePath);

// The program a Run value's text starts: its first word, quotes removed.
std::wstring ProgramOfCommand(const std::wstring& command);

}  // namespace vorlane
