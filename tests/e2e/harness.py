"""End-to-end test harness: the real Vorlane.exe under Wine on an Xvfb display.

Python 3 standard library only. A test file is ``tests/e2e/test_<topic>.py``;
every top-level function named ``test_*`` in it becomes one CTest test
(``e2e.<topic>.<function>``, registered by tests/e2e/CMakeLists.txt) and is
run by run_case.py in a process of its own. A test function takes one
argument, the :class:`Case`::

    from harness import case, BarColours

    @case(timeout=60)
    def test_cancel_ends_program(c):
        app = c.start()                      # Vorlane.exe in the case's folder
        dialog = c.display.wait_window("设定")
        dialog.focus()
        c.display.key("Escape")
        app.wait_exit(10)
        assert "ping" not in c.read_ini()

What a case gets:

* one Xvfb display of its own (``c.display``, a :class:`Display`), started on
  first use, 1280x800x24, no TCP;
* one folder of its own (``c.folder``) holding a copy of Vorlane.exe (and
  alert.wav when it lies beside the built exe), so the program's Vorlane.ini
  lands there; ``c.write_ini()`` pre-writes it, ``c.read_ini()`` reads it;
* a private clone of the test run's Wine prefix (made once by the CTest
  fixture, see :func:`ensure_prefix`; cloned at the first start() in well
  under a second, by hard links for the big read-only trees). Cases cannot
  share one prefix while running: its wineserver, services and desktop
  process (explorer.exe) would belong to whichever case started them, on
  that case's display; a program whose desktop process sits on another
  display is killed by an X error when its window is dragged, and Wine's ICMP
  echo is sent by a service process (winedevice.exe) that lives in the
  network namespace its wineserver was started in;
* the diagnostic trace (``c.trace``, a :class:`Trace`): the program appends
  UTF-8 lines "<ms>\\t<kind>\\t<detail>" to the file named by VORLANE_TRACE;
* its own time limit (``@case(timeout=...)``, default 90 s);
* on failure, its screenshot, trace, settings file and Wine log copied into
  the test's output directory (paths printed);
* clean-up: only the processes the case started are ended, by pid.

Several starts in one case (restart after Exit) share the folder, and so the
settings file, and the trace file (``Trace.mark()`` / ``since=`` separate the
runs).

What pixels cannot tell, ``c.windows()`` / ``c.wait_windows(title)`` read
inside Wine with the helper tools/wininfo.exe (built by CMake, passed as
--wininfo): every top-level window of this case's program with its title,
class and geometry, its controls' ids, texts and check states, and the id of
the control holding the keyboard focus. Message boxes are windows of class
"#32770" whose texts include the message.

The main entry points: Case (start, write_ini, read_ini, network,
capture_sound, windows, wait_windows), App (running, wait_exit, stop),
Display (wait_window, key, type_text, click, right_click, drag, screenshot),
Window (geometry, focus, point, shot), Trace (lines, find, wait_for, mark,
statuses), Image (pixel, crop, count), near(), bar_probe_points(),
ink_bands(), NetNamespace (answers). bar_steps.py holds the status bar's
steps (confirm the start-up dialog, use the menu, check the picture).
"""

from __future__ import annotations

import contextlib
import fcntl
import functools
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import time
from dataclasses import dataclass
from typing import Callable, Dict, Iterable, List, Optional, Sequence, Tuple

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 800
DEFAULT_TIMEOUT = 90

FONT_SUBSTITUTES_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes"
PREFIX_READY_MARK = ".vorlane-e2e-ready"
# Raise it whenever ensure_prefix changes what it sets up, so that prefixes
# made before are made again.
PREFIX_VERSION = "3"
WINE_BASE_ENV = {
    # Keeps Wine from trying to download Mono and Gecko.
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
    # Wine's errors stay in the case's wine.log: a start that fails inside
    # Wine says there why.
    "WINEDEBUG": "fixme-all",
    # A Chinese user interface, as on the Chinese Windows the program was
    # first made for: the program's texts follow the user's UI language
    # (LC_MESSAGES under Wine), while the code page stays that of C.UTF-8.
    # The locale must exist on the host (ensure_locales), or Wine names its
    # X windows "??". LANGUAGE would override LC_MESSAGES, so it is empty.
    "LANG": "C.UTF-8",
    "LC_ALL": "",
    "LC_MESSAGES": "zh_CN.UTF-8",
    "LANGUAGE": "",
}
# The host locales that cases run Wine under.
HOST_LOCALES = (("zh_CN", "zh_CN.UTF-8"), ("en_US", "en_US.UTF-8"))


class HarnessError(AssertionError):
    """Something the test waited for did not happen."""


class CaseTimeout(HarnessError):
    """The case ran past its own time limit."""


def case(timeout: int = DEFAULT_TIMEOUT) -> Callable:
    """Decorator for a test function: sets its time limit in seconds."""

    def mark(fn: Callable) -> Callable:
        fn.e2e_timeout = timeout
        return fn

    return mark


def cmake_version() -> str:
    """The program's version as the top CMakeLists.txt sets it, the one place
    it is defined."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(Vorlane VERSION ([0-9.]+)", f.read()).group(1)


def poll(what: str, fn: Callable[[], object], timeout: float, interval: float = 0.1):
    """Calls fn until it returns something truthy and returns that; raises
    HarnessError naming `what` after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = fn()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


# ---------------------------------------------------------------------------
# Processes


def _environ(pid: int) -> Dict[str, str]:
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            raw = f.read()
    except OSError:
        return {}
    env = {}
    for item in raw.split(b"\0"):
        key, sep, value = item.partition(b"=")
        if sep:
            env[key.decode(errors="replace")] = value.decode(errors="replace")
    return env


