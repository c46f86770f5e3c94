#include "monitor/bench/RuleSearch.h"

namespace vorlane {
namespace replay {

namespace {

class Searcher {
  public:
    Searcher(const Grid& grid, const SearchConditions& conditions)
        : grid_(grid), conditions_(conditions) {}

    SearchResult run() const {
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

    bool confirmed(const Rule& r) const {
        for (int year = 1; year <= conditions_.confirmYears; ++year) {
            if (!noFalseDrop(r, conditions_.seed + 1000 * static_cast<std::uint64_t>(year))) {
                return false;
            }
        }
        return true;
    }

    Detection detect(const Rule& r) const {
        return DetectOutages(r, conditions_.independentLoss, conditions_.outages, conditions_.seed);
    }

    static bool Faster(const Detection& a, const Detection& b) {
        return a.meanS < b.meanS || (a.meanS == b.meanS && a.worstS < b.worstS);
    }

    // Best first: once a rule is confirmed, a rule that would not act sooner
    // is not replayed over a year at all.
    SearchResult::PerRetry fastest(int retry, SearchResult& totals) const {
        SearchResult::PerRetry result;
        result.retryInterval = retry;
        Found& best = result.best;
        for (int tries = grid_.fewestTries; tries <= grid_.mostTries; ++tries) {
            std::vector<int> windows{0};
            for (int w = tries + 1; w <= grid_.largestWindow; ++w) windows.push_back(w);
            // In a row, this many tries passed or acts no sooner than the best.
            bool inARowSettled = false;
            for (int window : windows) {
                const Rule r = rule(tries, window, retry);
                ++totals.rulesConsidered;
                Detection detection;
                if (result.found) {
                    detection = detect(r);
                    if (!Faster(detection, best.onLossyLink)) {
                        inARowSettled = inARowSettled || window == 0;
                        continue;
                    }
                }
                ++totals.rulesTried;
                if (!noFalseDrop(r, conditions_.seed)) break;
                if (!result.found) detection = detect(r);
                if (!confirmed(r)) continue;
                inARowSettled = inARowSettled || window == 0;
                result.found = true;
                best.rule = r;
                best.onLossyLink = detection;
            }
            if (inARowSettled && tries >= grid_.largestWindow) break;
        }
        if (result.found) {
            best.onQuietLink = DetectOutages(best.rule, 0, conditions_.outages, conditions_.seed);
        }
        return result;
    }

    const Grid& grid_;
    const SearchConditions& conditions_;
};

}  // namespace

SearchResult SearchRules(const Grid& grid, const SearchConditions& conditions) {
    return Searcher(grid, conditions).run();
}

}  // namespace replay
}  // namespace vorlane
