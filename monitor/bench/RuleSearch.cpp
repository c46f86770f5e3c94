#include "monitor/bench/RuleSearch.h"

#include <algorithm>
#include <map>
#include <utility>

namespace vorlane {
namespace replay {

namespace {

class Searcher {
  public:
    Searcher(const Grid& grid, const SearchConditions& conditions)
        : grid_(grid), conditions_(conditions) {}

    SearchResult run() {
        SearchResult result;
        for (int retry : grid_.retryIntervals) {
            result.perRetry.push_back(fastest(retry, result));
        }
        return result;
    }

  private:
    Rule rule(int tries, int window, int retry) const {
        Rule r;
        r.tryTimes = tries;
        r.tryWindow = window;
        r.upAfter = grid_.upAfter;
        r.tryInterval = grid_.tryInterval;
        r.retryInterval = retry;
        return r;
    }

    // The bursty link first: it rejects most rules within days.
    bool noFalseDrop(const Rule& r, std::uint64_t seed) const {
        if (conditions_.bursty) {
            BurstyLoss link(BurstModel(), seed);
            if (FalseDrops(r, link, conditions_.yearMs, 1).drops > 0) return false;
        }
        if (conditions_.independentLoss > 0) {
            IndependentLoss link(conditions_.independentLoss, seed);
            if (FalseDrops(r, link, conditions_.yearMs, 1).drops > 0) return false;
        }
        return true;
    }

    bool confirmed(const Rule& r) {
        const auto key = std::make_pair(r.tryTimes, r.tryWindow);
        const auto known = confirmed_.find(key);
        if (known != confirmed_.end()) return known->second;
        bool ok = true;
        for (int year = 1; ok && year <= conditions_.confirmYears; ++year) {
            ok = noFalseDrop(r, conditions_.seed + 1000 * static_cast<std::uint64_t>(year));
        }
        confirmed_[key] = ok;
        return ok;
    }

    SearchResult::PerRetry fastest(int retry, SearchResult& totals) {
        confirmed_.clear();
        std::vector<Found> passed;
        for (int tries = grid_.fewestTries; tries <= grid_.mostTries; ++tries) {
            std::vector<int> windows{0};
            for (int w = tries + 1; w <= grid_.largestWindow; ++w) windows.push_back(w);
            bool inARowPassed = false;
            for (int window : windows) {
                const Rule r = rule(tries, window, retry);
                ++totals.rulesTried;
                if (!noFalseDrop(r, conditions_.seed)) break;
                ++totals.rulesPassed;
                inARowPassed = inARowPassed || window == 0;
                Found found;
                found.rule = r;
                found.onLossyLink = DetectOutages(r, conditions_.independentLoss,
                                                  conditions_.outages, conditions_.seed);
                passed.push_back(found);
            }
            if (inARowPassed && tries >= grid_.largestWindow && confirmed(rule(tries, 0, retry))) {
                break;
            }
        }
        std::stable_sort(passed.begin(), passed.end(), [](const Found& a, const Found& b) {
            if (a.onLossyLink.meanS != b.onLossyLink.meanS) {
                return a.onLossyLink.meanS < b.onLossyLink.meanS;
            }
            return a.onLossyLink.worstS < b.onLossyLink.worstS;
        });
        SearchResult::PerRetry result;
        result.retryInterval = retry;
        for (const Found& candidate : passed) {
            if (!confirmed(candidate.rule)) continue;
            result.found = true;
            result.best = candidate;
            result.best.onQuietLink =
                DetectOutages(candidate.rule, 0, conditions_.outages, conditions_.seed);
            break;
        }
        return result;
    }

    const Grid& grid_;
    const SearchConditions& conditions_;
    // (tryTimes, tryWindow) of this retry interval: passed the other years.
    std::map<std::pair<int, int>, bool> confirmed_;
};

}  // namespace

SearchResult SearchRules(const Grid& grid, const SearchConditions& conditions) {
    return Searcher(grid, conditions).run();
}

}  // namespace replay
}  // namespace vorlane
