/* For the e2e helpers: whether a top-level window belongs to the program
 * under test, told by its process image path containing `filter` (lower
 * case), so that concurrent programs of the same Wine prefix stay apart. */
#pragma once

#include <windows.h>
#include <wchar.h>

static BOOL belongs_to(HWND hwnd, const wchar_t* filter) {
    DWORD pid = 0;
    wchar_t path[MAX_PATH * 2];
    DWORD size = sizeof(path) / sizeof(path[0]);
    HANDLE process;
    BOOL match = FALSE;
    GetWindowThreadProcessId(hwnd, &pid);
    process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return FALSE;
    if (QueryFullProcessImageNameW(process, 0, path, &size)) {
        CharLowerW(path);
        match = wcsstr(path, filter) != NULL;
    }
    CloseHandle(process);
    return match;
}
