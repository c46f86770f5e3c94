#include "app/ServiceRun_win.h"

#include "alarm/DropAlarm.h"
#include "app/AlarmGlue_win.h"
#include "app/CommandLine.h"
#include "app/MonitorGlue_win.h"
#include "app/UiLanguage_win.h"
#include "app/WatchHolds_win.h"
#include "core/Core.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "monitor/MonitorController.h"
#include "service/Security_win.h"
#include "service/ServicePipe_win.h"
#include "service/Setup.h"
#include "settings/SettingsCheck.h"
#include "settings/StoredSettings.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// A save replaces the file in one step, but an editor may write it in
// several: the file is read once it has been quiet this long.
constexpr UINT kReloadQuietMs = 500;

void Warn(const std::wstring& text) {
    Trace(L"service", L"warning\t" + text);
    ProgramLog().write("warning", LogDetails().add(L"text", text));
}

// Every setting in its stored form: equal exactly when nothing changed.
std::wstring StoredForms(const WorkingSettingsValues& values) {
    std::wstring forms;
    StoreConfirmed(values, [&forms](const wchar_t* key, const std::wstring& text) {
        forms += key;
        forms += L'=';
        forms += text;
        forms += L'\n';
    });
    return forms;
}

// Who else could change what the service reads: the settings file and its
// folder (where a new file could take its place). Empty when nobody.
std::optional<std::string> ReadSettings(const std::wstring& path) {
    DWORD ignored = 0;
    return ReadSettingsFile(path, ignored);
}

std::wstring UnsafeReason(const ServicePaths& paths) {
    for (const std::wstring& path : {paths.dataFolder, paths.settings}) {
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        const std::wstring others = OthersWhoCanChange(path);
        if (!others.empty()) return Text(IDS_OTHERS_CAN_CHANGE, {path, others});
    }
    return std::wstring();
}

std::wstring RefusalText(const SettingsVerdict& verdict, const std::wstring& path) {
    return verdict.outcome == SetupOutcome::SettingsMissing ? Text(IDS_FILE_MISSING, {path})
                                                            : verdict.reason;
}

bool FileStamp(const std::wstring& path, FILETIME& time, unsigned long long& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    time = data.ftLastWriteTime;
    size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

}  // namespace

ServiceRun::ServiceRun(HINSTANCE instance, std::function<void()> running)
    : instance_(instance), running_(std::move(running)), record_([this] { publish(); }) {}

ServiceRun::~ServiceRun() = default;

bool ServiceRun::create() { return Create(instance_, L"Vorlane.Service"); }

DWORD ServiceRun::run() {
    const DWORD refused = start();
    if (refused == 0) {
        running_();
        loop();
    }
    end();
    return refused;
}

DWORD ServiceRun::start() {
    theCore = std::make_unique<CCore>();
    paths_ = InstalledPaths();
    // The system's language until the settings file says otherwise.
    UseLanguage(std::wstring());
    // Nothing of the folder is read or written, the log included, before
    // it is known that only the administrators can change it: the log's
    // lines wait in memory, the Event Log has them at once.
    const std::wstring unsafe = UnsafeReason(paths_);
    if (!unsafe.empty()) {
        exitReason_ = L"refused";
        Warn(Text(IDS_SERVICE_UNSAFE, {unsafe}));
        return kServiceUnsafeFiles;
    }
    FileStamp(paths_.settings, readTime_, readSize_);
    const SettingsVerdict verdict = CheckSettingsBytes(ReadSettings(paths_.settings));
    StartOptions options;
    options.service = true;
    record_.open(paths_.settings, verdict.outcome != SetupOutcome::Done || verdict.values.keepLog,
                 options);
    if (verdict.outcome != SetupOutcome::Done) {
        exitReason_ = L"refused";
        Warn(Text(IDS_SERVICE_REFUSED, {RefusalText(verdict, paths_.settings)}));
        return kServiceSettingsRefused;
    }

    pipe_ = std::make_unique<ServicePipe>();
    if (const DWORD error = pipe_->start()) {
        // The views then show that they cannot reach the service; it
        // watches all the same.
        Warn(Text(IDS_SERVICE_NO_PIPE, {SystemErrorText(error)}));
        pipe_.reset();
    }
    monitor_ = std::make_unique<MonitorController>(hwnd());
    alarm_ = std::make_unique<AlarmGlue>(
        hwnd(), theCore->getAppPath(), *monitor_,
        [this](const std::wstring& text, bool red) { show(text, red); });
    monitorGlue_ = std::make_unique<MonitorGlue>(*monitor_, alarm_->alarm(), record_);
    // Sleep and wake; a service has no menu to pause from, nor a session.
    holds_ = std::make_unique<WatchHolds>(hwnd(), *monitor_, alarm_->alarm(), record_, [] {});
    apply(verdict.values);
    if (!monitor_->start()) {
        Warn(L"Cannot Start New Thread");
        return kServiceCannotStart;
    }
    folderChanges_.reset(::FindFirstChangeNotificationW(
        paths_.dataFolder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE |
            FILE_NOTIFY_CHANGE_SECURITY));
    Trace(L"service", L"running\t" + Decimal(::GetCurrentProcessId()));
    return 0;
}

