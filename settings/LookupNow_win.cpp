#include "settings/LookupNow_win.h"

#include <chrono>
#include <future>
#include <memory>
#include <system_error>
#include <thread>

#include "monitor/IcmpProber_win.h"

namespace vorlane {

std::vector<std::wstring> UnresolvedNames(const std::vector<std::wstring>& names, int waitMs) {
    std::vector<std::future<bool>> answers;
    for (const std::wstring& name : names) {
        auto answer = std::make_shared<std::promise<bool>>();
        answers.push_back(answer->get_future());
        try {
            std::thread([name, answer] {
                WinsockResolver resolver;
                answer->set_value(resolver.lookupHost(name) != kLookupFailed);
            }).detach();
        } catch (const std::system_error&) {
            answer->set_value(false);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::vector<std::wstring> unresolved;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (answers[i].wait_until(deadline) != std::future_status::ready || !answers[i].get()) {
            unresolved.push_back(names[i]);
        }
    }
    return unresolved;
}

}  // namespace vorlane
