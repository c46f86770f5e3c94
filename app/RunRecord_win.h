// The record of the run: the event log's lines for what the run sees (its
// start, the settings confirmed, the link going down and up, a name's new
// lookup result, the monitor's end, the exit), the link's history, the
// glance that the tooltip shows from both, and the menu's view of the log
// file.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/LinkHistory.h"
#include "core/WorkingSettings.h"
#include "monitor/MonitorState.h"

namespace vorlane {

struct StartOptions;

// Opens a log file in the editor registered for ".log", else Notepad.
void OpenInEditor(HWND owner, const std::wstring& file);

class RunRecord {
  public:
    // `changed` runs whenever the glance may have changed.
    explicit RunRecord(std::function<void()> changed) : changed_(std::move(changed)) {}

    // The log beside the settings file, and its "start" line.
    void open(const std::wstring& settingsPath, bool keepLog, const StartOptions& options);
    void settings(const WorkingSettingsValues& values);
    // One cycle's result; `roundTripMs` counts only when it was answered.
    void probe(bool answered, int roundTripMs);
    // The lookup of target `index` (as typed) gave `address`.
    void lookup(std::size_t index, const std::wstring& address);
    // A lookup again of target `index` failed; its last address is kept.
    void lookupFailed(std::size_t index);
    // A line of the event log for the holds of the watch ("suspend",
    // "resume", "pause", "continue"), with one detail or none.
    void hold(const char* event, const wchar_t* key = nullptr, const std::wstring& value = {});
    void drop();
    // Once, however often it is said.
    void monitorEnded();
    // Once, however often it is said; `reason` is left out when empty. On
    // the disk before it returns.
    void exit(const wchar_t* reason = nullptr);

    // The tooltip's text, with each target's working address.
    std::wstring glance(const std::vector<MonitorState::TargetStatus>& working) const;
    // The targets as last confirmed.
    const std::wstring& target() const { return target_; }
    bool logFileExists() const;
    // Opens the log in the editor registered for ".log", else Notepad.
    void viewLog(HWND owner) const;

  private:
    std::function<void()> changed_;
    std::wstring logFile_;
    LinkHistory link_;
    std::wstring target_;
    int roundTripMs_ = -1;  // of the last answered cycle
    bool monitorEnded_ = false;
    bool exited_ = false;
};

}  // namespace vorlane