void ServiceRun::apply(const WorkingSettingsValues& values) {
    UseLanguage(values.language);
    values_ = values;
    // A service has no desktop to play a sound on.
    values_.playSound = false;
    monitor_->storeSettings(values_);
    alarm_->alarm().setSettings(values_);
    record_.settings(values_);
    show(Text(IDS_PREPARING), false);
}

void ServiceRun::show(const std::wstring& text, bool red) {
    // Not "status", which is the bar's: a view in the same trace has those.
    if (TraceEnabled())
        Trace(L"service", std::wstring(red ? L"status\tred\t" : L"status\tgreen\t") + text);
    state_.text = text;
    state_.red = red;
    publish();
}

void ServiceRun::publish() {
    if (monitor_) state_.glance = record_.glance(monitor_->targets());
    if (pipe_) pipe_->publish(state_);
}

void ServiceRun::loop() {
    for (;;) {
        HANDLE changes = folderChanges_.get();
        const DWORD handles = folderChanges_ ? 1 : 0;
        const DWORD woke =
            ::MsgWaitForMultipleObjects(handles, &changes, FALSE, INFINITE, QS_ALLINPUT);
        if (handles == 1 && woke == WAIT_OBJECT_0) {
            ::FindNextChangeNotification(changes);
            onFolderChanged();
            continue;
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void ServiceRun::onFolderChanged() {
    FILETIME time = {};
    unsigned long long size = 0;
    const bool exists = FileStamp(paths_.settings, time, size);
    if (exists && ::CompareFileTime(&time, &readTime_) == 0 && size == readSize_) return;
    // Also the log's lines land in this folder: only a change of the
    // settings file itself counts.
    ::SetTimer(hwnd(), kReloadTimerId, kReloadQuietMs, nullptr);
}

void ServiceRun::reload() {
    ::KillTimer(hwnd(), kReloadTimerId);
    FileStamp(paths_.settings, readTime_, readSize_);
    const std::wstring unsafe = UnsafeReason(paths_);
    if (!unsafe.empty()) {
        Warn(Text(IDS_RELOAD_UNSAFE, {unsafe}));
        return;
    }
    const SettingsVerdict verdict = CheckSettingsBytes(ReadSettings(paths_.settings));
    if (verdict.outcome != SetupOutcome::Done) {
        Warn(Text(IDS_RELOAD_REFUSED, {RefusalText(verdict, paths_.settings)}));
        return;
    }
    WorkingSettingsValues values = verdict.values;
    values.playSound = false;
    if (StoredForms(values) == StoredForms(values_)) return;
    Trace(L"service", L"reload");
    apply(values);
}

bool ServiceRun::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (msg == WM_SERVICE_STOP) {
        Trace(L"service", wParam == kServiceStopShutdown ? L"shutdown" : L"stop");
        exitReason_ = wParam == kServiceStopShutdown ? L"shutdown" : L"service-stop";
        // Nothing runs after a stop: a countdown ends here, and a command
        // already running is left to itself, as at the desktop's Exit.
        if (alarm_) alarm_->alarm().cancelCountdown(AlarmActions::Event::CancelledByServiceStop);
        ::PostQuitMessage(0);
        return true;
    }
    if (msg == WM_TIMER && wParam == kReloadTimerId) {
        reload();
        return true;
    }
    // A user's log-off is no end of the service; the system's shutdown
    // comes from the service manager (WM_SERVICE_STOP).
    if (msg == WM_QUERYENDSESSION) {
        result = TRUE;
        return true;
    }
    if (msg == WM_ENDSESSION) return true;
    return (monitorGlue_ && monitorGlue_->handle(msg, wParam, lParam)) ||
           (alarm_ && alarm_->handle(msg, wParam, lParam)) ||
           (holds_ && holds_->handle(msg, wParam, lParam, result));
}

void ServiceRun::end() {
    pipe_.reset();
    if (monitorGlue_) monitorGlue_->stop();
    if (monitor_) record_.monitorEnded();
    ProgramLog().write("exit", LogDetails().add(L"reason", exitReason_), true);
    holds_.reset();
    alarm_.reset();
    monitorGlue_.reset();
    monitor_.reset();
    Destroy();
    theCore.reset();
}

}  // namespace vorlane
