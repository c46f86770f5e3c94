// The probes' own figures, with the monitor's real probes and ProbeAll: the
// length of a cycle of 8 silent targets of mixed kinds against one of 8 silent
// ICMP targets, taken in turns, and the cost of one refused TCP probe against
// one answered ICMP echo, both on loopback. The silent targets are made so by
// scripts/bench/probe_figures.py (nftables in a network namespace).
//
//     probe_kinds.exe ROUNDS PROBES SILENT_ICMP... -- SILENT_MIXED... -- REFUSED ANSWERED
//
// each target written as ProbeTarget::toText writes it. Prints one JSON object.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/IcmpProber_win.h"
#include "monitor/ParallelProbe.h"
#include "monitor/TcpProber_win.h"

namespace {

using namespace vorlane;
using Clock = std::chrono::steady_clock;

class BenchProber : public Prober {
  public:
    ProbeAnswer probe(const ProbeTarget& target, int timeoutMs) override {
        return target.kind == ProbeKind::TcpConnect
                   ? ConnectOnce(target.address, target.port, timeoutMs)
                   : SendEchoRequest(target.address, timeoutMs);
    }
};

ProbeTarget Parse(const wchar_t* text) {
    const TargetSpec spec = ParseTarget(text);
    ProbeTarget target;
    target.kind = spec.probe;
    target.address = spec.address;
    target.port = spec.tcpPort().value_or(0);
    return target;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 8) return 2;
    const int rounds = _wtoi(argv[1]);
    const int probes = _wtoi(argv[2]);
    std::vector<std::vector<ProbeTarget>> lists(3);
    std::size_t list = 0;
    for (int i = 3; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--") {
            ++list;
            continue;
        }
        if (list < lists.size()) lists[list].push_back(Parse(argv[i]));
    }
    if (lists[2].size() != 2) return 2;
    BenchProber prober;
    constexpr int kTimeoutMs = 1000;
    // Each cycle's answers must all be silent, or the figure means nothing.
    int answeredInSilence = 0;
    auto cycle = [&](const std::vector<ProbeTarget>& targets) {
        const auto start = Clock::now();
        for (const ProbeAnswer& answer : ProbeAll(prober, targets, kTimeoutMs)) {
            if (answer.status != ProbeAnswer::Status::Unanswered) ++answeredInSilence;
        }
        return Ms(Clock::now() - start);
    };
    cycle(lists[0]);  // the first use loads the libraries: not counted
    std::vector<double> icmp, mixed;
    for (int r = 0; r < rounds; ++r) {
        mixed.push_back(cycle(lists[1]));
        icmp.push_back(cycle(lists[0]));
    }
    // One probe at a time, the two kinds in turns.
    std::vector<double> refused, echo;
    int unexpected = 0;
    for (int p = 0; p < probes; ++p) {
        auto start = Clock::now();
        ProbeAnswer a = prober.probe(lists[2][0], kTimeoutMs);
        refused.push_back(Ms(Clock::now() - start) * 1000);
        start = Clock::now();
        ProbeAnswer b = prober.probe(lists[2][1], kTimeoutMs);
        echo.push_back(Ms(Clock::now() - start) * 1000);
        if (!a.answered() || !b.answered()) ++unexpected;
    }
    std::printf(
        "{\"rounds\": %d, \"cycle_icmp_ms\": %.1f, \"cycle_icmp_max_ms\": %.1f, "
        "\"cycle_mixed_ms\": %.1f, \"cycle_mixed_max_ms\": %.1f, \"answered_in_silence\": %d, "
        "\"probes\": %d, \"refused_tcp_median_us\": %.0f, \"icmp_echo_median_us\": %.0f, "
        "\"unanswered_on_loopback\": %d}\n",
        rounds, Median(icmp), *std::max_element(icmp.begin(), icmp.end()), Median(mixed),
        *std::max_element(mixed.begin(), mixed.end()), answeredInSilence, probes, Median(refused),
        Median(echo), unexpected);
    return 0;
}
