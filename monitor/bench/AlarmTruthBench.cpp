// What the alarm-truth replay costs: a simulated month of probe outcomes
// through the drop rule, and a thousand real outages. The table itself
// (seconds of replay, a search over simulated years) is the separate program
// alarm_truth (AlarmTruthTable.cpp), so that the smoke run of these
// benchmarks stays quick.
#include <benchmark/benchmark.h>

#include "monitor/bench/AlarmReplay.h"

namespace vorlane {
namespace replay {
namespace {

void BM_AlarmReplay_30DaysAt5PercentLoss(benchmark::State& state) {
    Rule today;
    Drops drops;
    for (auto _ : state) {
        IndependentLoss link(0.05, 21);
        drops = FalseDrops(today, link, 30 * kDayMs);
        benchmark::DoNotOptimize(drops);
    }
    state.SetItemsProcessed(state.iterations() * drops.cycles);
    state.counters["false_drops"] = static_cast<double>(drops.drops);
    state.counters["cycles"] = static_cast<double>(drops.cycles);
}
BENCHMARK(BM_AlarmReplay_30DaysAt5PercentLoss)->Unit(benchmark::kMillisecond);

void BM_AlarmReplay_30DaysBursty(benchmark::State& state) {
    Rule today;
    Drops drops;
    for (auto _ : state) {
        BurstyLoss link(BurstModel(), 21);
        drops = FalseDrops(today, link, 30 * kDayMs);
        benchmark::DoNotOptimize(drops);
    }
    state.SetItemsProcessed(state.iterations() * drops.cycles);
    state.counters["false_drops"] = static_cast<double>(drops.drops);
}
BENCHMARK(BM_AlarmReplay_30DaysBursty)->Unit(benchmark::kMillisecond);

void BM_AlarmReplay_1000Outages(benchmark::State& state) {
    Rule rule;
    rule.retryInterval = 1;
    Detection detection;
    for (auto _ : state) {
        detection = DetectOutages(rule, 0.05, 1000, 21);
        benchmark::DoNotOptimize(detection);
    }
    state.counters["mean_s"] = detection.meanS;
    state.counters["worst_s"] = detection.worstS;
}
BENCHMARK(BM_AlarmReplay_1000Outages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace replay
}  // namespace vorlane
