// Prints the alarm-truth table: how often each drop rule fires on a link that
// never goes down, how soon it acts on one that does, and the rule a search
// finds for links that lose up to 5 % of their probes. Every figure comes from
// the same seeds, so a run repeats the last one. scripts/bench.sh runs it.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/bench/AlarmReplay.h"
#include "monitor/bench/RuleSearch.h"

namespace vorlane {
namespace replay {
namespace {

constexpr std::uint64_t kSeed = 21;
constexpr int kOutages = 10000;

std::string Thousands(long n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string Seconds(const Detection& d) {
    char text[40];
    std::snprintf(text, sizeof text, "%.1f / %.1f", d.meanS, d.worstS);
    return text;
}

std::string Describe(const Rule& r) {
    std::string text = "trytimes " + std::to_string(r.tryTimes);
    if (r.tryWindow > 0) text += ", trywindow " + std::to_string(r.tryWindow);
    if (r.upAfter != 1) text += ", upafter " + std::to_string(r.upAfter);
    if (r.retryInterval > 0) text += ", retryinterval " + std::to_string(r.retryInterval);
    return text;
}

void PrintRow(const std::vector<std::string>& cells) {
    std::string line = "|";
    for (const std::string& cell : cells) line += " " + cell + " |";
    std::puts(line.c_str());
}

void PrintKnownRules() {
    const BurstModel bursts;
    std::printf(
        "Alarm-truth replay: the drop rule fed simulated probe outcomes, tryinterval 5 s, "
        "time-out 1 s, seed %llu. False drops: 30 days of simulated clock on a link that never "
        "goes down (518,400 cycles when all answer). Bursty: %.0f %% loss in good spells "
        "(mean %.0f s), %.0f %% in bad ones (mean %.0f s), %.1f %% overall. Outage: %s starts "
        "at random moments, from the start to the drop.\n\n",
        static_cast<unsigned long long>(kSeed), bursts.goodLoss * 100, bursts.meanGoodMs / 1000,
        bursts.badLoss * 100, bursts.meanBadMs / 1000, bursts.overallLoss() * 100,
        Thousands(kOutages).c_str());
    PrintRow({"Rule", "False drops / 30 days: 1 % loss", "5 %", "20 %", "40 %", "bursty",
              "Outage → drop, mean / worst (s): no loss before", "5 % loss before"});
    PrintRow({"---", "---", "---", "---", "---", "---", "---", "---"});
    std::vector<Rule> rules;
    for (int window : {0, 10}) {
        for (int retry : {0, 1}) {
            Rule r;
            r.tryTimes = 3;
            r.tryWindow = window;
            r.upAfter = window > 0 ? 2 : 1;
            r.retryInterval = retry;
            rules.push_back(r);
        }
    }
    const std::int64_t month = 30 * kDayMs;
    for (const Rule& r : rules) {
        std::vector<std::string> cells{Describe(r)};
        for (double loss : {0.01, 0.05, 0.20, 0.40}) {
            IndependentLoss link(loss, kSeed);
            cells.push_back(Thousands(FalseDrops(r, link, month).drops));
        }
        BurstyLoss bursty(bursts, kSeed);
        cells.push_back(Thousands(FalseDrops(r, bursty, month).drops));
        cells.push_back(Seconds(DetectOutages(r, 0, kOutages, kSeed)));
        cells.push_back(Seconds(DetectOutages(r, 0.05, kOutages, kSeed)));
        PrintRow(cells);
    }
}

struct Search {
    const char* name;
    Grid grid;
    SearchConditions conditions;
};

void PrintSearches() {
    Search brief{"trytimes 2..8, 5 % loss and bursty", Grid(), SearchConditions()};
    brief.conditions.seed = kSeed;
    brief.conditions.outages = kOutages;
    Search evenOnly = brief;
    evenOnly.name = "trytimes 2..8, 5 % loss only";
    evenOnly.conditions.bursty = false;
    Search wide = brief;
    wide.name = "trytimes 2..40, 5 % loss and bursty";
    wide.grid.mostTries = 40;
    const SearchConditions& c = brief.conditions;
    std::printf(
        "\nRule search: trywindow 0 or trytimes..%d, tryinterval %d, upafter %d (it changes no "
        "drop). A rule passes with no false drop in a simulated year (365 days) of each link "
        "and again in %d other years; the fastest mean outage → drop with %.0f %% loss before "
        "wins.\n\n",
        brief.grid.largestWindow, brief.grid.tryInterval, brief.grid.upAfter, c.confirmYears,
        c.independentLoss * 100);
    PrintRow({"Search", "retryinterval", "Fastest rule that passes",
              "Outage → drop, mean / worst (s): no loss before", "5 % loss before"});
    PrintRow({"---", "---", "---", "---", "---"});
    long considered = 0;
    long tried = 0;
    bool anyWinner = false;
    Found winner;
    for (Search* search : {&brief, &evenOnly, &wide}) {
        const SearchResult result = SearchRules(search->grid, search->conditions);
        considered += result.rulesConsidered;
        tried += result.rulesTried;
        for (const SearchResult::PerRetry& row : result.perRetry) {
            if (!row.found) {
                PrintRow({search->name, std::to_string(row.retryInterval), "none", "", ""});
                continue;
            }
            PrintRow({search->name, std::to_string(row.retryInterval), Describe(row.best.rule),
                      Seconds(row.best.onQuietLink), Seconds(row.best.onLossyLink)});
            if (search != &evenOnly &&
                (!anyWinner || row.best.onLossyLink.meanS < winner.onLossyLink.meanS)) {
                anyWinner = true;
                winner = row.best;
            }
        }
    }
    if (anyWinner) {
        std::printf("\nWinner for links that lose up to 5 %%: %s (tryinterval %d).\n",
                    Describe(winner.rule).c_str(), winner.rule.tryInterval);
    } else {
        std::printf("\nNo rule in the grids passes.\n");
    }
    std::printf("(%s rules considered, %s of them replayed over a year.)\n",
                Thousands(considered).c_str(), Thousands(tried).c_str());
}

}  // namespace
}  // namespace replay
}  // namespace vorlane

int main() {
    const auto start = std::chrono::steady_clock::now();
    vorlane::replay::PrintKnownRules();
    vorlane::replay::PrintSearches();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("Replayed in %.1f s.\n", took.count());
    return 0;
}