def _state_and_comm(pid: int) -> Tuple[str, str]:
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            stat = f.read().decode(errors="replace")
    except OSError:
        return "", ""
    # "pid (comm) state ...": comm may hold spaces and parentheses.
    comm = stat[stat.find("(") + 1 : stat.rfind(")")]
    state = stat[stat.rfind(")") + 2 :].split(" ", 1)[0]
    return state, comm


def find_processes(env_key: str, env_value: str, comm: Optional[str] = None) -> List[int]:
    """Pids of the live (not zombie) processes whose environment holds
    env_key=env_value, optionally only those whose command name is `comm`.
    Wine processes carry the exe's name as their comm, and each case gives its
    processes a unique VORLANE_TRACE path, so this finds exactly a case's own
    processes even when other programs of the same name run."""
    pids = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        pid = int(name)
        state, process_comm = _state_and_comm(pid)
        if not state or state == "Z":
            continue
        if comm is not None and process_comm != comm:
            continue
        if _environ(pid).get(env_key) == env_value:
            pids.append(pid)
    return pids


def pid_alive(pid: int) -> bool:
    state, _ = _state_and_comm(pid)
    return bool(state) and state != "Z"


def end_pids(pids: Iterable[int], grace: float = 2.0) -> None:
    """SIGTERM, then SIGKILL after `grace` seconds, for exactly these pids."""
    pids = [p for p in pids if pid_alive(p)]
    for pid in pids:
        with contextlib.suppress(ProcessLookupError):
            os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline and any(pid_alive(p) for p in pids):
        time.sleep(0.05)
    for pid in pids:
        if pid_alive(pid):
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)


ENDED_PREFIXES = "ended-prefixes"


def remove_ended_prefixes(work_root: str) -> None:
    """Deletes the private prefixes of ended cases, once no case runs."""
    shutil.rmtree(os.path.join(work_root, ENDED_PREFIXES), ignore_errors=True)


def end_prefix_processes(prefix: str) -> None:
    """Ends every process started with WINEPREFIX=prefix (wineserver and
    Wine's services included). Only for prefixes that the test run made."""
    end_pids(find_processes("WINEPREFIX", os.path.abspath(prefix)))


# ---------------------------------------------------------------------------
# Wine prefix


def wine_env(prefix: str, **extra: str) -> Dict[str, str]:
    env = dict(os.environ)
    env.update(WINE_BASE_ENV)
    env["WINEPREFIX"] = os.path.abspath(prefix)
    env.update(extra)
    return env


