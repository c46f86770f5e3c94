// The status bar's record of the run: the event log's lines for what the
// bar sees (start, settings, the link going down and up, the monitor's end,
// exit), the link's history behind the tooltip, and the menu's view of the
// log file.
#include "app/StatusBarWindow.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/CommandLine.h"
#include "app/Glance.h"
#include "app/StatusBarTooltip_win.h"
#include "core/Core.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"
#include "core/Utf.h"
#include "core/Version.h"
#include "framework/ShellCom.h"
#include "monitor/MonitorController.h"
#include "monitor/Target.h"
#include "monitor/TargetList.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsLog.h"

namespace vorlane {
namespace {}  // namespace

void StatusBarWindow::openLog() {
    ProgramLog().configure(LogPathBeside(theCore->configPath()),
                           theCore->getConfigB(keys::kKeepLog) != FALSE);
    ProgramLog().write("start",
                       LogDetails()
                           .add(L"version", Utf8ToWide(VORLANE_VERSION))
                           .add(L"args", LoggedArguments(ParseCommandLine(::GetCommandLineW())))
                           .add(L"settings", theCore->configPath()));
}

void StatusBarWindow::createTooltip() {
    tooltip_ = std::make_unique<StatusBarTooltip>();
    tooltip_->attach(instance(), hwnd());
    refreshGlance();
}

void StatusBarWindow::logSettings(const WorkingSettingsValues& values) {
    EventLog& log = ProgramLog();
    // The line that switches the log off is still written: it says why the
    // log ends there.
    log.configure(log.path(), log.enabled() || values.keepLog);
    log.write("settings", DescribeSettings(values));
    log.configure(log.path(), values.keepLog);
    target_ = values.target;
    refreshGlance();
}

void StatusBarWindow::recordProbe(bool answered) {
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
    refreshGlance();
}

void StatusBarWindow::noteLookup(std::size_t index, const std::wstring& address) {
    const std::vector<std::wstring> typed = SplitTargets(target_);
    // A dotted address is used as it is; only a name is looked up.
    if (index >= typed.size() || ParseTarget(typed[index]).kind != TargetSpec::Kind::HostName) {
        return;
    }
    ProgramLog().write(
        "lookup",
        LogDetails()
            .add(L"target", typed[index])
            .add(L"result", address == kLookupFailed ? std::wstring(L"failed") : address));
}

void StatusBarWindow::recordDrop() {
    link_.recordDrop();
    refreshGlance();
}

void StatusBarWindow::recordMonitorEnded() {
    if (monitorEnded_) return;
    monitorEnded_ = true;
    ProgramLog().write("stopped");
}

void StatusBarWindow::logStartedCommandEnded(WPARAM exitCode, LPARAM durationMs) {
    ProgramLog().write("ranup", LogDetails()
                                    .add(L"code", static_cast<long long>(exitCode))
                                    .addSeconds(L"duration", static_cast<long long>(durationMs)));
}

void StatusBarWindow::logExit() { ProgramLog().write("exit"); }

void StatusBarWindow::refreshGlance() {
    if (!tooltip_) return;
    Glance glance;
    std::vector<std::wstring> typed = SplitTargets(target_);
    if (typed.empty()) typed.emplace_back();  // says "no target"
    const auto working = monitor_ ? monitor_->targets() : std::vector<MonitorState::TargetStatus>();
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
    tooltip_->setText(GlanceText(glance));
}

std::wstring StatusBarWindow::logFilePath() const {
    return theCore ? LogPathBeside(theCore->configPath()) : std::wstring();
}

void StatusBarWindow::viewLog() {
    const std::wstring path = logFilePath();
    if (path.empty() || !theCore->isFileExist(path)) return;
    framework::BeginShellCom();
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof(open);
    // No "open with" question: without an editor for .log files, Notepad.
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.hwnd = hwnd();
    open.lpVerb = L"open";
    open.lpFile = path.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&open)) return;
    const std::wstring quoted = L"\"" + path + L"\"";
    ::ShellExecuteW(hwnd(), nullptr, L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL);
}

void StatusBarWindow::runLogBenchmark(int count) {
    if (count <= 0) return;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<long long> micros;
    micros.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        ProgramLog().write("down", LogDetails().add(L"target", target_).add(L"bench", i));
        ::QueryPerformanceCounter(&end);
        micros.push_back((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    }
    std::sort(micros.begin(), micros.end());
    Trace(L"bench", L"loglines\t" + Decimal(count) + L"\t" + Decimal(micros[micros.size() / 2]) +
                        L"\t" +
                        Decimal(micros[std::min(micros.size() - 1, micros.size() * 99 / 100)]));
}

}  // namespace vorlane
