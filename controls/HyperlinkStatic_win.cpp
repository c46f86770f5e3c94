#include "controls/HyperlinkStatic.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "controls/HyperlinkLogic.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"
#include "framework/Dialog.h"
#include "framework/ShellCom.h"

namespace vorlane {
namespace {

const wchar_t kMessageCaption[] = L"Vorlane";
const int kHelpCursorId = 106;  // the hand cursor of the Windows help program

class RegistryKey {
  public:
    RegistryKey(HKEY root, const std::wstring& path) {
        if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~RegistryKey() {
        if (key_) ::RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// The key's default value as text. A key that does not open, a value that is
// missing, not text, empty or that keeps changing size all count as failure:
// the caller never goes on with a half-read value.
bool ReadRegistryDefault(HKEY root, const std::wstring& path, std::wstring& value) {
    RegistryKey key(root, path);
    if (!key.get()) return false;
    // REG_EXPAND_SZ values come back expanded, as REG_SZ.
    const DWORD flags = RRF_RT_REG_SZ;
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        if (::RegGetValueW(key.get(), nullptr, nullptr, flags, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            return false;
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        LSTATUS status =
            ::RegGetValueW(key.get(), nullptr, nullptr, flags, nullptr, buffer.data(), &size);
        if (status == ERROR_MORE_DATA) continue;  // grew between the two calls
        if (status != ERROR_SUCCESS) return false;
        buffer.back() = L'\0';
        value.assign(buffer.data());
        return !value.empty();
    }
    return false;
}

// Starts the command line the way WinExec would, with a result in the shell's
// terms: above 32 on success.
int StartCommandLine(const std::wstring& commandLine, int showCommand) {
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');  // CreateProcessW may write into its command line
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return link::ProcessStartFailureCode(::GetLastError());
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 33;
}

// The shell first; when it cannot, the browser command that Windows keeps for
// ".htm" files. When that is not there either, the shell's result stands.
int OpenLink(const std::wstring& address, int showCommand) {
    framework::BeginShellCom();
    const int shellResult = static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, showCommand)));
    if (shellResult > 32) return shellResult;

    std::wstring fileClass;
    if (!ReadRegistryDefault(HKEY_CLASSES_ROOT, L".htm", fileClass)) return shellResult;
    std::wstring classCommand;
    if (!ReadRegistryDefault(HKEY_CLASSES_ROOT, link::OpenCommandKey(fileClass), classCommand)) {
        return shellResult;
    }
    return StartCommandLine(link::FallbackCommandLine(classCommand, address), showCommand);
}

std::wstring OneLine(std::wstring text) {
    for (std::wstring::size_type at = 0; (at = text.find(L'\n', at)) != std::wstring::npos;) {
        text.replace(at, 1, L"\\n");
        at += 2;
    }
    return text;
}

}  // namespace

HyperlinkStatic::~HyperlinkStatic() {
    // Hand the window back before the fonts it may still show are deleted.
    Detach();
    releaseWindowResources();
}

bool HyperlinkStatic::attach(HWND control) {
    if (!Attach(control)) return false;

    // A static control reports clicks (and takes mouse messages) only with SS_NOTIFY.
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    ::SetWindowLongW(control, GWL_STYLE, style | SS_NOTIFY);

    // The text on screen and the address are independent from here on.
    if (linkUrl_.empty()) linkUrl_ = framework::WindowText(control);
    if (framework::WindowText(control).empty()) ::SetWindowTextW(control, linkUrl_.c_str());

    makeFonts();
    resizeToText();
    setUnderlineMode(UnderlineOnHover);
    // The hand cursor and the tooltip are made when the mouse first comes
    // (WM_SETCURSOR, relayToTooltip): made here, for both links, they took
    // a third of the settings dialog's own start-up time.
    return true;
}

void HyperlinkStatic::makeFonts() {
    if (plainFont_ && underlinedFont_) return;
    HGDIOBJ source = reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    if (!source) source = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!source) source = ::GetStockObject(ANSI_VAR_FONT);
    LOGFONTW description{};
    if (!source || ::GetObjectW(source, sizeof(description), &description) == 0) return;
    plainFont_.reset(::CreateFontIndirectW(&description));
    description.lfUnderline = TRUE;
    underlinedFont_.reset(::CreateFontIndirectW(&description));
}

void HyperlinkStatic::resizeToText() {
    if (!hwnd() || !::IsWindow(hwnd()) || !autoResize_) return;
    RECT window;
    RECT client;
    ::GetWindowRect(hwnd(), &window);
    ::GetClientRect(hwnd(), &client);
    if (HWND parent = ::GetParent(hwnd())) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    }

