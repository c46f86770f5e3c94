#include "monitor/Relookup.h"

#include <system_error>
#include <thread>

namespace vorlane {

bool RelookupDue(std::int64_t nowMs, std::int64_t lastLookupMs, bool missedLastCycle,
                 bool underWay) {
    if (underWay) return false;
    return missedLastCycle || nowMs - lastLookupMs >= kRelookupAgeMs;
}

void PendingLookup::finish(std::wstring answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = std::move(answer);
    done_ = true;
}

bool PendingLookup::take(std::wstring& answer) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (done_) answer = answer_;
    return done_;
}

bool ThreadLookupStarter::start(const std::wstring& host, std::shared_ptr<PendingLookup> pending) {
    try {
        std::thread([resolver = resolver_, host, pending] {
            pending->finish(resolver->lookupHost(host));
        }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace vorlane
