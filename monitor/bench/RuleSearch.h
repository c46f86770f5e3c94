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
    long rulesConsidered = 0;
    long rulesTried = 0;  // of those, replayed over a year
};

// A window never fires later than the same number of misses in a row, nor a
// wider window later than a narrower one, on the same outcomes: so the
// windows of a tryTimes are tried from the narrowest and left at the first
// that fails a year, and once `tryTimes` in a row passes beyond the largest
// window, more tries would only act later. Once a rule passes, the others are
// replayed over a year only if they act on an outage sooner.
SearchResult SearchRules(const Grid& grid, const SearchConditions& conditions);

}  // namespace replay
}  // namespace vorlane
