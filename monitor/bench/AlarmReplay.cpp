#include "monitor/bench/AlarmReplay.h"

#include <algorithm>
#include <cmath>

namespace vorlane {
namespace replay {

double Random::exponential(double mean) { return -mean * std::log1p(-uniform()); }

double BurstModel::overallLoss() const {
    const double badShare = meanBadMs / (meanGoodMs + meanBadMs);
    return badShare * badLoss + (1 - badShare) * goodLoss;
}

BurstyLoss::BurstyLoss(const BurstModel& model, std::uint64_t seed)
    : model_(model), spells_(seed), losses_(seed ^ 0x5DEECE66DULL) {
    // Starts in either spell as often as the link is in it.
    bad_ = spells_.chance(model_.meanBadMs / (model_.meanGoodMs + model_.meanBadMs));
    switchAtMs_ = spells_.exponential(bad_ ? model_.meanBadMs : model_.meanGoodMs);
}

bool BurstyLoss::answers(std::int64_t atMs) {
    while (static_cast<double>(atMs) >= switchAtMs_) {
        bad_ = !bad_;
        switchAtMs_ += spells_.exponential(bad_ ? model_.meanBadMs : model_.meanGoodMs);
    }
    return !losses_.chance(bad_ ? model_.badLoss : model_.goodLoss);
}

SimulatedProgram::SimulatedProgram(const Rule& rule) : rule_(rule) {
    drop_.configure(rule.tryTimes, rule.tryWindow, rule.upAfter);
}

bool SimulatedProgram::cycle(bool answered) {
    bool drop = false;
    if (answered) {
        drop_.answer();
    } else {
        drop = drop_.miss();
        nowMs_ += kTimeoutMs;
    }
    lastAnswered_ = answered;
    if (drop) {
        drop_.restart();
        lastAnswered_ = true;
    }
    nowMs_ += 1000LL * CycleIntervalSeconds(rule_.tryInterval, rule_.retryInterval, lastAnswered_);
    return drop;
}

Detection DetectOutages(const Rule& rule, double backgroundLoss, int outages, std::uint64_t seed) {
    constexpr double kHistoryMs = 300 * 1000.0;
    constexpr double kStretchMs = 300 * 1000.0;
    Random moments(seed);
    IndependentLoss background(backgroundLoss, seed ^ 0x2545F4914F6CDD1DULL);
    Detection result;
    double totalMs = 0;
    double worstMs = 0;
    for (int i = 0; i < outages; ++i) {
        const double startMs = kHistoryMs + moments.uniform() * kStretchMs;
        SimulatedProgram program(rule);
        for (;;) {
            const std::int64_t sentMs = program.nowMs();
            const bool down = static_cast<double>(sentMs) >= startMs;
            if (!program.cycle(!down && background.answers(sentMs)) || !down) continue;
            const double tookMs = static_cast<double>(sentMs + kTimeoutMs) - startMs;
            totalMs += tookMs;
            worstMs = std::max(worstMs, tookMs);
            break;
        }
    }
    result.meanS = outages > 0 ? totalMs / outages / 1000 : 0;
    result.worstS = worstMs / 1000;
    return result;
}

}  // namespace replay
}  // namespace vorlane
