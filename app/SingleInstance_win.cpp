#include "app/SingleInstance_win.h"

#include "app/SingleInstance.h"

namespace vorlane {
namespace {

// One spelling per file: the full path ("..", "." and relative parts
// resolved), upper-cased the way the file system compares names.
std::wstring FoldedPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    if (n == 0 || n >= full.size()) {
        full = path;
    } else {
        full.resize(n);
    }
    if (!full.empty()) ::CharUpperBuffW(&full[0], static_cast<DWORD>(full.size()));
    return full;
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard(const std::wstring& settingsPath)
    : path_(FoldedPath(settingsPath)) {
    // The mutex is only ever tested for existence, never waited on: taking
    // it by creation is one atomic step, so two starts at the same moment
    // cannot both be first.
    mutex_.reset(::CreateMutexW(nullptr, FALSE, InstanceMutexName(path_).c_str()));
    first_ = !(mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS);
}

void SingleInstanceGuard::bringRunningCopyToFront() const {
    const UINT message = ComeToFrontMessage(path_);
    if (message == 0) return;
    // The running copy may take the foreground only with this copy's leave,
    // since this one was started last by the person.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::PostMessageW(HWND_BROADCAST, message, 0, 0);
}

UINT ComeToFrontMessage(const std::wstring& settingsPath) {
    return ::RegisterWindowMessageW(ComeToFrontMessageName(FoldedPath(settingsPath)).c_str());
}

}  // namespace vorlane
