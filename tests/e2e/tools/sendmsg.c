/* Test helper, run under Wine beside the program under test: sends one window
 * message to the top-level windows of one program, as the system would (a
 * power broadcast, the end of the session).
 *
 *   sendmsg.exe EXE-PATH-SUBSTRING MESSAGE WPARAM LPARAM
 *
 * The numbers may be decimal or 0x-hexadecimal. Each window that the message
 * reached is printed as "sent <hwnd> <result>"; the exit code is 0 when at
 * least one was reached, 1 otherwise. Only windows whose process image path
 * contains the argument (compared case-insensitively) are sent to. A program
 * that has no window on this desktop, a service's, is looked for on every
 * desktop of every window station. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#include "program_windows.h"

static const wchar_t* g_filter;
static UINT g_message;
static WPARAM g_wparam;
static LPARAM g_lparam;
static int g_reached;

static BOOL belongs(HWND hwnd) { return belongs_to(hwnd, g_filter); }

static BOOL CALLBACK send_to(HWND hwnd, LPARAM unused) {
    DWORD_PTR result = 0;
    (void)unused;
    if (!belongs(hwnd)) return TRUE;
    if (SendMessageTimeoutW(hwnd, g_message, g_wparam, g_lparam, SMTO_ABORTIFHUNG, 10000,
                            &result)) {
        printf("sent %p %ld\n", (void*)hwnd, (long)result);
        ++g_reached;
    }
    return TRUE;
}

static BOOL CALLBACK on_desktop(LPWSTR name, LPARAM station) {
    HDESK desktop = OpenDesktopW(name, 0, FALSE, DESKTOP_ENUMERATE | DESKTOP_READOBJECTS);
    (void)station;
    if (!desktop) return TRUE;
    EnumDesktopWindows(desktop, send_to, 0);
    CloseDesktop(desktop);
    return TRUE;
}

static BOOL CALLBACK on_station(LPWSTR name, LPARAM unused) {
    HWINSTA own = GetProcessWindowStation();
    HWINSTA station = OpenWindowStationW(name, FALSE, WINSTA_ENUMDESKTOPS);
    (void)unused;
    if (!station) return TRUE;
    /* Desktops open by name in the process's own window station. */
    if (SetProcessWindowStation(station)) {
        EnumDesktopsW(station, on_desktop, 0);
        SetProcessWindowStation(own);
    }
    CloseWindowStation(station);
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    wchar_t filter[MAX_PATH];
    if (argc != 5) {
        fputs("usage: sendmsg EXE-PATH-SUBSTRING MESSAGE WPARAM LPARAM\n", stderr);
        return 2;
    }
    wcsncpy(filter, argv[1], MAX_PATH - 1);
    filter[MAX_PATH - 1] = 0;
    CharLowerW(filter);
    g_filter = filter;
    g_message = (UINT)wcstoul(argv[2], NULL, 0);
    g_wparam = (WPARAM)wcstoul(argv[3], NULL, 0);
    g_lparam = (LPARAM)wcstoul(argv[4], NULL, 0);
    EnumWindows(send_to, 0);
    if (g_reached == 0) EnumWindowStationsW(on_station, 0);
    return g_reached > 0 ? 0 : 1;
}
