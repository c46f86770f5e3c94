// One cycle's probes, sent to every target at once whatever their kind, so
// that a cycle with silent targets takes one time-out and not one per target.
// Portable: no Windows types.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "monitor/ProbeAnswer.h"
#include "monitor/Target.h"

namespace vorlane {

class Prober {
  public:
    virtual ~Prober() = default;
    // One probe of `target`'s kind that waits up to `timeoutMs` for its
    // reply. Called from several threads at once, one per target.
    virtual ProbeAnswer probe(const ProbeTarget& target, int timeoutMs) = 0;
};

// Runs job(0) .. job(count - 1) at once: job(0) on the calling thread, every
// other on a thread of its own, or after the others on the calling thread
// where a thread cannot be started. Returns when all have ended.
void ForEachAtOnce(std::size_t count, const std::function<void(std::size_t)>& job);

// The answers in the order of `targets`. The first target is probed on the
// calling thread and every other on a thread of its own; where a thread
// cannot be started, that target is probed on the calling thread after the
// others.
std::vector<ProbeAnswer> ProbeAll(Prober& prober, const std::vector<ProbeTarget>& targets,
                                  int timeoutMs);

}  // namespace vorlane
