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
    // 0: the drop is `tryTimes` unanswered cycles in a row. Above 0: the drop
    // is `tryTimes` unanswered among the last `tryWindow` counted cycles.
    int tryWindow = 0;
    // Answers in a row that end an outage after a drop.
    int upAfter = 1;
    // Seconds between cycles after an unanswered one until an answer comes;
    // 0: `tryInterval`.
    int retryInterval = 0;
    // Seconds after a resume from sleep in which misses do not count unless
    // a target answers first; 0: they count at once.
    int resumeGrace = 60;
    std::wstring language = L"auto";  // the `lang` key: auto, zh or en
    bool tray = false;                // an icon in the notification area
    bool bar = true;                  // the status bar on screen
};

}  // namespace vorlane
