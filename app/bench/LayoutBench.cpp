#include <benchmark/benchmark.h>

#include "app/Layout.h"

namespace vorlane {
namespace {

// Placement runs once per start; this keeps an eye on it staying trivial
// even with many monitors.
void BM_PlaceStoredPosition(benchmark::State& state) {
    Rect monitors[8];
    for (int i = 0; i < 8; ++i) monitors[i] = Rect{i * 1920, 0, (i + 1) * 1920, 1080};
    Rect work{0, 0, 1920, 1040};
    int x = 0;
    for (auto _ : state) {
        BarLayout layout = ComputeBarLayout(100 + (x & 63), 20);
        Point p = PlaceStoredPosition(x, 100, layout.width, layout.height, monitors, 8, work);
        benchmark::DoNotOptimize(p);
        x += 997;
    }
}
BENCHMARK(BM_PlaceStoredPosition);

}  // namespace
}  // namespace vorlane
