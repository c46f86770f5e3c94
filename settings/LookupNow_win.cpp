#include "settings/LookupNow_win.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "monitor/IcmpProber_win.h"

namespace vorlane {
namespace {

// What the lookup threads found, shared with them: a thread still running
// after the wait keeps it alive. (A plain mutex and condition rather than
// std::future: futures bring call_once, thread-local storage and the
// exception_ptr machinery into the exe for nothing.)
struct Answers {
    explicit Answers(std::size_t count) : resolved(count, false), pending(count) {}

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> resolved;  // false too while the lookup still runs
    std::size_t pending;

    void set(std::size_t i, bool found) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            resolved[i] = found;
            --pending;
        }
        changed.notify_all();
    }
};

}  // namespace

std::vector<std::wstring> UnresolvedNames(const std::vector<std::wstring>& names, int waitMs) {
    auto answers = std::make_shared<Answers>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        try {
            std::thread([name = names[i], answers, i] {
                WinsockResolver resolver;
                answers->set(i, resolver.lookupHost(name) != kLookupFailed);
            }).detach();
        } catch (const std::system_error&) {
            answers->set(i, false);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::unique_lock<std::mutex> lock(answers->mutex);
    answers->changed.wait_until(lock, deadline, [&] { return answers->pending == 0; });
    std::vector<std::wstring> unresolved;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!answers->resolved[i]) unresolved.push_back(names[i]);
    }
    return unresolved;
}

}  // namespace vorlane
