// The search for the fastest drop rule that a lossy link never sets off: a
// grid of rules, each replayed over simulated years of a link that never goes
// down (AlarmReplay.h), the survivors ranked by how soon they act on a real
// outage.
#pragma once

#include <cstdint>
#include <vector>

#include "monitor/bench/AlarmReplay.h"

namespace vorlane {
namespace replay {

struct Grid {
    int fewestTries = 2;
    int mostTries = 8;
    // Windows from `tryTimes` up to this, beside 0 (misses in a row).
    int largestWindow = 20;
    std::vector<int> retryIntervals{0, 1, 2};
    int tryInterval = 5;
    int upAfter = 2;  // changes no drop; carried into the rules found
};

struct SearchConditions {
    double independentLoss = 0.05;
    bool bursty = true;  // the model in BurstModel's defaults
    std::int64_t yearMs = 365 * kDayMs;
    // A rule that passes its year is checked again over this many other
    // years before it is named, so that none wins by the luck of one seed.
    int confirmYears = 10;
    int outages = 10000;
    std::uint64_t seed = 21;
};

struct Found {
    Rule rule;
    Detection onQuietLink;  // no loss before the outage
    Detection onLossyLink;  // `independentLoss` before the outage: the ranking
};

struct SearchResult {
    // The fastest rule that passes, for each retry interval in the grid's
    // order; `found` false where none does.
    struct PerRetry {
        int retryInterval = 0;
        bool found = false;
        Found best;
    };
    std::vector<PerRetry> perRetry;
    long rulesTried = 0;   // rules replayed over a year
    long rulesPassed = 0;  // of those, with no false drop in it
};

// Misses in a row never fire later than the same number within a window, and
// a wider window never later than a narrower one, on the same outcomes: so the
// windows of a tryTimes are tried from the narrowest and left at the first
// that fails, and once `tryTimes` in a row passes beyond the largest window,
// more tries would only act later.
SearchResult SearchRules(const Grid& grid, const SearchConditions& conditions);

}  // namespace replay
}  // namespace vorlane