    const std::wstring text = framework::WindowText(hwnd());
    SIZE extent{};
    {
        framework::WindowDc dc(hwnd());
        if (!dc) return;
        framework::SelectedObject font(dc.get(), underlinedFont_.get());
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }

    const LONG style = ::GetWindowLongW(hwnd(), GWL_STYLE);
    const link::Rect fitted =
        link::FitToText(link::Rect{window.left, window.top, window.right, window.bottom},
                        client.right - client.left, client.bottom - client.top, extent.cx,
                        extent.cy, static_cast<std::uint32_t>(style));
    ::SetWindowPos(hwnd(), nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                   fitted.bottom - fitted.top, SWP_NOZORDER);
}

void HyperlinkStatic::loadHandCursor() {
    if (handCursor_) return;
    const UINT length = ::GetWindowsDirectoryW(nullptr, 0);
    if (length > 0) {
        std::wstring path(length, L'\0');
        const UINT written = ::GetWindowsDirectoryW(&path[0], length);
        if (written > 0 && written < length) {
            path.resize(written);
            path += L"\\winhlp32.exe";
            // Loaded for its resources only: none of its code runs.
            framework::UniqueHmodule help(
                ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
            if (help) {
                // The copy stays valid after the module is freed.
                if (HCURSOR cursor = ::LoadCursorW(help.get(), MAKEINTRESOURCEW(kHelpCursorId))) {
                    ownedCursor_.reset(::CopyIcon(cursor));
                    handCursor_ = ownedCursor_.get();
                }
            }
        }
    }
    // Current Windows (and Wine) have no help program with that cursor: the
    // system's shared hand keeps the link looking like a link.
    if (!handCursor_) handCursor_ = ::LoadCursorW(nullptr, IDC_HAND);
}

void HyperlinkStatic::createTooltip() {
    if (tooltip_) return;
    RECT client;
    ::GetClientRect(hwnd(), &client);  // the tool keeps this rectangle for good
                                       // (the text is fitted by now)
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
    // No prefix processing: an '&' in an address is shown as it is.
    tooltip_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                 nullptr, instance, nullptr);
    if (!tooltip_) return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd();
    tool.uId = kToolId;
    tool.rect = client;
    tool.hinst = instance;
    tool.lpszText = const_cast<wchar_t*>(linkUrl_.c_str());
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperlinkStatic::setLinkUrl(const std::wstring& url) {
    linkUrl_ = url;
    if (!hwnd() || !::IsWindow(hwnd())) return;
    resizeToText();
    if (tooltip_) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = hwnd();
        tool.uId = kToolId;
        tool.lpszText = const_cast<wchar_t*>(linkUrl_.c_str());
        ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HyperlinkStatic::setVisitedState(bool visited) {
    visited_ = visited;
    if (hwnd() && ::IsWindow(hwnd())) invalidate();
}

void HyperlinkStatic::setUnderlineMode(int mode) {
    if (mode == underlineMode_) return;
    if (hwnd() && ::IsWindow(hwnd())) {
        HFONT font = mode == UnderlineAlways ? underlinedFont_.get() : plainFont_.get();
        ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        invalidate();
    }
    underlineMode_ = mode;
}

void HyperlinkStatic::invalidate() {
    // The text is drawn transparently over whatever is below it, so a plain
    // invalidation would leave the previous colour's edges and a dropped
    // underline on screen: the parent repaints its background under the
    // control first, then the control draws its text.
    HWND parent = ::GetParent(hwnd());
    if (!parent) {
        ::InvalidateRect(hwnd(), nullptr, TRUE);
        return;
    }
    RECT area;
    ::GetWindowRect(hwnd(), &area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    ::RedrawWindow(parent, &area, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool HyperlinkStatic::handleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!hwnd() || reinterpret_cast<HWND>(lParam) != hwnd()) return false;
    switch (msg) {
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, static_cast<COLORREF>(link::TextColor(hovering_, visited_)));
            ::SetBkMode(dc, TRANSPARENT);
            result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            return true;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) != STN_CLICKED) return false;
            onClicked();
            result = 0;
            return true;
        default:
            return false;
    }
}

