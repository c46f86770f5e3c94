"""The built exe itself."""

import re
import subprocess

from harness import case

# DLLs that every Windows since 7 ships.
WINDOWS_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll", "iphlpapi.dll",
    "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "winmm.dll", "ws2_32.dll", "version.dll", "uxtheme.dll", "imm32.dll",
}


@case(timeout=30)
def test_imports_only_windows_dlls(c):
    out = subprocess.run(["objdump", "-p", c.exe], capture_output=True, text=True, check=True,
                         timeout=20).stdout
    imported = {name.lower() for name in re.findall(r"DLL Name:\s*(\S+)", out)}
    assert "kernel32.dll" in imported, imported
    assert not {n for n in imported if re.match(r"lib(gcc|stdc\+\+|winpthread)", n)}, imported
    assert imported <= WINDOWS_DLLS, imported - WINDOWS_DLLS
