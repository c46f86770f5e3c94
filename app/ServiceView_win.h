// The bar as a view of the running service: no monitor, no alarm, no log of
// its own; the bar shows what the service tells its views (the same texts
// and colours, its tooltip the service's glance), "服务未运行" in red while
// the service cannot be reached. Its menu: 设定 (the dialog on the service's
// settings file), 查看日志 (the service's log), 关于, 退出 (ends the view only).
#pragma once

#include <windows.h>

#include <memory>

#include "app/StatusBar_win.h"
#include "core/SettingsPlace.h"
#include "framework/Application.h"
#include "framework/HiddenWindow.h"
#include "service/ServicePaths_win.h"

namespace vorlane {

class ServiceViewClient;

// What ends a run of the App or the view when the other is to follow: the
// dialog installed the service (the desktop program becomes its view) or
// removed it (the view becomes the desktop program).
constexpr int kRunAsView = 0x7656;
constexpr int kRunAsDesktop = 0x7644;

// True when the program is to be a view: the service runs.
bool ServiceToView();

class ServiceView : private framework::HiddenWindow, private BarListener {
  public:
    // `place` is the desktop's settings file: the bar's place and font.
    ServiceView(HINSTANCE instance, SettingsPlace place);
    ~ServiceView();

    // The whole run; 0, or kRunAsDesktop once the service was removed.
    int run();

  private:
    void layOutBar();
    void savePosition();
    void openSettings();

    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onBarCommand(int id) override;
    void onBarMenuWanted() override;
    void onMouseOverBar() override {}

    HINSTANCE instance_;
    SettingsPlace place_;
    ServicePaths paths_;
    UINT comeToFrontMessage_ = 0;
    framework::GdiplusSession gdiplus_;
    StatusBar bar_;
    std::unique_ptr<ServiceViewClient> client_;
};

}  // namespace vorlane
