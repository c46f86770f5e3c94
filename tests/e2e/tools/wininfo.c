/* Test helper, run under Wine beside the program under test: prints what the
 * screen cannot tell, the texts, ids, check states and keyboard focus of the
 * top-level windows of one program and of their controls.
 *
 *   wininfo.exe EXE-PATH-SUBSTRING
 *
 * Output, UTF-8, one record a line, fields separated by tabs (a tab, new line
 * or backslash in a text is written as \t, \n or \\):
 *   window <hwnd> <visible 0|1> <x,y,w,h> <class> <title>
 *   control <hwnd> <parent hwnd> <id> <visible 0|1> <checked -1|0|1> <class> <text>
 *   focus <top-level hwnd> <focused hwnd> <focused control id>
 * Only windows whose process image path contains the argument (compared
 * case-insensitively) are listed, so that concurrent programs of the same
 * Wine prefix stay apart. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#include "program_windows.h"

static const wchar_t* g_filter;

static void put_text(const wchar_t* text) {
    char out[8];
    for (; *text; ++text) {
        wchar_t ch = *text;
        if (ch == L'\t')
            fputs("\\t", stdout);
        else if (ch == L'\n')
            fputs("\\n", stdout);
        else if (ch == L'\r')
            continue;
        else if (ch == L'\\')
            fputs("\\\\", stdout);
        else {
            int n = WideCharToMultiByte(CP_UTF8, 0, text, (ch >= 0xD800 && ch < 0xDC00) ? 2 : 1,
                                        out, sizeof(out), NULL, NULL);
            fwrite(out, 1, (size_t)n, stdout);
            if (ch >= 0xD800 && ch < 0xDC00 && text[1]) ++text;
        }
    }
}

static void window_text(HWND hwnd, wchar_t* buffer, int size) {
    DWORD_PTR length = 0;
    buffer[0] = 0;
    /* WM_GETTEXT reaches edit boxes of other processes, GetWindowText does not. */
    SendMessageTimeoutW(hwnd, WM_GETTEXT, (WPARAM)size, (LPARAM)buffer, SMTO_ABORTIFHUNG, 2000,
                        &length);
    buffer[size - 1] = 0;
}

static BOOL belongs(HWND hwnd) { return belongs_to(hwnd, g_filter); }

static BOOL CALLBACK list_control(HWND hwnd, LPARAM top) {
    wchar_t cls[128], text[2048];
    DWORD_PTR checked = (DWORD_PTR)-1;
    GetClassNameW(hwnd, cls, 128);
    window_text(hwnd, text, 2048);
    if (_wcsicmp(cls, L"Button") == 0) {
        LONG style = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_3STATE ||
            style == BS_AUTO3STATE || style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON)
            SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
    }
    printf("control\t%lu\t%lu\t%d\t%d\t%d\t", (unsigned long)(ULONG_PTR)hwnd,
           (unsigned long)(ULONG_PTR)top, GetDlgCtrlID(hwnd), IsWindowVisible(hwnd) ? 1 : 0,
           (int)(LONG_PTR)checked);
    put_text(cls);
    putchar('\t');
    put_text(text);
    putchar('\n');
    return TRUE;
}

static BOOL CALLBACK list_window(HWND hwnd, LPARAM unused) {
    wchar_t cls[128], title[1024];
    RECT r;
    GUITHREADINFO info;
    (void)unused;
    if (!belongs(hwnd)) return TRUE;
    GetClassNameW(hwnd, cls, 128);
    window_text(hwnd, title, 1024);
    GetWindowRect(hwnd, &r);
    printf("window\t%lu\t%d\t%ld,%ld,%ld,%ld\t", (unsigned long)(ULONG_PTR)hwnd,
           IsWindowVisible(hwnd) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top);
    put_text(cls);
    putchar('\t');
    put_text(title);
    putchar('\n');
    EnumChildWindows(hwnd, list_control, (LPARAM)hwnd);
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, NULL), &info) && info.hwndFocus &&
        (info.hwndFocus == hwnd || IsChild(hwnd, info.hwndFocus)))
        printf("focus\t%lu\t%lu\t%d\n", (unsigned long)(ULONG_PTR)hwnd,
               (unsigned long)(ULONG_PTR)info.hwndFocus, GetDlgCtrlID(info.hwndFocus));
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    static wchar_t filter[MAX_PATH * 2];
    if (argc != 2) {
        fputs("usage: wininfo EXE-PATH-SUBSTRING\n", stderr);
        return 2;
    }
    lstrcpynW(filter, argv[1], MAX_PATH * 2);
    CharLowerW(filter);
    g_filter = filter;
    EnumWindows(list_window, 0);
    fflush(stdout);
    return 0;
}
