#include "app/RunRecord_win.h"

#include <shellapi.h>

#include "app/CommandLine.h"
#include "app/Glance.h"
#include "core/Core.h"
#include "core/EventLog_win.h"
#include "core/Utf.h"
#include "core/Version.h"
#include "framework/ShellCom.h"
#include "monitor/Target.h"
#include "monitor/TargetList.h"
#include "settings/SettingsLog.h"

namespace vorlane {

void RunRecord::open(const std::wstring& settingsPath, bool keepLog, const StartOptions& options) {
    logFile_ = LogPathBeside(settingsPath);
    ProgramLog().configure(logFile_, keepLog);
    ProgramLog().write("start", LogDetails()
                                    .add(L"version", Utf8ToWide(VORLANE_VERSION))
                                    .add(L"args", LoggedArguments(options))
                                    .add(L"settings", settingsPath));
}

void RunRecord::settings(const WorkingSettingsValues& values) {
    EventLog& log = ProgramLog();
    // The line that switches the log off is still written: it says why the
    // log ends there.
    log.configure(log.path(), log.enabled() || values.keepLog);
    log.write("settings", DescribeSettings(values));
    log.configure(log.path(), values.keepLog);
    target_ = values.target;
    changed_();
}

void RunRecord::probe(bool answered, int roundTripMs) {
    if (answered) roundTripMs_ = roundTripMs;
    const LinkChange change =
        link_.record(answered, static_cast<std::int64_t>(::GetTickCount64()), LocalNow());
    switch (change.kind) {
        case LinkChange::Kind::Down:
            ProgramLog().write("down", LogDetails().add(L"target", target_));
            break;
        case LinkChange::Kind::Up:
            ProgramLog().write("up", LogDetails()
                                         .add(L"target", target_)
                                         .addSeconds(L"after", change.downForMs)
                                         .add(L"missed", change.missed));
            break;
        case LinkChange::Kind::None:
            break;
    }
    changed_();
}

void RunRecord::lookup(std::size_t index, const std::wstring& address) {
    const std::vector<std::wstring> typed = SplitTargets(target_);
    // A dotted address is used as it is; only a name is looked up.
    if (index < typed.size() && ParseTarget(typed[index]).kind == TargetSpec::Kind::HostName) {
        ProgramLog().write(
            "lookup",
            LogDetails()
                .add(L"target", typed[index])
                .add(L"result", address == kLookupFailed ? std::wstring(L"failed") : address));
    }
    changed_();
}

void RunRecord::lookupFailed(std::size_t index) { lookup(index, kLookupFailed); }

void RunRecord::hold(const char* event, const wchar_t* key, const std::wstring& value) {
    LogDetails details;
    if (key) details.add(key, value);
    ProgramLog().write(event, details);
}

void RunRecord::drop() {
    link_.recordDrop();
    changed_();
}

void RunRecord::monitorEnded() {
    if (monitorEnded_) return;
    monitorEnded_ = true;
    ProgramLog().write("stopped");
}

void RunRecord::exit(const wchar_t* reason) {
    if (exited_) return;
    exited_ = true;
    LogDetails details;
    if (reason) details.add(L"reason", reason);
    ProgramLog().write("exit", details, true);
}

std::wstring RunRecord::glance(const std::vector<MonitorState::TargetStatus>& working) const {
    Glance glance;
    std::vector<std::wstring> typed = SplitTargets(target_);
    if (typed.empty()) typed.emplace_back();  // says "no target"
    for (std::size_t i = 0; i < typed.size(); ++i) {
        glance.targets.push_back({typed[i], i < working.size() ? working[i].address : L""});
    }
    glance.roundTripMs = roundTripMs_;
    glance.lossLastHour = link_.lossLastHour(static_cast<std::int64_t>(::GetTickCount64()));
    glance.state = link_.state();
    glance.since = link_.since();
    glance.missed = link_.missed();
    glance.drops = link_.drops();
    const EventLog& log = ProgramLog();
    if (log.enabled()) {
        glance.logPath = log.path();
        if (log.failing()) glance.logProblem = SystemErrorText(log.failureError());
    }
    return GlanceText(glance);
}

bool RunRecord::logFileExists() const {
    return !logFile_.empty() && theCore->isFileExist(logFile_);
}

void RunRecord::viewLog(HWND owner) const {
    if (logFileExists()) OpenInEditor(owner, logFile_);
}

void OpenInEditor(HWND owner, const std::wstring& file) {
    framework::BeginShellCom();
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof(open);
    // No "open with" question: without an editor for .log files, Notepad.
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.hwnd = owner;
    open.lpVerb = L"open";
    open.lpFile = file.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&open)) return;
    const std::wstring quoted = L"\"" + file + L"\"";
    ::ShellExecuteW(owner, nullptr, L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace vorlane
