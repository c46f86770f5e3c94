// The text of the bar's tooltip: how the link has been, at a glance.
// Portable.
#pragma once

#include <string>
#include <vector>

#include "app/LinkHistory.h"

namespace vorlane {

struct Glance {
    struct Target {
        std::wstring typed;
        std::wstring address;  // dotted; "NIL" when the lookup failed; empty before it
    };
    std::vector<Target> targets;
    int roundTripMs = -1;  // of the last answer; -1 before one
    LossRecord::Share lossLastHour;
    LinkHistory::State state = LinkHistory::State::Unknown;
    LocalTime since;
    int missed = 0;
    int drops = 0;
    std::wstring logPath;     // empty when the log is off
    std::wstring logProblem;  // why it is not being written, if it is not
};

// One line per fact, separated by "\r\n".
std::wstring GlanceText(const Glance& glance);

}  // namespace vorlane
