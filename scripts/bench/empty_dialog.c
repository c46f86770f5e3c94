/* The baseline for the start and exit figures: an empty Win32 dialog, built
 * with the same compiler and run under the same Wine as Vorlane.exe. Escape
 * or the close box ends it. */
#include <windows.h>

static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command, int show) {
    (void)previous;
    (void)command;
    (void)show;
    return (int)DialogBoxParamW(instance, MAKEINTRESOURCEW(1), NULL, Proc, 0);
}
