/* Test helper, run under Wine: does every text of a dialog template of an
 * exe fit its control? Makes the dialog from the exe's template in one
 * language (hidden, in this process) and measures each static, button and
 * group box text with the control's own font against the room it has.
 *
 *   dialogfit.exe EXE DIALOG-ID LANGID
 *
 * Output, UTF-8, one line a control with a text:
 *   fit <control id> <text width px> <room px> <text>
 * or "missing" when the exe has no such template in that language. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static INT_PTR CALLBACK quiet(HWND h, UINT m, WPARAM w, LPARAM l) {
    (void)h, (void)m, (void)w, (void)l;
    return m == WM_INITDIALOG;
}

static void put_utf8(const wchar_t* text) {
    char out[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out), NULL, NULL);
    if (n > 0) fputs(out, stdout);
}

static BOOL CALLBACK measure(HWND control, LPARAM unused) {
    wchar_t cls[64], text[1024];
    RECT client, need = {0, 0, 0, 0};
    LONG style = GetWindowLongW(control, GWL_STYLE);
    LONG kind = style & BS_TYPEMASK;
    int room;
    HDC dc;
    HGDIOBJ before;
    (void)unused;
    GetClassNameW(control, cls, 64);
    GetWindowTextW(control, text, 1024);
    if (!text[0]) return TRUE;
    if (_wcsicmp(cls, L"Static") != 0 && _wcsicmp(cls, L"Button") != 0) return TRUE;
    GetClientRect(control, &client);
    room = client.right - client.left;
    if (_wcsicmp(cls, L"Button") == 0) {
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
            kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE)
            room -= GetSystemMetrics(SM_CXMENUCHECK) + 4; /* the box and its gap */
        else if (kind == BS_GROUPBOX)
            room -= 16; /* the frame's corner and the gap each side of the text */
        else
            room -= 8; /* a push button's edges */
    }
    dc = GetDC(control);
    before = SelectObject(dc, (HGDIOBJ)SendMessageW(control, WM_GETFONT, 0, 0));
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    printf("fit\t%d\t%ld\t%d\t", GetDlgCtrlID(control), need.right - need.left, room);
    put_utf8(text);
    putchar('\n');
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    HMODULE exe;
    HRSRC found;
    HWND dialog;
    if (argc != 4) {
        fputs("usage: dialogfit EXE DIALOG-ID LANGID\n", stderr);
        return 2;
    }
    exe = LoadLibraryExW(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!exe) {
        fprintf(stderr, "cannot load the exe: %lu\n", GetLastError());
        return 1;
    }
    found = FindResourceExW(exe, (LPCWSTR)RT_DIALOG, MAKEINTRESOURCEW(_wtoi(argv[2])),
                            (WORD)wcstol(argv[3], NULL, 0));
    if (!found) {
        puts("missing");
        return 0;
    }
    dialog = CreateDialogIndirectParamW(GetModuleHandleW(NULL),
                                        (const DLGTEMPLATE*)LockResource(LoadResource(exe, found)),
                                        NULL, quiet, 0);
    if (!dialog) {
        fprintf(stderr, "cannot make the dialog: %lu\n", GetLastError());
        return 1;
    }
    EnumChildWindows(dialog, measure, 0);
    DestroyWindow(dialog);
    fflush(stdout);
    return 0;
}
