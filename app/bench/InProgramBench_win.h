// Benchmarks run inside the program, on its real window and log, for
// scripts/bench.sh: asked for by environment variables, run once the bar is
// shown, each figure one trace line "bench\t<what>\tN\t<median µs>\t<p99 µs>".
#pragma once

#include <string>

namespace vorlane {

class BarDrawing;
struct BarPicture;

// VORLANE_BENCH_REDRAWS=N or VORLANE_BENCH_LOGLINES=N is set.
bool BenchmarksRequested();
// Runs those asked for: the redraws on the bar's drawing, which shows
// `shown` again after them, and the log's lines, "down" lines for `target`.
void RunRequestedBenchmarks(BarDrawing& drawing, const BarPicture& shown,
                            const std::wstring& target);

// N redraws in turns of four kinds, then the pixels of the kept surface
// against a fresh one.
void RunRedrawBenchmark(BarDrawing& drawing, const BarPicture& shown, int count);
// N lines of the event log, each opened, appended and closed.
void RunLogLinesBenchmark(const std::wstring& target, int count);

}  // namespace vorlane
