// The settings dialog: data in (OnInit fills the controls from the store),
// data out (OnOK reads the controls, checks them, stores them). Only a
// confirmation that passes both checks hands values on.
#pragma once

#include <windows.h>

#include "controls/HyperlinkStatic.h"
#include "framework/Dialog.h"
#include "settings/ServiceSwitch.h"
#include "settings/SettingsCheck.h"
#include "settings/TargetsHere.h"

namespace vorlane {

class CCore;

class SettingsDialog : public framework::Dialog {
  public:
    SettingsDialog(HINSTANCE instance, CCore& core, ServiceSwitch& service);

    // Valid after DoModal returned IDOK.
    const WorkingSettingsValues& confirmedValues() const { return confirmed_; }

    // The stored settings exactly as the dialog opens on them.
    static DialogInput StoredInput(const CCore& core);

  protected:
    bool OnInit() override;
    bool OnCommand(int notifyCode, int id, HWND control) override;
    void OnOK() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    DialogInput ReadControls() const;
    void CentreOnWorkArea();
    // Asks about each typed name that does not resolve now; false when the
    // user answers No to one.
    bool confirmUnresolvedNames(const std::wstring& targets);
    // The drop-down list of a Choice, with `word`'s entry chosen.
    void fillChoices(const Setting& setting, const std::wstring& word);
    void ShowSettingsLocation();
    void ApplyRunAtLogon();
    // "作为服务运行": installs or removes the service when the box says
    // otherwise than the system.
    void ApplyService();

    CCore& core_;
    ServiceSwitch& service_;
    WorkingSettingsValues confirmed_;
    HyperlinkStatic linkManual_;
    HyperlinkStatic linkSleepHelp_;
    TargetsHereCheck targetsHere_;
};

}  // namespace vorlane
