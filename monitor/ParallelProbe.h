// One cycle's echo requests, sent to every target at once, so that a cycle
// with silent targets takes one time-out and not one per target. Portable:
// no Windows types.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "monitor/Target.h"

namespace vorlane {

class Prober {
  public:
    virtual ~Prober() = default;
    // One echo request that waits up to `timeoutMs` for its reply: the
    // reply's round-trip time in milliseconds, or nothing when no echo answer
    // came. Called from several threads at once, one per target.
    virtual std::optional<int> probe(const Ipv4Address& address, int timeoutMs) = 0;
};

// Runs job(0) .. job(count - 1) at once: job(0) on the calling thread, every
// other on a thread of its own, or after the others on the calling thread
// where a thread cannot be started. Returns when all have ended.
void ForEachAtOnce(std::size_t count, const std::function<void(std::size_t)>& job);

// The answers in the order of `addresses`. The first address is probed on
// the calling thread and every other on a thread of its own; where a thread
// cannot be started, that address is probed on the calling thread after the
// others.
std::vector<std::optional<int>> ProbeAll(Prober& prober, const std::vector<Ipv4Address>& addresses,
                                         int timeoutMs);

}  // namespace vorlane
