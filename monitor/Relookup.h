// Names follow their address: every name target that has resolved is looked
// up again in the background, beside the probes, when its last lookup is
// older than a minute and at once after a cycle it did not answer. A cycle
// never waits for such a lookup: it probes the last good address, and a
// lookup that fails or hangs keeps that address. Portable: no Windows types.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "monitor/Target.h"

namespace vorlane {

constexpr std::int64_t kRelookupAgeMs = 60 * 1000;

// Whether a name's lookup is due; never while one is still under way.
bool RelookupDue(std::int64_t nowMs, std::int64_t lastLookupMs, bool missedLastCycle,
                 bool underWay);

// The answer of one lookup running elsewhere, collected at a later cycle
// (or never, should the name service hang).
class PendingLookup {
  public:
    void finish(std::wstring answer);
    // True, with the answer, once the lookup has ended.
    bool take(std::wstring& answer) const;

  private:
    mutable std::mutex mutex_;
    bool done_ = false;
    std::wstring answer_;
};

class LookupStarter {
  public:
    virtual ~LookupStarter() = default;
    // Starts looking `host` up; its answer (as Resolver::lookupHost gives
    // it) goes to `pending`. False when it could not be started.
    virtual bool start(const std::wstring& host, std::shared_ptr<PendingLookup> pending) = 0;
};

// Each lookup on a thread of its own that nobody waits for: a name server
// that never answers holds up nothing, not even the end of the program. The
// thread keeps the resolver alive for as long as it runs.
class ThreadLookupStarter : public LookupStarter {
  public:
    explicit ThreadLookupStarter(std::shared_ptr<Resolver> resolver)
        : resolver_(std::move(resolver)) {}
    bool start(const std::wstring& host, std::shared_ptr<PendingLookup> pending) override;

  private:
    std::shared_ptr<Resolver> resolver_;
};

}  // namespace vorlane
