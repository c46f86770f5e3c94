#include "monitor/ParallelProbe.h"

#include <system_error>
#include <thread>

namespace vorlane {

void ForEachAtOnce(std::size_t count, const std::function<void(std::size_t)>& job) {
    if (count == 0) return;
    std::vector<std::thread> threads;
    std::vector<std::size_t> leftOver;
    for (std::size_t i = 1; i < count; ++i) {
        try {
            threads.emplace_back([&job, i] { job(i); });
        } catch (const std::system_error&) {
            leftOver.push_back(i);
        }
    }
    job(0);
    for (std::thread& thread : threads) thread.join();
    for (std::size_t i : leftOver) job(i);
}

std::vector<ProbeAnswer> ProbeAll(Prober& prober, const std::vector<ProbeTarget>& targets,
                                  int timeoutMs) {
    std::vector<ProbeAnswer> answers(targets.size());
    ForEachAtOnce(targets.size(),
                  [&](std::size_t i) { answers[i] = prober.probe(targets[i], timeoutMs); });
    return answers;
}

}  // namespace vorlane
