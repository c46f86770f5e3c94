/* The floor for the start figure: a bare program that shows Vorlane's own
 * settings dialog template (IDD_SETTINGS, linked from res/Vorlane.rc, so it
 * follows the template as the dialog grows) and does nothing else. Built with
 * the same compiler and run under the same Wine as Vorlane.exe; Escape ends
 * it. */
#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"

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
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    (void)previous;
    (void)command;
    (void)show;
    InitCommonControlsEx(&controls);
    return (int)DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), NULL, Proc, 0);
}
