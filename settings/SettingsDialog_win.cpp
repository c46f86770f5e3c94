#include "settings/SettingsDialog.h"

#include <vector>

#include "core/Core.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "monitor/TargetList.h"
#include "res/resource.h"
#include "settings/LookupNow_win.h"
#include "settings/RunAtLogon_win.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredSettings.h"
#include "settings/TargetsHere_win.h"

namespace vorlane {
namespace {

const wchar_t kManualPath[] = L"/software-vrln.htm";
const wchar_t kSleepHelpPath[] = L"/help-upgrade-452.htm";
// How long OK waits for the lookups of the names typed.
constexpr int kLookupWaitMs = 3000;

}  // namespace

SettingsDialog::SettingsDialog(HINSTANCE instance, CCore& core, ServiceSwitch& service)
    : Dialog(instance, IDD_SETTINGS), core_(core), service_(service) {}

bool SettingsDialog::OnInit() {
    CentreOnWorkArea();
    linkManual_.attach(item(IDC_LINK_MANUAL));
    linkSleepHelp_.attach(item(IDC_LINK_SLEEPHELP));

    // The texts go in exactly as the store holds them.
    const DialogInput stored = StoredInput(core_);
    const auto tick = [this](int id, bool on) {
        ::CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED);
    };
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        if (setting.kind == SettingKind::Flag) {
            tick(setting.control, stored.ticked(setting));
        } else if (setting.kind == SettingKind::Choice) {
            fillChoices(setting, stored[setting]);
        } else {
            setItemText(setting.control, stored[setting]);
        }
    }
    tick(IDC_RUNATLOGON, RunAtLogonIsSet());
    tick(IDC_SERVICE, service_.installed());
    ShowSettingsLocation();

    const std::wstring host = L"http://" + core_.getConfigStr(keys::kHelpHost);
    linkManual_.setLinkUrl(host + kManualPath);
    linkManual_.setUnderlineMode(HyperlinkStatic::UnderlineNever);
    linkSleepHelp_.setLinkUrl(host + kSleepHelpPath);
    linkSleepHelp_.setUnderlineMode(HyperlinkStatic::UnderlineNever);
    Trace(L"start", L"dialog-filled");
    return true;  // focus on the first tab stop, the target
}

DialogInput SettingsDialog::StoredInput(const CCore& core) {
    return ReadStoredInput([&core](const wchar_t* key) { return core.getConfigStr(key); },
                           [&core](const wchar_t* key) { return core.getConfigB(key) != FALSE; });
}

void SettingsDialog::fillChoices(const Setting& setting, const std::wstring& word) {
    HWND list = item(setting.control);
    const std::wstring chosen = ChosenWord(setting, word);
    for (int k = 0; k < setting.choiceCount; ++k) {
        const std::wstring shown = Text(setting.choices[k].text);
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        if (chosen == setting.choices[k].stored) ::SendMessageW(list, CB_SETCURSEL, k, 0);
    }
}

void SettingsDialog::ShowSettingsLocation() {
    // Said only where it is a surprise: anywhere but beside the exe.
    const std::wstring path = core_.configPath();
    const std::wstring folder = core_.getAppPath();
    const bool besideExe =
        path.size() > folder.size() &&
        ::CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                               static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL &&
        path.find(L'\\', folder.size()) == std::wstring::npos;
    if (path.empty() || besideExe) {
        ::ShowWindow(item(IDC_SETTINGS_LOCATION), SW_HIDE);
        return;
    }
    setItemText(IDC_SETTINGS_LOCATION, Text(IDS_SETTINGS_PLACE, {path}));
}

void SettingsDialog::ApplyRunAtLogon() {
    const bool on = ::IsDlgButtonChecked(hwnd(), IDC_RUNATLOGON) == BST_CHECKED;
    const DWORD error = SetRunAtLogon(on);
    if (error == 0) return;
    std::wstring text = Text(on ? IDS_RUNATLOGON_SET_FAILED : IDS_RUNATLOGON_CLEAR_FAILED);
    wchar_t* reason = nullptr;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr) &&
        reason) {
        text += L"\n" + std::wstring(reason);
        ::LocalFree(reason);
    }
    text += L"\n\n" + Text(IDS_OTHER_SETTINGS_KEPT);
    core_.msgboxWarning(hwnd(), text);
}

