#include "app/bench/InProgramBench_win.h"

#include <windows.h>

#include "settings/SettingsCheck.h"

namespace vorlane {
namespace {

int Requested(const wchar_t* variable) {
    wchar_t buffer[32] = {};
    DWORD n = ::GetEnvironmentVariableW(variable, buffer, 32);
    if (n == 0 || n >= 32) return 0;
    return ReadItemInt(buffer);
}

}  // namespace

bool BenchmarksRequested() {
    return Requested(L"VORLANE_BENCH_REDRAWS") > 0 || Requested(L"VORLANE_BENCH_LOGLINES") > 0;
}

void RunRequestedBenchmarks(BarDrawing& drawing, const BarPicture& shown,
                            const std::wstring& target) {
    RunRedrawBenchmark(drawing, shown, Requested(L"VORLANE_BENCH_REDRAWS"));
    RunLogLinesBenchmark(target, Requested(L"VORLANE_BENCH_LOGLINES"));
}

}  // namespace vorlane