def ensure_locales() -> None:
    """Generates the host locales of HOST_LOCALES that are missing (the
    locales package is installed by the set-up; this takes a second)."""
    have = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
    for source, name in HOST_LOCALES:
        if name.lower().replace("-", "") not in have.replace("-", ""):
            subprocess.run(["localedef", "-i", source, "-f", "UTF-8", name], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def prefix_complete(prefix: str) -> bool:
    try:
        with open(os.path.join(prefix, PREFIX_READY_MARK)) as f:
            version = f.read().strip()
    except OSError:
        return False
    return version == PREFIX_VERSION and os.path.isfile(os.path.join(prefix, "system.reg"))


def ensure_prefix(prefix: str, timeout: float = 300) -> None:
    """Makes the Wine prefix unless it is already complete.

    wineboot is waited for by its own pid (``wineserver -w`` waits for Wine's
    services too and can hang); then the dialog font 宋体/SimSun is mapped to
    the installed CJK font so that Chinese labels render. A lock file keeps
    concurrent callers from building the same prefix twice."""
    ensure_locales()
    prefix = os.path.abspath(prefix)
    os.makedirs(os.path.dirname(prefix), exist_ok=True)
    with open(prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if prefix_complete(prefix):
            return
        if os.path.exists(prefix):
            # Left half-made by an interrupted run, or made by an older set-up.
            end_prefix_processes(prefix)
            shutil.rmtree(prefix)
        os.makedirs(prefix)
        env = wine_env(prefix)
        env.pop("DISPLAY", None)
        subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout, check=True)
        for face in ("宋体", "SimSun"):
            subprocess.run(["wine", "reg", "add", FONT_SUBSTITUTES_KEY, "/v", face, "/t", "REG_SZ",
                            "/d", "WenQuanYi Zen Hei", "/f"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120, check=True)
        # There is no window manager on the test display. Wine would wait up
        # to two seconds for one each time a managed window (a dialog, the
        # bar) goes away; with every window unmanaged it does not.
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                        "/t", "REG_SZ", "/d", "N", "/f"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120, check=True)
        # Message boxes use Tahoma, which has no Chinese: link the CJK font to it.
        subprocess.run(["wine", "reg", "add",
                        r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink",
                        "/v", "Tahoma", "/t", "REG_MULTI_SZ", "/d", "wqy-zenhei.ttc,WenQuanYi Zen Hei",
                        "/f"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120, check=True)
        # wineboot's services run on for a while without a display; a program
        # started meanwhile can hang on them. Let them end (and wineserver
        # write the registry) before the prefix counts as made.
        with contextlib.suppress(HarnessError):
            poll("the new prefix's processes to end",
                 lambda: not find_processes("WINEPREFIX", prefix), 60, 0.5)
        end_prefix_processes(prefix)
        with open(os.path.join(prefix, PREFIX_READY_MARK), "w") as f:
            f.write(PREFIX_VERSION + "\n")


# Big read-only trees that clones share by hard link; everything else
# (registry files above all, which wineserver rewrites) is copied.
_SHARED_PREFIX_TREES = ("drive_c/windows/system32", "drive_c/windows/syswow64",
                        "drive_c/windows/winsxs")


def clone_prefix(source: str, target: str) -> None:
    """A private copy of a complete prefix, in well under a second."""

    def copy(src: str, dst: str) -> None:
        rel = os.path.relpath(src, source)
        if rel.startswith(_SHARED_PREFIX_TREES):
            os.link(src, dst)
        else:
            shutil.copy2(src, dst)

    shutil.copytree(source, target, symlinks=True, copy_function=copy)


# ---------------------------------------------------------------------------
# Screenshots


class Image:
    """An RGB screenshot (or part of one). pixel(x, y) -> (r, g, b)."""

    def __init__(self, width: int, height: int, rgb: bytes, origin: Tuple[int, int] = (0, 0)):
        self.width, self.height, self.rgb, self.origin = width, height, rgb, origin

    @classmethod
    def from_ppm(cls, data: bytes) -> "Image":
        # P6 header: magic, width, height, maxval, each followed by white space.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos : pos + 1].isspace():
                pos += 1
            if data[pos : pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end : end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise HarnessError("unexpected screenshot format")
        width, height = int(fields[1]), int(fields[2])
        return cls(width, height, data[pos + 1 : pos + 1 + width * height * 3])

    def pixel(self, x: int, y: int) -> Tuple[int, int, int]:
        """Colour at screen coordinates (x, y)."""
        x -= self.origin[0]
        y -= self.origin[1]
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise HarnessError(f"pixel ({x}, {y}) outside the {self.width}x{self.height} image")
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def crop(self, x: int, y: int, width: int, height: int) -> "Image":
        """The part at screen coordinates (x, y); keeps screen coordinates."""
        x0, y0 = x - self.origin[0], y - self.origin[1]
        rows = []
        for row in range(y0, y0 + height):
            start = (row * self.width + x0) * 3
            rows.append(self.rgb[start : start + width * 3])
        return Image(width, height, b"".join(rows), (x, y))

    def count(self, predicate: Callable[[Tuple[int, int, int]], bool]) -> int:
        """Number of pixels whose (r, g, b) satisfies predicate."""
        rgb = self.rgb
        return sum(1 for i in range(0, len(rgb), 3) if predicate((rgb[i], rgb[i + 1], rgb[i + 2])))

    def to_ppm(self) -> bytes:
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb

    def save_png(self, path: str) -> str:
        subprocess.run(["convert", "ppm:-", "png:" + path], input=self.to_ppm(), check=True,
                       timeout=30)
        return path


def near(colour: Sequence[int], expected: Sequence[int], tolerance: int = 3) -> bool:
    """True when every channel is within `tolerance` of the expectation."""
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


# ---------------------------------------------------------------------------
# Display and input


@dataclass
class Geometry:
    x: int
    y: int
    width: int
    height: int

    @property
    def centre(self) -> Tuple[int, int]:
        return self.x + self.width // 2, self.y + self.height // 2

    def contains(self, x: int, y: int) -> bool:
        return self.x <= x < self.x + self.width and self.y <= y < self.y + self.height


# Display numbers of the cases' servers; a lock file a number in
# DISPLAY_LOCK_DIR, held while that number's server lives.
FIRST_DISPLAY = 100
DISPLAY_RANGE = 400
DISPLAY_LOCK_DIR = "/tmp/vorlane-e2e-displays"


def _display_in_use(number: int) -> bool:
    """Whether any X server (ours or not) has or had this number."""
    if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        return True
    try:
        with open("/proc/net/unix") as f:
            return f"@/tmp/.X11-unix/X{number}\n" in f.read()
    except OSError:
        return False


class Display:
    """One Xvfb server of a case, and X input and output on it."""

    def __init__(self, log_path: Optional[str] = None):
        self.number: Optional[int] = None
        self.process: Optional[subprocess.Popen] = None
        self.log_path = log_path
        self._lock = None

    @property
    def name(self) -> str:
        return f":{self.number}"

    def start(self, timeout: float = 20) -> "Display":
        # Every server gets a number that no other case holds, from before it
        # starts until after it has ended. With -displayfd alone, servers
        # picked numbers themselves, and one that was ending (listening
        # sockets closed, socket file not yet removed) could hand its number
        # to a case's new server and then remove that server's socket file.
        # Outside a network namespace X clients still reached it through the
        # abstract socket; inside one, where only the file is seen, Wine found
        # no display and the program ended before its first window.
        os.makedirs(DISPLAY_LOCK_DIR, exist_ok=True)
        for number in range(FIRST_DISPLAY, FIRST_DISPLAY + DISPLAY_RANGE):
            if _display_in_use(number):
                continue
            lock = open(os.path.join(DISPLAY_LOCK_DIR, f"{number}.lock"), "w")
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except BlockingIOError:
                lock.close()
                continue
            # A server of someone else's may have taken it meanwhile.
            if not _display_in_use(number) and self._launch(number, timeout):
                self._lock = lock
                return self
            lock.close()
        raise HarnessError("Xvfb: no free display number")

    def _launch(self, number: int, timeout: float) -> bool:
        """Starts Xvfb on `number`; True once a client can connect to it
        through its socket file, the way clients in a namespace do."""
        read_end, write_end = os.pipe()
        log = open(self.log_path, "ab") if self.log_path else subprocess.DEVNULL
        # -noreset: by default the server resets whenever its last client
        # leaves, and drops any client still in its connection set-up just
        # then. A poll (xdotool) ending while Wine's desktop process was
        # connecting did that: Wine could load no graphics driver ("no driver
        # could be loaded") and the program ended before its first window.
        try:
            self.process = subprocess.Popen(
                ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                 f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=log, stderr=log, start_new_session=True)
        finally:
            os.close(write_end)
            if log is not subprocess.DEVNULL:
                log.close()
        # The server writes its number once it accepts connections.
        deadline = time.monotonic() + timeout
        data = b""
        with contextlib.suppress(OSError):
            while not data.endswith(b"\n") and time.monotonic() < deadline:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                data += chunk
        os.close(read_end)
        if data.strip() != str(number).encode():
            self.stop()
            return False
        self.number = number
        with socket.socket(socket.AF_UNIX) as probe:
            try:
                probe.connect(f"/tmp/.X11-unix/X{number}")
            except OSError as e:
                self.stop()
                raise HarnessError(f"Xvfb :{number} is up but its socket file is not: {e}")
        return True

    def stop(self) -> None:
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
        # Only now, with the server and its sockets gone, may another case
        # use the number.
        if self._lock is not None:
            self._lock.close()
            self._lock = None

    def env(self) -> Dict[str, str]:
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env.pop("XAUTHORITY", None)
        return env

    def run(self, *args: str, timeout: float = 15, check: bool = True) -> str:
        result = subprocess.run(list(args), env=self.env(), capture_output=True, text=True,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise HarnessError(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def xdotool(self, *args: object, check: bool = True) -> str:
        return self.run("xdotool", *(str(a) for a in args), check=check)

    # Windows -------------------------------------------------------------

    def find_windows(self, name: str, visible: bool = True) -> List["Window"]:
        """Windows whose title matches the regular expression `name`
        (anchor it, e.g. "^设定$", for an exact title)."""
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", name]
        out = self.xdotool(*args, check=False)
        return [Window(self, int(w)) for w in out.split()]

    def wait_window(self, name: str, timeout: float = 20, exact: bool = True) -> "Window":
        """The one visible window titled `name` (exactly, unless exact=False,
        when `name` is a regular expression), once it shows."""
        pattern = "^" + re.escape(name) + "$" if exact else name
        found = poll(f"a window named {name!r}", lambda: self.find_windows(pattern), timeout)
        window = found[-1]
        window.pattern = pattern
        return window

    def wait_no_window(self, name: str, timeout: float = 10, exact: bool = True) -> None:
        pattern = "^" + re.escape(name) + "$" if exact else name
        poll(f"the window {name!r} to go", lambda: not self.find_windows(pattern), timeout)

    def window_count(self, name: str, exact: bool = True) -> int:
        pattern = "^" + re.escape(name) + "$" if exact else name
        return len(self.find_windows(pattern))

    # Keyboard --------------------------------------------------------------

    def key(self, *keys: str, delay_ms: int = 30) -> None:
        """Key presses such as "Return", "Tab", "Escape", "alt+F4", "Up"
        sent to the focused window."""
        self.xdotool("key", "--delay", delay_ms, *keys)
        time.sleep(0.1)

    def type_text(self, text: str, delay_ms: int = 20) -> None:
        self.xdotool("type", "--delay", delay_ms, "--", text)
        time.sleep(0.1)

    # Mouse ---------------------------------------------------------------

    def mouse_move(self, x: int, y: int) -> None:
        self.xdotool("mousemove", x, y)

    def mouse_position(self) -> Tuple[int, int]:
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def click(self, x: int, y: int, button: int = 1) -> None:
        self.xdotool("mousemove", x, y)
        time.sleep(0.1)
        self.xdotool("click", button)
        time.sleep(0.1)

    def right_click(self, x: int, y: int) -> None:
        self.click(x, y, button=3)

    def mouse_down(self, button: int = 1) -> None:
        self.xdotool("mousedown", button)

    def mouse_up(self, button: int = 1) -> None:
        self.xdotool("mouseup", button)

    def drag(self, start: Tuple[int, int], end: Tuple[int, int], steps: int = 3) -> None:
        """Press at start, move to end in a few steps with short pauses (a
        system move loop follows it), release."""
        self.mouse_move(*start)
        time.sleep(0.15)
        self.mouse_down(1)
        time.sleep(0.25)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.mouse_move(x, y)
            time.sleep(0.15)
        self.mouse_up(1)
        time.sleep(0.3)

    # Pixels --------------------------------------------------------------

    def screenshot(self) -> Image:
        """The whole screen as it is now."""
        result = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                                env=self.env(), capture_output=True, timeout=30)
        if result.returncode != 0:
            raise HarnessError("screenshot failed: " + result.stderr.decode(errors="replace"))
        return Image.from_ppm(result.stdout)

    def pixel(self, x: int, y: int) -> Tuple[int, int, int]:
        return self.screenshot().pixel(x, y)

    def save_screenshot(self, path: str) -> str:
        subprocess.run(["import", "-window", "root", path], env=self.env(), check=True,
                       timeout=30)
        return path


class Window:
    """An X window of a Wine program, by id. Wine may replace a window's X
    window (for instance when it becomes layered); one found by name
    (Display.wait_window) then finds its successor by the same name."""

    def __init__(self, display: Display, wid: int):
        self.display, self.id = display, wid
        self.pattern: Optional[str] = None

    def __repr__(self) -> str:
        return f"Window({self.id})"

    def _query(self, *args: object) -> str:
        try:
            return self.display.xdotool(*args, self.id)
        except HarnessError:
            if not self.pattern:
                raise
            found = self.display.find_windows(self.pattern)
            if not found:
                raise
            self.id = found[-1].id
            return self.display.xdotool(*args, self.id)

    def geometry(self) -> Geometry:
        """Screen position and size."""
        out = self._query("getwindowgeometry", "--shell")
        v = dict(line.split("=", 1) for line in out.split())
        return Geometry(int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"]))

    def name(self) -> str:
        return self._query("getwindowname").rstrip("\n")

    def visible(self) -> bool:
        out = self.display.xdotool("search", "--onlyvisible", "--name", "", check=False).split()
        if str(self.id) not in out and self.pattern:
            return bool(self.display.find_windows(self.pattern))
        return str(self.id) in out

    def focus(self) -> "Window":
        # windowfocus, not windowactivate: there is no window manager.
        with contextlib.suppress(HarnessError):
            self.geometry()  # finds a replaced window
        self.display.xdotool("windowfocus", "--sync", self.id, check=False)
        time.sleep(0.15)
        return self

    def key(self, *keys: str) -> None:
        self.focus()
        self.display.key(*keys)

    def type_text(self, text: str) -> None:
        self.focus()
        self.display.type_text(text)

    def point(self, dx: int, dy: int) -> Tuple[int, int]:
        """Screen point at offset (dx, dy) from the window's top-left corner;
        negative offsets count from the right or bottom edge."""
        g = self.geometry()
        x = g.x + (dx if dx >= 0 else g.width + dx)
        y = g.y + (dy if dy >= 0 else g.height + dy)
        return x, y

    def click(self, dx: int, dy: int, button: int = 1) -> None:
        self.display.click(*self.point(dx, dy), button=button)

    def right_click(self, dx: int, dy: int) -> None:
        self.click(dx, dy, button=3)

    def shot(self) -> Image:
        """Screenshot of this window's area (screen coordinates kept)."""
        g = self.geometry()
        return self.display.screenshot().crop(g.x, g.y, g.width, g.height)


# ---------------------------------------------------------------------------
# Trace


@dataclass
class TraceLine:
    ms: int
    kind: str
    detail: str  # the rest of the line after the kind, tabs kept

    @property
    def fields(self) -> List[str]:
        return self.detail.split("\t")


class Trace:
    """The program's diagnostic trace file (may not exist yet)."""

    def __init__(self, path: str):
        self.path = path

    def lines(self, since: int = 0) -> List[TraceLine]:
        """Complete lines, from line index `since` on."""
        try:
            with open(self.path, "rb") as f:
                data = f.read()
        except FileNotFoundError:
            return []
        text = data.decode("utf-8", errors="replace")
        complete = text.split("\n")[:-1]  # a line still being written is left out
        result = []
        for raw in complete[since:]:
            raw = raw.rstrip("\r")
            parts = raw.split("\t", 2)
            if len(parts) < 2 or not parts[0].strip().isdigit():
                continue
            result.append(TraceLine(int(parts[0]), parts[1], parts[2] if len(parts) > 2 else ""))
        return result

    def mark(self) -> int:
        """The current number of complete lines: pass it as `since` to look
        only at what comes after now (for instance in a second run)."""
        try:
            with open(self.path, "rb") as f:
                return f.read().count(b"\n")
        except FileNotFoundError:
            return 0

    def find(self, kind: str, pattern: Optional[str] = None, since: int = 0) -> List[TraceLine]:
        """Lines of `kind` whose detail matches the regular expression
        `pattern` (re.search; None matches all)."""
        return [l for l in self.lines(since)
                if l.kind == kind and (pattern is None or re.search(pattern, l.detail))]

    def wait_for(self, kind: str, pattern: Optional[str] = None, timeout: float = 15,
                 since: int = 0) -> TraceLine:
        """The first line of `kind` matching `pattern`, once it is there."""
        found = poll(f"trace line {kind!r} {pattern or ''}",
                     lambda: self.find(kind, pattern, since), timeout, 0.05)
        return found[0]

    def statuses(self, since: int = 0) -> List[Tuple[str, str]]:
        """(frame colour, text) of every status line: ("green", "准备中...")."""
        result = []
        for line in self.find("status", since=since):
            colour, _, text = line.detail.partition("\t")
            result.append((colour, text))
        return result

    def text(self) -> str:
        try:
            with open(self.path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""


# ---------------------------------------------------------------------------
# Settings file


def parse_ini(text: str) -> Dict[str, str]:
    """key=value lines of an INI-style text; sections and comments (; or #)
    are skipped, keys keep their case, values are stripped of surrounding
    blanks. Later duplicates win."""
    values = {}
    for raw in text.lstrip("\ufeff").splitlines():
        line = raw.strip()
        if not line or line[0] in ";#[":
            continue
        key, sep, value = line.partition("=")
        if sep:
            values[key.strip()] = value.strip()
    return values


def format_ini(values: Dict[str, object], section: Optional[str] = None) -> str:
    lines = [f"[{section}]"] if section else []
    lines += [f"{k}={v}" for k, v in values.items()]
    return "\n".join(lines) + "\n"


# ---------------------------------------------------------------------------
# Network namespace


class NetNamespace:
    """A network namespace with only lo up, for simulated drops on loopback.

    `hosts` maps names to addresses for /etc/netns/NAME/hosts, which
    `ip netns exec` puts in place of /etc/hosts (keep them in 127.0.0.0/8,
    or ::1).
    Name lookups stay on loopback as well: /etc/netns/NAME/resolv.conf names
    127.0.0.1, where nothing listens unless a case puts a server there, so a
    name outside the hosts file fails at once. answers(False) makes the namespace ignore ICMP echo requests."""

    def __init__(self, name: str, hosts: Optional[Dict[str, str]] = None):
        self.name = name
        self.hosts = dict(hosts or {})
        self.created = False

    @property
    def hosts_dir(self) -> str:
        return f"/etc/netns/{self.name}"

    def create(self) -> "NetNamespace":
        for address in self.hosts.values():
            if not address.startswith("127.") and address != "::1":
                raise HarnessError(f"{address}: tests stay on loopback")
        subprocess.run(["ip", "netns", "add", self.name], check=True, timeout=10)
        self.created = True
        self.exec("ip", "link", "set", "lo", "up")
        os.makedirs(self.hosts_dir, exist_ok=True)
        with open(os.path.join(self.hosts_dir, "hosts"), "w") as f:
            f.write("127.0.0.1\tlocalhost\n")
            for name, address in self.hosts.items():
                f.write(f"{address}\t{name}\n")
        self.set_resolver("nameserver 127.0.0.1\n")
        return self

    def set_resolver(self, text: str) -> None:
        """Replaces the namespace's resolv.conf."""
        with open(os.path.join(self.hosts_dir, "resolv.conf"), "w") as f:
            f.write(text)

    def command(self, *args: str) -> List[str]:
        return ["ip", "netns", "exec", self.name, *args]

    def exec(self, *args: str) -> None:
        subprocess.run(self.command(*args), check=True, timeout=10)

    def answers(self, on: bool) -> None:
        """Turns echo replies on loopback on or off."""
        self.exec("sysctl", "-qw", f"net.ipv4.icmp_echo_ignore_all={0 if on else 1}")

    def delete(self) -> None:
        if self.created:
            subprocess.run(["ip", "netns", "delete", self.name], timeout=10,
                           stderr=subprocess.DEVNULL)
            self.created = False
        shutil.rmtree(self.hosts_dir, ignore_errors=True)


# ---------------------------------------------------------------------------
# Window contents, read from inside Wine


def _unescape(text: str) -> str:
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "n": "\n"}.get(m.group(1), m.group(1)), text)


@dataclass
class Control:
    hwnd: int
    id: int
    visible: bool
    checked: Optional[bool]  # None for what is not a check box
    cls: str
    text: str


@dataclass
class TopWindow:
    hwnd: int
    visible: bool
    geometry: Geometry
    cls: str
    title: str
    controls: List[Control]
    focus_id: Optional[int]  # control id of the keyboard focus, if inside

    def control(self, control_id: int) -> Control:
        for c in self.controls:
            if c.id == control_id:
                return c
        raise HarnessError(f"no control {control_id} in {self.title!r}")

    def texts(self) -> List[str]:
        return [c.text for c in self.controls]


def parse_wininfo(output: str) -> List[TopWindow]:
    windows: Dict[int, TopWindow] = {}
    for line in output.splitlines():
        f = line.split("\t")
        if f[0] == "window" and len(f) >= 6:
            x, y, w, h = (int(v) for v in f[3].split(","))
            windows[int(f[1])] = TopWindow(int(f[1]), f[2] == "1", Geometry(x, y, w, h),
                                           _unescape(f[4]), _unescape(f[5]), [], None)
        elif f[0] == "control" and len(f) >= 8 and int(f[2]) in windows:
            checked = None if f[5] == "-1" else f[5] == "1"
            windows[int(f[2])].controls.append(
                Control(int(f[1]), int(f[3]), f[4] == "1", checked, _unescape(f[6]),
                        _unescape(f[7])))
        elif f[0] == "focus" and len(f) >= 4 and int(f[1]) in windows:
            windows[int(f[1])].focus_id = int(f[3])
    return list(windows.values())


# ---------------------------------------------------------------------------
# The program


class App:
    """One run of Vorlane.exe in a case's folder."""

    def __init__(self, case_: "Case", process: subprocess.Popen, exe_name: str, started: float):
        self.case, self.process, self.exe_name = case_, process, exe_name
        self.started = started  # time.monotonic() at launch
        self.exit_seen: Optional[float] = None

    def pids(self) -> List[int]:
        """The live processes of this run: the exe found by its name and the
        case's trace path in its environment, and the launcher."""
        found = find_processes("VORLANE_TRACE", self.case.trace.path, comm=self.exe_name)
        if self.process.poll() is None and self.process.pid not in found:
            found.append(self.process.pid)
        return found

    def exe_pid(self) -> Optional[int]:
        found = find_processes("VORLANE_TRACE", self.case.trace.path, comm=self.exe_name)
        return found[0] if found else None

    def running(self) -> bool:
        self.process.poll()
        return self.exe_pid() is not None or self.process.poll() is None

    def wait_exit(self, timeout: float = 15) -> float:
        """Waits for the program to end; returns the seconds it took from the
        call."""
        start = time.monotonic()
        poll(f"{self.exe_name} to end", lambda: not self.running(), timeout, 0.02)
        self.exit_seen = time.monotonic()
        return self.exit_seen - start

    def stop(self) -> None:
        """Ends this run's processes (by pid) if they still live."""
        end_pids(self.pids())
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.process.wait(5)


class Case:
    """The context of one test function: folder, display, prefix, trace."""

    def __init__(self, name: str, exe: str, prefix: str, work_root: str, out_dir: str,
                 wininfo: Optional[str] = None):
        self.name, self.exe, self.shared_prefix = name, exe, prefix
        self.wininfo_exe = wininfo
        self.out_dir = out_dir
        os.makedirs(work_root, exist_ok=True)
        self.work_root = work_root
        self.folder = tempfile.mkdtemp(prefix=re.sub(r"[^\w.-]", "_", name) + ".", dir=work_root)
        self.exe_name = os.path.basename(exe)
        self.trace = Trace(os.path.join(self.folder, "trace.txt"))
        self.wine_log = os.path.join(self.folder, "wine.log")
        self._display: Optional[Display] = None
        self.prefix = prefix
        self.private_prefix: Optional[str] = None
        self.netns: Optional[NetNamespace] = None
        self.apps: List[App] = []
        self.extra_env: Dict[str, str] = {}
        shutil.copy2(exe, os.path.join(self.folder, self.exe_name))
        sound = os.path.join(os.path.dirname(exe), "alert.wav")
        if os.path.isfile(sound):
            shutil.copy2(sound, os.path.join(self.folder, "alert.wav"))

    @property
    def display(self) -> Display:
        """The case's Xvfb display, started on first use."""
        if self._display is None:
            self._display = Display(os.path.join(self.folder, "xvfb.log")).start()
        return self._display

    # Settings file ---------------------------------------------------------

    @property
    def ini_path(self) -> str:
        return os.path.join(self.folder, "Vorlane.ini")

    def write_ini(self, values, section: Optional[str] = "Vorlane") -> None:
        """Pre-writes Vorlane.ini: a dict of keys (in the program's section
        [Vorlane] unless `section` says otherwise), or the file's whole text."""
        text = values if isinstance(values, str) else format_ini(values, section)
        with open(self.ini_path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)

    def read_ini(self) -> Dict[str, str]:
        """The program's settings file as a dict (empty if there is none)."""
        try:
            with open(self.ini_path, encoding="utf-8") as f:
                return parse_ini(f.read())
        except FileNotFoundError:
            return {}

    # Environment -----------------------------------------------------------

    def network(self, hosts: Optional[Dict[str, str]] = None) -> NetNamespace:
        """Runs the case's programs in a network namespace of its own (only lo
        up, `hosts` as its hosts file) with a private clone of the prefix,
        whose wineserver and services then start inside the namespace. Call
        before the first start()."""
        if self.apps:
            raise HarnessError("network() must come before the first start()")
        if self.netns is None:
            self.netns = NetNamespace(f"vle2e{os.getpid()}", hosts).create()
            self.use_private_prefix()
        return self.netns

    def use_private_prefix(self) -> str:
        """Clones the shared prefix into the case folder (once) and uses it;
        start() does this itself. Returns the clone's path."""
        if self.private_prefix is None:
            self.private_prefix = os.path.join(self.folder, "prefix")
            clone_prefix(self.shared_prefix, self.private_prefix)
            self.prefix = self.private_prefix
        return self.private_prefix

    def capture_sound(self) -> str:
        """Makes the program's ALSA default device write what it plays to a
        file (HOME points at the case folder); returns that file's path."""
        played = os.path.join(self.folder, "played.raw")
        with open(os.path.join(self.folder, ".asoundrc"), "w") as f:
            f.write('pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n'
                    % played)
        self.extra_env["HOME"] = self.folder
        return played

    # Runs ------------------------------------------------------------------

    def start(self, env: Optional[Dict[str, str]] = None, wait_dialog: bool = False,
              args: Sequence[str] = ()) -> App:
        """Launches Vorlane.exe from the case folder with the command-line
        arguments `args`. With wait_dialog, waits until the settings dialog
        is on screen."""
        self.use_private_prefix()
        extra = dict(self.extra_env)
        extra.update(env or {})
        full_env = wine_env(self.prefix, DISPLAY=self.display.name,
                            VORLANE_TRACE=self.trace.path, **extra)
        full_env.pop("XAUTHORITY", None)
        command = ["wine", os.path.join(self.folder, self.exe_name), *args]
        if self.netns:
            # `env` carries the environment through ip's exec.
            command = self.netns.command("env", *[f"{k}={v}" for k, v in full_env.items()],
                                         *command)
        log = open(self.wine_log, "ab")
        try:
            process = subprocess.Popen(command, cwd=self.folder, env=full_env, stdout=log,
                                       stderr=log, start_new_session=True)
        finally:
            log.close()
        app = App(self, process, self.exe_name, time.monotonic())
        self.apps.append(app)
        if wait_dialog:
            self.display.wait_window("设定", timeout=30)
        return app

    # Window contents -------------------------------------------------------

    def windows(self, title: Optional[str] = None, visible_only: bool = True) -> List[TopWindow]:
        """The program's top-level windows with their controls' ids, texts,
        check states and the keyboard focus, read inside Wine by the helper
        wininfo.exe. `title` keeps only windows of exactly that title."""
        if not self.wininfo_exe:
            raise HarnessError("this case has no wininfo.exe (pass --wininfo)")
        self.use_private_prefix()  # never Wine in the prefix every case copies
        env = wine_env(self.prefix, DISPLAY=self.display.name)
        command = ["wine", self.wininfo_exe, self.folder.replace("/", "\\")]
        if self.netns:
            command = self.netns.command("env", *[f"{k}={v}" for k, v in env.items()], *command)
        result = subprocess.run(command, env=env, capture_output=True, timeout=30)
        found = parse_wininfo(result.stdout.decode("utf-8", errors="replace"))
        return [w for w in found if (not visible_only or w.visible)
                and (title is None or w.title == title)]

    def send_message(self, message: int, wparam: int = 0, lparam: int = 0,
                     image: Optional[str] = None) -> List[int]:
        """Sends one window message to each of the program's top-level
        windows (those of the processes whose image path holds `image`, the
        case's folder by default), as the system would, with the helper
        sendmsg.exe that lies beside wininfo.exe; the results of the windows
        it reached."""
        if not self.wininfo_exe:
            raise HarnessError("this case has no wininfo.exe (pass --wininfo)")
        self.use_private_prefix()
        sender = os.path.join(os.path.dirname(self.wininfo_exe), "sendmsg.exe")
        env = wine_env(self.prefix, DISPLAY=self.display.name)
        command = ["wine", sender, image or self.folder.replace("/", "\\"), hex(message),
                   hex(wparam), hex(lparam)]
        if self.netns:
            command = self.netns.command("env", *[f"{k}={v}" for k, v in env.items()], *command)
        result = subprocess.run(command, env=env, capture_output=True, timeout=30)
        out = result.stdout.decode("utf-8", errors="replace")
        return [int(line.split()[2]) for line in out.splitlines() if line.startswith("sent ")]

    def wait_windows(self, title: str, timeout: float = 15,
                     where: Optional[Callable[[TopWindow], bool]] = None) -> TopWindow:
        """The program's visible window titled `title` (that satisfies
        `where`), once there is one."""
        def look():
            for w in self.windows(title):
                if where is None or where(w):
                    return w
            return None
        return poll(f"a window {title!r} of the program", look, timeout, 0.2)

    # Failure and clean-up ----------------------------------------------------

    def collect_artifacts(self) -> List[str]:
        """Copies the screenshot, trace, settings file and logs into the
        output directory; returns their paths."""
        os.makedirs(self.out_dir, exist_ok=True)
        saved = []
        if self._display is not None:
            with contextlib.suppress(Exception):
                saved.append(self._display.save_screenshot(
                    os.path.join(self.out_dir, "screenshot.png")))
        for name in ("trace.txt", "Vorlane.ini", "wine.log", "xvfb.log"):
            src = os.path.join(self.folder, name)
            if os.path.isfile(src):
                dst = os.path.join(self.out_dir, name)
                shutil.copy2(src, dst)
                saved.append(dst)
        return saved

    def close(self, keep_folder: bool = False) -> None:
        for app in self.apps:
            with contextlib.suppress(Exception):
                app.stop()
        # Anything else the case's programs started (a command line's cmd.exe).
        end_pids(find_processes("VORLANE_TRACE", self.trace.path))
        if self.private_prefix:
            end_prefix_processes(self.private_prefix)
        if self._display is not None:
            self._display.stop()
        if self.netns:
            self.netns.delete()
        if not keep_folder:
            if self.private_prefix and os.path.isdir(self.private_prefix):
                # Wine names a prefix's server socket after the prefix
                # folder's inode, and ext4 hands a freed inode to the next
                # folder made at once: a case cloning its prefix just then
                # got this case's inode, so its programs could meet this
                # case's dying wineserver, whose desktop's display was gone
                # ("no driver could be loaded"). The folder keeps its inode
                # until the run's end (remove_ended_prefixes), empty.
                os.makedirs(os.path.join(self.work_root, ENDED_PREFIXES), exist_ok=True)
                kept = os.path.join(self.work_root, ENDED_PREFIXES, os.path.basename(self.folder))
                os.rename(self.private_prefix, kept)
                for entry in os.listdir(kept):
                    path = os.path.join(kept, entry)
                    if os.path.isdir(path) and not os.path.islink(path):
                        shutil.rmtree(path, ignore_errors=True)
                    else:
                        with contextlib.suppress(OSError):
                            os.remove(path)
            shutil.rmtree(self.folder, ignore_errors=True)


# ---------------------------------------------------------------------------
# Expectations about the bar that several test files share


class BarColours:
    """Colours of the bar as read back from the screen: the face is drawn
    opaque and shown at 253/255 over the black Xvfb root."""

    BACKGROUND = (200, 199, 195)
    GREEN = (0, 127, 0)
    RED = (253, 0, 0)
    TEXT = (0, 0, 0)


def bar_probe_points(bar: Geometry) -> Dict[str, Tuple[int, int]]:
    """Screen points of the bar whose colour is known whatever the text:
    inside the frame on each side, and on the face between the frame and the
    text (right of the sample's width, which the text does not reach for the
    short status texts)."""
    # margin = trunc(sampleWidth * 0.08), width = sampleWidth + 4 * margin;
    # so margin is about width * 0.08 / 1.32 and the pen shows ~0.45 margin.
    margin = max(1, int(bar.width * 0.08 / 1.32))
    edge = max(0, int(margin * 0.45) // 2)
    cy = bar.y + bar.height // 2
    return {
        "frame_left": (bar.x + edge, cy),
        "frame_right": (bar.x + bar.width - 1 - edge, cy),
        "frame_top": (bar.x + bar.width // 2, bar.y + edge),
        "frame_bottom": (bar.x + bar.width // 2, bar.y + bar.height - 1 - edge),
        "face_right": (bar.x + bar.width - 1 - margin, cy),
        "face_top_right": (bar.x + bar.width - 2 * margin, bar.y + margin - 1),
    }


def ink_bands(image: Image, dark: int = 80) -> List[Tuple[int, int]]:
    """Rows of an image that hold dark (text) pixels, grouped into bands of
    consecutive rows: [(first row, last row), ...] in image coordinates."""
    bands: List[Tuple[int, int]] = []
    for row in range(image.height):
        start = row * image.width * 3
        line = image.rgb[start : start + image.width * 3]
        inked = any(max(line[i], line[i + 1], line[i + 2]) < dark for i in range(0, len(line), 3))
        if inked:
            if bands and bands[-1][1] == row - 1:
                bands[-1] = (bands[-1][0], row)
            else:
                bands.append((row, row))
    return bands