void SettingsDialog::ApplyService() {
    const bool on = ::IsDlgButtonChecked(hwnd(), IDC_SERVICE) == BST_CHECKED;
    if (on == service_.installed()) return;
    std::wstring text;
    if (!service_.apply(on, core_.configPath(), text))
        core_.msgboxWarning(hwnd(), text + L"\n\n" + Text(IDS_OTHER_SETTINGS_KEPT));
}

void SettingsDialog::CentreOnWorkArea() {
    // The owner is the status bar, which is still hidden at start-up:
    // centre on the work area of the monitor the owner is on.
    RECT dialog;
    ::GetWindowRect(hwnd(), &dialog);
    HWND owner = ::GetWindow(hwnd(), GW_OWNER);
    MONITORINFO monitor{sizeof(monitor)};
    HMONITOR where = ::MonitorFromWindow(owner ? owner : hwnd(), MONITOR_DEFAULTTOPRIMARY);
    if (!::GetMonitorInfoW(where, &monitor)) return;
    const RECT& area = monitor.rcWork;
    int width = dialog.right - dialog.left;
    int height = dialog.bottom - dialog.top;
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

DialogInput SettingsDialog::ReadControls() const {
    DialogInput in;
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        if (setting.kind == SettingKind::Flag) {
            const bool on = ::IsDlgButtonChecked(hwnd(), setting.control) == BST_CHECKED;
            in[setting] = on ? kFlagOn : kFlagOff;
        } else if (setting.kind == SettingKind::Choice) {
            const LRESULT k = ::SendMessageW(item(setting.control), CB_GETCURSEL, 0, 0);
            in[setting] = k >= 0 && k < setting.choiceCount ? setting.choices[k].stored : L"";
        } else {
            in[setting] = itemText(setting.control);
        }
    }
    return in;
}

void SettingsDialog::OnOK() {
    CheckResult checked = CheckSettings(ReadControls());
    if (checked.refused) {
        core_.msgboxWarning(hwnd(), checked.warning);
        ::SetFocus(item(checked.refused->control));
        return;
    }
    const WorkingSettingsValues& v = checked.values;
    WinTargetSystem system;
    const std::wstring notHere = targetsHere_.warningFor(v.target, system);
    if (!notHere.empty()) {
        core_.msgboxWarning(hwnd(), notHere);
        ::SetFocus(item(IDC_TARGET));
        return;
    }
    if (!confirmUnresolvedNames(v.target)) {
        ::SetFocus(item(IDC_TARGET));
        return;
    }
    if (service_.cannotSave(core_.configPath())) {
        core_.msgboxWarning(hwnd(), Text(IDS_SERVICE_SETTINGS_NEED_ADMIN, {core_.configPath()}));
        return;
    }
    core_.beginBatch();
    StoreConfirmed(v, [this](const wchar_t* key, const std::wstring& text) {
        core_.saveConfigStr(key, text);
    });
    core_.endBatch();
    ApplyRunAtLogon();
    ApplyService();
    confirmed_ = v;
    EndDialog(IDOK);
}

bool SettingsDialog::confirmUnresolvedNames(const std::wstring& targets) {
    // The network may be down while a person sets the program up: a name
    // that does not resolve now is asked about, not refused.
    const HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    const std::vector<std::wstring> unresolved =
        UnresolvedNames(HostNamesOf(targets), kLookupWaitMs);
    ::SetCursor(before);
    for (const std::wstring& name : unresolved) {
        Trace(L"window", L"lookup-question\t" + name);
        const std::wstring question = Text(IDS_LOOKUP_QUESTION, {name});
        if (::MessageBoxW(hwnd(), question.c_str(), L"Vorlane", MB_YESNO | MB_ICONQUESTION) !=
            IDYES) {
            return false;
        }
    }
    return true;
}

bool SettingsDialog::OnCommand(int notifyCode, int id, HWND control) {
    LRESULT ignored = 0;
    const WPARAM wParam = MAKEWPARAM(id, notifyCode);
    const LPARAM lParam = reinterpret_cast<LPARAM>(control);
    if (linkManual_.handleParentMessage(WM_COMMAND, wParam, lParam, ignored)) return true;
    if (linkSleepHelp_.handleParentMessage(WM_COMMAND, wParam, lParam, ignored)) return true;
    return Dialog::OnCommand(notifyCode, id, control);
}

bool SettingsDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_CTLCOLORSTATIC) {
        if (linkManual_.handleParentMessage(msg, wParam, lParam, result)) return true;
        if (linkSleepHelp_.handleParentMessage(msg, wParam, lParam, result)) return true;
    }
    return false;
}

}  // namespace vorlane
