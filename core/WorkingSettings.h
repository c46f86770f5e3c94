// The values that a confirmed settings dialog hands to the monitor and the
// alarm. Portable: no Windows types.
#pragma once

#include <string>

namespace vorlane {

struct WorkingSettingsValues {
    std::wstring target;       // as typed; the monitor resolves its own copy
    int tryTimes = 0;          // unanswered probes in a row that make a drop
    int tryInterval = 0;       // seconds of pause after each probe
    int countdown = 0;         // seconds counted down before the action
    std::wstring commandLine;  // may be empty
    bool playSound = false;
    bool shutDown = false;
    int timeoutMs = 1000;     // how long each echo request waits for its reply
    bool armFirst = false;    // misses count only once the target has answered
    bool cancelOnUp = false;  // an answer during the countdown cancels it
    bool rearm = false;       // watch again after the action
    std::wstring commandUp;   // run once when an answer follows a drop; may be empty
    bool keepLog = true;      // write the event log
};

}  // namespace vorlane
