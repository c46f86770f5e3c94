// One running copy per settings file. The copies agree on two names made from
// the settings file's path: a mutex that the first copy holds for its whole
// run (the system drops it with the process, so a crash never locks the next
// start out), and a registered window message by which a later copy asks the
// first to bring its bar to the front.
#pragma once

#include <string>

namespace vorlane {

// "Vorlane-<16 hex digits>": a hash of the path with its case folded and
// '/' read as '\'. The Windows side folds non-ASCII letters before it calls
// this; here ASCII is folded, so that the result never depends on the locale.
std::wstring InstanceName(const std::wstring& settingsPath);

// The mutex, in the session's namespace, and the window message.
std::wstring InstanceMutexName(const std::wstring& settingsPath);
std::wstring ComeToFrontMessageName(const std::wstring& settingsPath);

}  // namespace vorlane
