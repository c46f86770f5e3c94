// Replays simulated probe outcomes through the drop rule as the probe loop
// applies it (DropRule, CycleIntervalSeconds), on a simulated clock: one
// cycle per tick, no sleeping, fixed seeds so that every figure repeats.
// Used by the alarm-truth table (AlarmTruthTable.cpp) and its benchmark.
#pragma once

#include <cstdint>

#include "monitor/DropRule.h"

namespace vorlane {
namespace replay {

constexpr std::int64_t kTimeoutMs = 1000;
constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

// splitmix64: small, fast, and the same sequence on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // In [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    bool chance(double p) { return uniform() < p; }
    // The same as chance(p) for a threshold made by Threshold(p), without the
    // division: for the hot loops.
    bool below(std::uint64_t threshold) { return (next() >> 11) < threshold; }
    static std::uint64_t Threshold(double p) {
        return static_cast<std::uint64_t>(p * 9007199254740992.0);
    }
    // Exponentially distributed, with this mean.
    double exponential(double mean);

  private:
    std::uint64_t state_;
};

struct Rule {
    int tryTimes = 3;
    int tryWindow = 0;
    int upAfter = 1;
    int tryInterval = 5;    // seconds
    int retryInterval = 0;  // seconds; 0: none
};

// Each probe lost with the same chance, whatever came before.
class IndependentLoss {
  public:
    IndependentLoss(double loss, std::uint64_t seed)
        : threshold_(Random::Threshold(loss)), random_(seed) {}
    bool answers(std::int64_t /*atMs*/) { return !random_.below(threshold_); }

  private:
    std::uint64_t threshold_;
    Random random_;
};

// A two-state link: good and bad spells whose lengths are drawn, in time,
// from exponential laws; each probe lost with its spell's chance. The spells
// follow the link's clock, not the prober's, so probing faster during a bad
// spell sees more of it. Probes must come in time order.
struct BurstModel {
    double goodLoss = 0.01;
    double badLoss = 0.60;
    double meanGoodMs = 500 * 5000.0;  // 500 cycles of 5 s
    double meanBadMs = 20 * 5000.0;    // 20 cycles of 5 s
    double overallLoss() const;
};

class BurstyLoss {
  public:
    BurstyLoss(const BurstModel& model, std::uint64_t seed);
    bool answers(std::int64_t atMs);

  private:
    BurstModel model_;
    Random spells_;  // the spells alone, so that every rule meets the same ones
    Random losses_;
    bool bad_;
    double switchAtMs_;
};

// The probe loop's counting on a simulated clock. A cycle's probe goes out at
// nowMs(); an unanswered one ends after the time-out; the next cycle follows
// after the interval CycleIntervalSeconds gives. After a drop the program
// counts again from zero, as after the alarm's rearm ("RESUME"), and waits
// one `tryInterval` (standing for the countdown).
class SimulatedProgram {
  public:
    explicit SimulatedProgram(const Rule& rule);
    std::int64_t nowMs() const { return nowMs_; }
    // One cycle; true when it made a drop.
    bool cycle(bool answered);

  private:
    Rule rule_;
    DropRule drop_;
    bool lastAnswered_ = true;
    std::int64_t nowMs_ = 0;
};

struct Drops {
    long drops = 0;
    long cycles = 0;
};

// Drops over `durationMs` of a link that never goes down; stops at the
// `stopAt`-th drop (0: never), so that a search rejects a rule at once.
template <class Link>
Drops FalseDrops(const Rule& rule, Link& link, std::int64_t durationMs, long stopAt = 0) {
    SimulatedProgram program(rule);
    Drops result;
    while (program.nowMs() < durationMs) {
        ++result.cycles;
        if (program.cycle(link.answers(program.nowMs())) && ++result.drops == stopAt) break;
    }
    return result;
}

struct Detection {
    double meanS = 0;
    double worstS = 0;
};

// `outages` real outages, each met by a newly started program: the link
// loses `backgroundLoss` of the probes (independently) until a random moment,
// then all of them. The time runs from that moment to the drop, the end of
// the time-out of the probe that made it; a drop before the moment is a
// false one, after which the program counts again as after any other. The
// moment is uniform over a stretch of five minutes that begins after five
// minutes of history (more than any window searched holds), so that it falls
// in longer cycles more often, as in life. `rule.tryTimes` at least 1, or
// nothing ever drops.
Detection DetectOutages(const Rule& rule, double backgroundLoss, int outages, std::uint64_t seed);

}  // namespace replay
}  // namespace vorlane
