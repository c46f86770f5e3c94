/* Test helper, run under Wine: prints the version resource of an exe the way
 * Windows' own tools read it (GetFileVersionInfo / VerQueryValue).
 *
 *   verinfo.exe EXE-PATH
 *
 * Output, UTF-8, one "name<TAB>value" a line: "fixed" with the four numbers
 * of FILEVERSION, then every string of the first translation. Exit code 1
 * when the exe has no version resource. */
#include <windows.h>
#include <stdio.h>

static void put_line(const wchar_t* name, const wchar_t* value) {
    char out[1024];
    WideCharToMultiByte(CP_UTF8, 0, name, -1, out, sizeof(out), NULL, NULL);
    fputs(out, stdout);
    fputc('\t', stdout);
    WideCharToMultiByte(CP_UTF8, 0, value, -1, out, sizeof(out), NULL, NULL);
    fputs(out, stdout);
    fputc('\n', stdout);
}

int wmain(int argc, wchar_t** argv) {
    static const wchar_t* const names[] = {L"CompanyName",  L"FileDescription", L"FileVersion",
                                           L"InternalName", L"LegalCopyright",  L"OriginalFilename",
                                           L"ProductName",  L"ProductVersion"};
    DWORD handle = 0, size;
    BYTE* data;
    VS_FIXEDFILEINFO* fixed = NULL;
    WORD* translation = NULL;
    UINT length = 0;
    wchar_t text[64];
    size_t i;
    if (argc != 2) return 2;
    size = GetFileVersionInfoSizeW(argv[1], &handle);
    if (size == 0) return 1;
    data = (BYTE*)HeapAlloc(GetProcessHeap(), 0, size);
    if (!data || !GetFileVersionInfoW(argv[1], 0, size, data)) return 1;
    if (VerQueryValueW(data, L"\\", (void**)&fixed, &length) && fixed) {
        swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                 LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                 LOWORD(fixed->dwFileVersionLS));
        put_line(L"fixed", text);
    }
    if (!VerQueryValueW(data, L"\\VarFileInfo\\Translation", (void**)&translation, &length) ||
        length < 4)
        return 1;
    for (i = 0; i < sizeof(names) / sizeof(names[0]); ++i) {
        wchar_t query[128];
        wchar_t* value = NULL;
        swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1],
                 names[i]);
        if (VerQueryValueW(data, query, (void**)&value, &length) && value)
            put_line(names[i], value);
    }
    return 0;
}
