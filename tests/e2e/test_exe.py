"""The built exe itself."""

import os
import re
import subprocess

from harness import case, cmake_version, wine_env

# DLLs that every Windows since 7 ships.
WINDOWS_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll", "iphlpapi.dll",
    "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "winmm.dll", "ws2_32.dll", "version.dll", "uxtheme.dll", "imm32.dll",
}

# What the exe imports is loaded by name before its first line, before
# wWinMain restricts the search to the system folder: only DLLs that Windows
# keeps as KnownDLLs (never taken from the program's folder) and comctl32,
# which the manifest binds to common controls 6. The others are delay-loaded
# (test_dll_search.py plants them beside the exe).
LOADED_BEFORE_MAIN = {
    "advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "user32.dll",
}


@case(timeout=30)
def test_imports_only_windows_dlls(c):
    out = subprocess.run(["objdump", "-p", c.exe], capture_output=True, text=True, check=True,
                         timeout=20).stdout
    imported = {name.lower() for name in re.findall(r"DLL Name:\s*(\S+)", out)}
    assert "kernel32.dll" in imported, imported
    assert not {n for n in imported if re.match(r"lib(gcc|stdc\+\+|winpthread)", n)}, imported
    assert imported <= WINDOWS_DLLS, imported - WINDOWS_DLLS
    assert imported <= LOADED_BEFORE_MAIN, imported - LOADED_BEFORE_MAIN


@case(timeout=60)
def test_version_resource_is_the_cmake_version(c):
    version = cmake_version()
    verinfo = os.path.join(os.path.dirname(c.wininfo_exe), "verinfo.exe")
    c.use_private_prefix()
    out = subprocess.run(["wine", verinfo, os.path.join(c.folder, c.exe_name).replace("/", "\\")],
                         env=wine_env(c.prefix), capture_output=True, timeout=40)
    assert out.returncode == 0, out
    fields = dict(line.split("\t", 1) for line in out.stdout.decode("utf-8").splitlines())
    numbers = (version.split(".") + ["0"] * 4)[:4]
    assert fields["fixed"] == ".".join(numbers), fields
    assert fields["FileVersion"] == fields["ProductVersion"] == version, fields
    assert fields["ProductName"] == "Vorlane" and fields["OriginalFilename"] == "Vorlane.exe"
    assert fields["LegalCopyright"] == "Copyright (c) 2026 The Vorlane authors"
    assert fields["FileDescription"] and fields["CompanyName"], fields


@case(timeout=60)
def test_exceptions_thrown_in_the_library_reach_their_handlers(c):
    """The Release link leaves out the unwind information of functions it
    leaves out, and only theirs: an exception thrown inside the static C++
    library's string, vector, thread and function code unwinds to its handler
    (tools/unwindprobe.cpp, linked as the exe is). The exe's own link fails
    if a function it keeps lost its frame description."""
    probe = os.path.join(os.path.dirname(c.wininfo_exe), "unwindprobe.exe")
    c.use_private_prefix()
    out = subprocess.run(["wine", probe], env=wine_env(c.prefix), capture_output=True, timeout=40)
    assert out.returncode == 0, out
