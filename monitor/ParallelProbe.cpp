#include "monitor/ParallelProbe.h"

#include <system_error>
#include <thread>

namespace vorlane {

std::vector<std::optional<int>> ProbeAll(Prober& prober, const std::vector<Ipv4Address>& addresses,
                                         int timeoutMs) {
    std::vector<std::optional<int>> answers(addresses.size());
    if (addresses.empty()) return answers;
    std::vector<std::thread> threads;
    std::vector<std::size_t> leftOver;
    for (std::size_t i = 1; i < addresses.size(); ++i) {
        try {
            threads.emplace_back(
                [&, i] { answers[i] = prober.probe(addresses[i], timeoutMs); });
        } catch (const std::system_error&) {
            leftOver.push_back(i);
        }
    }
    answers[0] = prober.probe(addresses[0], timeoutMs);
    for (std::thread& thread : threads) thread.join();
    for (std::size_t i : leftOver) answers[i] = prober.probe(addresses[i], timeoutMs);
    return answers;
}

}  // namespace vorlane
