/* A DLL that only records that it was loaded: when a process loads it, it
 * creates an empty file named after itself (as it was loaded, e.g.
 * "winmm.dll") in the folder that VORLANE_DLL_MARKS names. It exports
 * nothing, so a program that goes on to call into it fails afterwards; the
 * mark is written first. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    WCHAR path[MAX_PATH * 2];
    WCHAR module[MAX_PATH];
    DWORD folder;
    DWORD length;
    DWORD name;
    HANDLE file;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    folder = GetEnvironmentVariableW(L"VORLANE_DLL_MARKS", path, MAX_PATH);
    length = GetModuleFileNameW(self, module, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH || length == 0 || length >= MAX_PATH) return TRUE;
    name = length;
    while (name > 0 && module[name - 1] != L'\\' && module[name - 1] != L'/') --name;
    path[folder++] = L'\\';
    lstrcpyW(path + folder, module + name);
    file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
