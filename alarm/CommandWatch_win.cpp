#include "alarm/CommandWatch_win.h"

namespace vorlane {
namespace {

long long Ticks(const FILETIME& time) {
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

VOID CALLBACK Ended(PVOID context, BOOLEAN /*timedOut*/) {
    const auto* watched = static_cast<const CommandWatch::Watched*>(context);
    DWORD code = 0;
    ::GetExitCodeProcess(watched->process.get(), &code);
    FILETIME created, exited, kernel, user;
    long long ms = 0;
    if (::GetProcessTimes(watched->process.get(), &created, &exited, &kernel, &user)) {
        ms = (Ticks(exited) - Ticks(created)) / 10000;
    }
    ::PostMessageW(watched->window, watched->message, code, static_cast<LPARAM>(ms));
}

}  // namespace

CommandWatch::~CommandWatch() {
    for (auto& watched : watched_) {
        // INVALID_HANDLE_VALUE: returns once a callback under way is done.
        if (watched->wait) ::UnregisterWaitEx(watched->wait, INVALID_HANDLE_VALUE);
    }
}

void CommandWatch::watch(framework::UniqueHandle process) {
    if (!process) return;
    auto watched = std::make_unique<Watched>();
    watched->process = std::move(process);
    watched->window = window_;
    watched->message = message_;
    if (!::RegisterWaitForSingleObject(&watched->wait, watched->process.get(), Ended, watched.get(),
                                       INFINITE, WT_EXECUTEONLYONCE)) {
        return;
    }
    watched_.push_back(std::move(watched));
}

}  // namespace vorlane
