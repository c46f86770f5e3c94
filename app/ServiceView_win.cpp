#include "app/ServiceView_win.h"

#include "app/BarPlace_win.h"
#include "app/RunRecord_win.h"
#include "app/ServiceSwitch_win.h"
#include "app/SingleInstance_win.h"
#include "app/UiLanguage_win.h"
#include "core/Core.h"
#include "core/Digits.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "res/resource.h"
#include "service/ServiceControl_win.h"
#include "service/ServiceViewClient_win.h"
#include "service/Setup.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsKeys.h"
#include "core/Texts.h"

namespace vorlane {
namespace {

// The service's probe interval: a lost view tries again as often.
DWORD RetryMs(const std::wstring& serviceSettings) {
    DWORD ignored = 0;
    const SettingsVerdict verdict = CheckSettingsBytes(ReadSettingsFile(serviceSettings, ignored));
    const int seconds = verdict.outcome == SetupOutcome::Done ? verdict.values.tryInterval : 5;
    return static_cast<DWORD>(seconds < 1 ? 1 : seconds > 3600 ? 3600 : seconds) * 1000;
}

}  // namespace

bool ServiceToView() { return RunningServiceProcess() != 0; }

ServiceView::ServiceView(HINSTANCE instance, SettingsPlace place)
    : instance_(instance),
      place_(std::move(place)),
      paths_(InstalledPaths()),
      bar_(instance, *this) {}

ServiceView::~ServiceView() = default;

int ServiceView::run() {
    if (!Create(instance_, L"Vorlane.View") || !bar_.create()) return 0;
    Trace(L"view", L"start\t" + Decimal(::GetCurrentProcessId()));
    theCore = std::make_unique<CCore>();
    productIdentity = std::make_unique<tagSoft>();
    FillProductIdentity(*productIdentity);
    theCore->autoFileConfig(place_);
    // The bar's size follows its language's sample text: first.
    UseLanguage(theCore->getConfigStr(keys::kLanguage));
    comeToFrontMessage_ = ComeToFrontMessage(theCore->configPath());
    layOutBar();
    bar_.show(Text(IDS_PREPARING), false);
    bar_.attachTooltip();
    bar_.setTooltipText(Text(IDS_SERVICE_NOT_RUNNING));
    client_ = std::make_unique<ServiceViewClient>(hwnd());
    client_->start(RetryMs(paths_.settings));
    bar_.appear();
    const int exitCode = framework::RunMessageLoop(&bar_);
    client_.reset();
    savePosition();
    bar_.destroy();
    Destroy();
    theCore.reset();
    productIdentity.reset();
    Trace(L"view", L"end");
    return exitCode;
}

void ServiceView::layOutBar() {
    gdiplus_.start();
    LayOutStoredBar(bar_, *theCore);
}

void ServiceView::savePosition() { SaveBarPosition(*theCore, bar_.position()); }

void ServiceView::openSettings() {
    // The service's own file: readable by everyone, saved only by an
    // administrator (the dialog says so). The service reads it again itself.
    CCore serviceCore;
    serviceCore.autoFileConfig(SettingsPlace{paths_.settings, std::wstring()});
    WindowsServiceSwitch service;
    SettingsDialog dialog(instance_, serviceCore, service);
    Trace(L"window", L"settings-dialog");
    dialog.DoModal(bar_.hwnd());
    if (!ServiceInstalled()) {
        Trace(L"view", L"service-removed");
        ::PostQuitMessage(kRunAsDesktop);
    }
}

bool ServiceView::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    result = 0;
    if (comeToFrontMessage_ != 0 && msg == comeToFrontMessage_) {
        bar_.comeToFront();
        return true;
    }
    switch (msg) {
        case WM_VIEW_STATE: {
            const ViewState state = client_->latest();
            bar_.show(state.text, state.red);
            bar_.setTooltipText(state.glance);
            return true;
        }
        case WM_VIEW_LOST:
            bar_.show(Text(IDS_SERVICE_NOT_RUNNING), true);
            bar_.setTooltipText(Text(IDS_SERVICE_NOT_RUNNING));
            return true;
        default:
            return false;
    }
}

bool ServiceView::onBarCommand(int id) {
    switch (id) {
        case ID_SETTINGS:
            openSettings();
            return true;
        case ID_VIEW_LOG:
            OpenInEditor(bar_.hwnd(), paths_.log);
            return true;
        default:
            return RunAboutOrExit(id);
    }
}

void ServiceView::onBarMenuWanted() {
    const DWORD attributes = ::GetFileAttributesW(paths_.log.c_str());
    BarMenuState state;
    state.logExists = attributes != INVALID_FILE_ATTRIBUTES;
    state.watchesHere = false;
    bar_.showMenu(state);
}

}  // namespace vorlane