void HyperlinkStatic::onClicked() {
    hovering_ = false;  // no redraw: the next mouse move brings the hover colour back
    const int opened = OpenLink(linkUrl_, SW_SHOW);
    visited_ = opened > 32;
    if (visited_) {
        Trace(L"link", L"opened\t" + linkUrl_);
        setVisitedState(true);
        return;
    }
    const std::wstring message = link::OpenFailureMessage(opened);
    Trace(L"link", L"failed\t" + Decimal(opened) + L"\t" + OneLine(message));
    ProgramLog().write("warning", LogDetails().add(L"text", message));
    ::MessageBeep(MB_ICONEXCLAMATION);
    ::MessageBoxW(::GetAncestor(hwnd(), GA_ROOT), message.c_str(), kMessageCaption,
                  MB_OK | MB_ICONEXCLAMATION);
}

void HyperlinkStatic::relayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam) {
    createTooltip();
    if (!tooltip_) return;
    const DWORD pos = ::GetMessagePos();
    MSG relayed{};
    relayed.hwnd = hwnd();
    relayed.message = msg;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    relayed.time = static_cast<DWORD>(::GetMessageTime());
    relayed.pt.x = GET_X_LPARAM(pos);
    relayed.pt.y = GET_Y_LPARAM(pos);
    ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void HyperlinkStatic::traceTooltipShown(const NMHDR* header) {
    if (!header || !tooltip_ || header->hwndFrom != tooltip_ || header->code != TTN_SHOW) return;
    if (!TraceEnabled()) return;
    // What the tooltip holds, not what was handed to it.
    std::vector<wchar_t> text(linkUrl_.size() + 1, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd();
    tool.uId = kToolId;
    tool.lpszText = text.data();
    ::SendMessageW(tooltip_, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    text.back() = L'\0';
    Trace(L"link", std::wstring(L"tooltip\t") + text.data());
}

void HyperlinkStatic::onMouseMove() {
    if (hovering_) return;
    hovering_ = true;
    if (underlineMode_ == UnderlineOnHover) {
        ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(underlinedFont_.get()), FALSE);
    }
    invalidate();
    // There is no leave notification to rely on: poll until the cursor is out.
    ::SetTimer(hwnd(), kHoverTimerId, kHoverPeriodMs, nullptr);
}

void HyperlinkStatic::onHoverCheck() {
    const DWORD pos = ::GetMessagePos();
    POINT point{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    ::ScreenToClient(hwnd(), &point);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (::PtInRect(&client, point)) return;
    hovering_ = false;
    ::KillTimer(hwnd(), kHoverTimerId);
    if (underlineMode_ != UnderlineAlways) {
        ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(plainFont_.get()), FALSE);
    }
    invalidate();
}

bool HyperlinkStatic::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        // The dialog runs its own modal loop, which offers no hook before
        // dispatch, so the tooltip is fed from here: every mouse message that
        // reaches the control is relayed to it.
        case WM_MOUSEMOVE:
            relayToTooltip(msg, wParam, lParam);
            onMouseMove();
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            relayToTooltip(msg, wParam, lParam);
            return false;
        case WM_SETCURSOR:
            loadHandCursor();
            if (handCursor_) ::SetCursor(handCursor_);
            result = handCursor_ ? TRUE : FALSE;
            return true;
        case WM_TIMER:
            onHoverCheck();
            return false;
        case WM_NOTIFY:
            traceTooltipShown(reinterpret_cast<const NMHDR*>(lParam));
            return false;
        case WM_ERASEBKGND:
            result = TRUE;
            return true;
        case WM_DESTROY:
            ::KillTimer(hwnd(), kHoverTimerId);
            if (tooltip_) {
                ::DestroyWindow(tooltip_);
                tooltip_ = nullptr;
            }
            return false;
        default:
            return false;
    }
}

void HyperlinkStatic::OnFinalMessage() { releaseWindowResources(); }

void HyperlinkStatic::releaseWindowResources() {
    if (tooltip_ && ::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    hovering_ = false;
    handCursor_ = nullptr;
    ownedCursor_.reset();  // the copy only; the system's shared hand is never destroyed
    plainFont_.reset();
    underlinedFont_.reset();
}

}  // namespace vorlane
