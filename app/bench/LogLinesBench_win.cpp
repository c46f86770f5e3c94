// The event log's benchmark (VORLANE_BENCH_LOGLINES=N): N real "down" lines
// written to Vorlane.log, each timed from opening the file to closing it.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/bench/InProgramBench_win.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"

namespace vorlane {

void RunLogLinesBenchmark(const std::wstring& target, int count) {
    if (count <= 0) return;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<long long> micros;
    micros.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        ProgramLog().write("down", LogDetails().add(L"target", target).add(L"bench", i));
        ::QueryPerformanceCounter(&end);
        micros.push_back((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    }
    std::sort(micros.begin(), micros.end());
    Trace(L"bench", L"loglines\t" + Decimal(count) + L"\t" + Decimal(micros[micros.size() / 2]) +
                        L"\t" +
                        Decimal(micros[std::min(micros.size() - 1, micros.size() * 99 / 100)]));
}

}  // namespace vorlane
