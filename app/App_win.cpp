#include "app/App_win.h"

#include "app/AlarmGlue_win.h"
#include "app/BarPlace_win.h"
#include "app/MonitorGlue_win.h"
#include "app/ServiceSwitch_win.h"
#include "app/ServiceView_win.h"
#include "app/SingleInstance_win.h"
#include "app/UiLanguage_win.h"
#include "app/WatchHolds_win.h"
#include "app/bench/InProgramBench_win.h"
#include "core/Core.h"
#include "core/Digits.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "monitor/MonitorController.h"
#include "res/resource.h"
#include "settings/SettingsCheck.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredSettings.h"

namespace vorlane {

App::App(HINSTANCE instance, StartOptions options, SettingsPlace place)
    : instance_(instance),
      options_(std::move(options)),
      place_(std::move(place)),
      bar_(instance, *this),
      tray_(*this),
      record_([this] { refreshGlance(); }) {}

App::~App() = default;

int App::run() {
    if (!Create(instance_, L"Vorlane.App") || !bar_.create()) {
        // No window for the dialog to run in: the one mark such a start can
        // leave.
        Trace(L"window", L"bar-not-created\t" + Decimal(::GetLastError()));
        return 0;
    }
    Trace(L"start", L"bar-window");
    tray_.attach(hwnd());
    int exitCode = 0;
    if (start()) {
        placeViews(true);
        exitCode = framework::RunMessageLoop(&bar_);
    }
    end();
    return runAsView_ != 0 ? runAsView_ : exitCode;
}

bool App::start() {
    theCore = std::make_unique<CCore>();
    productIdentity = std::make_unique<tagSoft>();
    FillProductIdentity(*productIdentity);
    // While a command line runs, cmdWait pumps the messages itself; the
    // bar's keyboard filter has to keep working there too.
    theCore->setMessageFilter(&bar_);
    theCore->autoFileConfig(place_);
    UseLanguage(theCore->getConfigStr(keys::kLanguage));
    record_.open(theCore->configPath(), theCore->getConfigB(keys::kKeepLog) != FALSE, options_);
    Trace(L"start", L"settings-read");
    comeToFrontMessage_ = ComeToFrontMessage(theCore->configPath());

    // The bar is laid out once the dialog is answered: nothing of it shows
    // before, and the dialog comes sooner without GDI+ and the font lookups.
    monitor_ = std::make_unique<MonitorController>(hwnd());
    alarm_ = std::make_unique<AlarmGlue>(
        hwnd(), theCore->getAppPath(), *monitor_,
        [this](const std::wstring& text, bool red) { showStatus(text, red); });
    monitorGlue_ = std::make_unique<MonitorGlue>(*monitor_, alarm_->alarm(), record_);
    holds_ = std::make_unique<WatchHolds>(hwnd(), *monitor_, alarm_->alarm(), record_,
                                          [this] { endSession(); });
    Trace(L"start", L"monitor-made");

    if (!startOnStoredSettings() && runSettingsDialog() != IDOK) return false;
    // The dialog installed the service: it watches, this program shows it.
    if (ServiceToView()) {
        runAsView_ = kRunAsView;
        return false;
    }
    // Only the shown bar has a tooltip; made after the dialog, which the
    // user waits for.
    bar_.attachTooltip();
    refreshGlance();
    monitorGlue_->start();
    // Run on the shown bar, from the message loop.
    if (BenchmarksRequested()) ::PostMessageW(hwnd(), WM_RUN_BENCHMARK, 0, 0);
    return true;
}

bool App::startOnStoredSettings() {
    if (!options_.autoStart) return false;
    WorkingSettingsValues values;
    if (!StoredSettingsPass(SettingsDialog::StoredInput(*theCore), values)) {
        Trace(L"window", L"auto-start-refused");
        return false;
    }
    Trace(L"window", L"auto-start");
    applySettings(values);
    return true;
}

int App::runSettingsDialog() {
    WindowsServiceSwitch service;
    SettingsDialog dialog(instance_, *theCore, service);
    Trace(L"window", L"settings-dialog");
    // Owned by the bar, hidden still at start-up: centred where it will show.
    const INT_PTR result = dialog.DoModal(bar_.hwnd());
    if (result == IDOK) applySettings(dialog.confirmedValues());
    return static_cast<int>(result);
}

void App::applySettings(const WorkingSettingsValues& values) {
    // The bar's size follows its language's sample text, so the language
    // comes first; a bar already laid out keeps its size.
    UseLanguage(values.language);
    wantBar_ = values.bar;
    tray_.setSettings(values);
    layOutBar();
    // At start-up the "RESET" written here is cleared again when the worker
    // starts: it resolves the target at its start in any case.
    monitor_->storeSettings(values);
    alarm_->alarm().setSettings(values);
    record_.settings(values);
    // A pause goes on through new settings; its text stays.
    if (!holds_ || !holds_->paused()) showStatus(Text(IDS_PREPARING), false);
    // At start-up the views come once the monitor runs (run()).
    if (bar_.visible() || tray_.shown()) placeViews(false);
}

void App::placeViews(bool atStart) {
    // With no notification area (no shell), the bar shows all the same.
    const bool bar = !tray_.place() || wantBar_;
    if (atStart && bar) {
        bar_.appear();
        Trace(L"window", L"bar-shown");
    } else {
        bar_.setVisible(bar);
    }
}

void App::showStatus(const std::wstring& text, bool red) {
    red_ = red;
    bar_.show(text, red);
    if (!tray_.shown()) return;
    const std::wstring glance = record_.glance(monitor_->targets());
    tray_.show(red, glance.substr(0, glance.find(L"\r\n")));
}

void App::layOutBar() {
    if (bar_.laidOut()) return;
    gdiplus_.start();
    Trace(L"start", L"gdiplus");
    LayOutStoredBar(bar_, *theCore);
    Trace(L"start", L"bar-laid-out");
}

void App::end() {
    if (monitorGlue_) monitorGlue_->stop();
    record_.monitorEnded();
    // Ended before the dialog was answered: the position saved is still the
    // one the bar would have taken.
    if (theCore) savePosition();
    record_.exit();
    tray_.remove();
    bar_.destroy();
    Destroy();
    theCore.reset();
    productIdentity.reset();
}

void App::endSession() {
    monitorGlue_->stop();
    record_.monitorEnded();
    savePosition();
    record_.exit(L"session-end");
    ::PostQuitMessage(0);
}

void App::savePosition() {
    layOutBar();
    SaveBarPosition(*theCore, bar_.position());
}

void App::refreshGlance() {
    if (bar_.hasTooltip()) bar_.setTooltipText(record_.glance(monitor_->targets()));
}

bool App::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (comeToFrontMessage_ != 0 && msg == comeToFrontMessage_) {
        Trace(L"window", L"come-to-front");
        bar_.comeToFront();
        return true;
    }
    // Handled in a window procedure, so that they are acted on also while a
    // menu, a drag, a message box or the settings dialog runs a modal loop
    // of its own.
    if (tray_.handle(msg, wParam, lParam)) return true;
    if (msg == WM_COMMAND) return onBarCommand(LOWORD(wParam));  // the icon's menu
    if ((monitorGlue_ && monitorGlue_->handle(msg, wParam, lParam)) ||
        (alarm_ && alarm_->handle(msg, wParam, lParam)) ||
        (holds_ && holds_->handle(msg, wParam, lParam, result))) {
        return true;
    }
    if (msg != WM_RUN_BENCHMARK) return false;
    RunRequestedBenchmarks(bar_.drawing(), bar_.picture(), record_.target());
    return true;
}

bool App::onBarCommand(int id) {
    switch (id) {
        case ID_CANCEL_COUNTDOWN:
            alarm_->alarm().cancelCountdown();
            return true;
        case ID_SETTINGS:
            if (runSettingsDialog() == IDOK && ServiceToView()) ::PostQuitMessage(kRunAsView);
            return true;
        case ID_VIEW_LOG:
            record_.viewLog(bar_.hwnd());
            return true;
        default:
            return RunAboutOrExit(id) || holds_->command(id);
    }
}

void App::toggleBar() { bar_.setVisible(!bar_.visible()); }

void App::showIconMenu() { ShowBarMenu(instance_, hwnd(), menuState()); }

void App::refreshIcon() { showStatus(bar_.picture().text, red_); }

BarMenuState App::menuState() const {
    BarMenuState state;
    state.countingDown = alarm_->countingDown();
    state.logExists = record_.logFileExists();
    state.paused = holds_->paused();
    state.canPause = alarm_->alarm().stage() != DropAlarm::Stage::Ended;
    return state;
}

void App::onBarMenuWanted() { bar_.showMenu(menuState()); }

}  // namespace vorlane
