"""Where the program takes its DLLs from: a DLL dropped beside the exe under
the name of a system DLL is never loaded.

Windows looks in the program's folder first for every DLL that is not a
KnownDLL; Wine, told `<name>=n,b`, does the same. The planted DLL
(tools/markdll.c) only records that it was loaded, in a folder of the test's.

Planted: the DLLs that the program loads at their first call (delay-loaded,
`vorlane_delay_load` in CMakeLists.txt), one at a time; each run reaches all
of them: the bar's drawing (gdiplus), the probe (iphlpapi), the lookup of the
target's name (ws2_32), the alarm's sound (winmm) and opening the log
(shell32). Left out: the DLLs that Wine's own DLLs load for any program. An
empty dialog program under the same override takes version.dll, uxtheme.dll,
imm32.dll, combase.dll, ole32.dll, rpcrt4.dll, sechost.dll, ucrtbase.dll,
zlib1.dll and win32u.dll from its own folder, most of them before its first
line; Wine keeps no KnownDLLs, so it takes even user32.dll, gdi32.dll and
advapi32.dll from there, where Windows never would; and Wine's comctl32 (common
controls 6) takes msimg32.dll from there. A mark from one of those says nothing
about this program (docs/wine-notes.md).
"""

import os
import shutil

from harness import WINE_BASE_ENV, case, end_pids, find_processes, poll
from monitor_common import DEFAULTS, confirm_settings, open_menu, wait_status, windows_path

ON_DEMAND = ("gdiplus", "winmm", "iphlpapi", "ws2_32", "shell32")


def assert_not_loaded(marks, name):
    loaded = os.listdir(marks)
    assert not loaded, f"the {name}.dll beside the exe was loaded (marks: {loaded})"


def start_drop_and_exit(c, ns, name, marks, settings):
    """One run with `name`.dll planted: start, confirm, a drop with sound
    and the command, the log opened, Exit."""
    since = c.trace.mark()
    c.write_ini(settings, section="Vorlane")
    overrides = f"{WINE_BASE_ENV['WINEDLLOVERRIDES']};{name}=n,b"
    app = c.start(env={"WINEDLLOVERRIDES": overrides,
                       "VORLANE_DLL_MARKS": windows_path(marks)}, wait_dialog=True)
    confirm_settings(c, since=since)
    wait_status(c, "没掉线", since=since)
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=30, since=since)
    ns.answers(True)
    assert [l.detail.split(" ")[0] for l in c.trace.find("sound", since=since)] == \
        ["close", "open", "play"]
    open_menu(c)
    c.display.key("Up", "Up", "Up", "Return")  # 查看日志
    end_pids(poll("Notepad with the log", lambda: find_processes(
        "VORLANE_TRACE", c.trace.path, comm="notepad.exe"), 15))
    open_menu(c)
    c.display.key("Up", "Return")  # the last item, Exit
    app.wait_exit(15)


@case(timeout=240)
def test_no_dll_is_taken_from_beside_the_exe(c):
    markdll = os.path.join(os.path.dirname(c.wininfo_exe), "markdll.dll")
    marks = os.path.join(c.folder, "marks")
    os.makedirs(marks)
    done = os.path.join(c.folder, "done.txt")
    c.capture_sound()
    # A name, not an address, so that the target is looked up (ws2_32).
    settings = dict(DEFAULTS, ping="link.vorlane.test", trytimes=1, tryinterval=1, djs=1, bwav=1,
                    cmduser=f"echo done> {windows_path(done)}")
    ns = c.network(hosts={"link.vorlane.test": "127.0.0.1"})
    for name in ON_DEMAND:
        planted = os.path.join(c.folder, name + ".dll")
        shutil.copy2(markdll, planted)
        try:
            start_drop_and_exit(c, ns, name, marks, settings)
        except AssertionError:
            # A planted DLL that exports nothing can stop the program; the
            # mark says why.
            assert_not_loaded(marks, name)
            raise
        assert_not_loaded(marks, name)
        assert os.path.isfile(done), "the command did not run"
        os.remove(done)
        os.remove(planted)
