"""Steps that the status bar and settings dialog cases share: confirm the
start-up dialog, find the bar, use its menu, check its picture."""

import time

from harness import (BarColours, HarnessError, bar_probe_points, ink_bands, near, poll)

# Control ids of the settings dialog.
IDC_TARGET = 1023
IDC_TRYTIMES = 1024
IDC_TRYINTERVAL = 1026
IDC_COMMAND = 1029
IDC_SOUND = 1027
IDC_COUNTDOWN = 1028
IDC_SHUTDOWN = 1030
IDC_TIMEOUT = 1033
IDC_ARMFIRST = 1034
IDC_CANCELONUP = 1035
IDC_REARM = 1036
IDC_COMMAND_UP = 1037
IDC_KEEPLOG = 1038
IDC_RUNATLOGON = 1039
IDC_SETTINGS_LOCATION = 1040
IDC_TRYWINDOW = 1041
IDC_UPAFTER = 1042
IDC_RETRYINTERVAL = 1043
IDC_RESUMEGRACE = 1044
IDC_LANGUAGE = 1045
IDC_TRAY = 1046
IDC_BAR = 1047
IDC_SERVICE = 1048
IDOK = 1
IDCANCEL = 2

# Tab stops after the target box, in tab order.
TAB_ORDER = [IDC_TARGET, IDC_TRYTIMES, IDC_TRYWINDOW, IDC_TRYINTERVAL, IDC_RETRYINTERVAL,
             IDC_TIMEOUT, IDC_UPAFTER, IDC_ARMFIRST, IDC_RESUMEGRACE, IDC_COMMAND, IDC_SOUND,
             IDC_COUNTDOWN, IDC_SHUTDOWN, IDC_CANCELONUP, IDC_REARM, IDC_COMMAND_UP, IDC_KEEPLOG,
             IDC_RUNATLOGON, IDC_TRAY, IDC_BAR, IDC_LANGUAGE, IDC_SERVICE, IDOK, IDCANCEL]

DIALOG_KEYS = ("ping", "trytimes", "tryinterval", "djs", "cmduser", "bwav", "bshutdown",
               "timeout", "armfirst", "cancelonup", "rearm", "cmdup", "log")
# What an OK stores for the dialog's later keys when they are left alone.
LATER_KEY_DEFAULTS = {"timeout": "1000", "armfirst": "0", "cancelonup": "0", "rearm": "0",
                      "cmdup": "", "log": "1"}

# Loopback only: a confirmed target is probed at once.
QUIET = {"ping": "127.0.0.1", "tryinterval": 60, "trytimes": 3, "djs": 60, "bwav": 0}


def settings_dialog(c, timeout=30):
    """The program's visible settings dialog (its X window focused)."""
    c.display.wait_window("设定", timeout=timeout).focus()
    return c.wait_windows("设定")


def tab_to(c, control_id, start=IDC_TARGET):
    """Moves the focus from the control `start` (by default the target box,
    where the dialog starts) to the given control by Tab; an edit box
    reached so has its text selected."""
    c.display.key(*(["Tab"] * (TAB_ORDER.index(control_id) - TAB_ORDER.index(start))))


def confirm_startup(c, since=0):
    """Presses Enter in the start-up dialog and waits for the bar."""
    c.display.wait_window("设定", timeout=30).focus()
    c.display.key("Return")
    c.trace.wait_for("status", "准备中", timeout=20, since=since)
    return wait_bar(c)


def wait_bar(c, timeout=15):
    bar = c.display.wait_window("Vorlane", timeout=timeout)
    # The first picture reaches the screen a moment after the trace line.
    time.sleep(0.3)
    return bar


def warning_box(c, timeout=10):
    """The program's visible message box captioned "Vorlane": its texts."""
    # Its one button says OK in the user's UI language (Wine's own text).
    return c.wait_windows("Vorlane", timeout,
                          where=lambda w: w.cls == "#32770" and any(
                              k.id == 2 or k.text in ("OK", "确定") for k in w.controls))


def open_menu(c, bar, at=(20, 10)):
    """Right-clicks the bar at offset `at`; returns the menu's X window."""
    before = {w.id for w in c.display.find_windows("")}
    bar.right_click(*at)

    def menu():
        new = [w for w in c.display.find_windows("") if w.id not in before]
        return new[-1] if new else None

    return poll("the pop-up menu", menu, 5)


def choose(c, bar, *keys):
    """Opens the menu and picks an item with keys, e.g. ("Up", "Return")
    for the last item."""
    open_menu(c, bar)
    time.sleep(0.2)
    c.display.key(*keys)


def exit_by_menu(c, app, bar):
    choose(c, bar, "Up", "Return")
    return app.wait_exit(15)


def exit_program(c, app):
    """Exit from the bar's menu, or, while the bar is hidden (bar=0), from
    the same menu of the notification-area icon, right-clicked in Wine's
    own tray window (test_tray.py)."""
    if c.display.find_windows("^Vorlane$"):
        return exit_by_menu(c, app, wait_bar(c))
    menu = open_icon_menu(c)
    # Clicked: the keyboard stays with Wine's tray window, not the menu.
    g = menu.geometry()
    c.display.click(g.x + g.width // 2, g.y + g.height - 12)
    return app.wait_exit(15)


def icon_point(c):
    """The centre of the first icon in Wine's own tray window, which shows
    the notification area's icons where no desktop has one."""
    g = c.display.wait_window("Wine System Tray").geometry()
    return g.x + 13, g.y + g.height - 13


def open_icon_menu(c):
    """Right-clicks the notification-area icon; returns the menu's X window."""
    before = {w.id for w in c.display.find_windows("")}
    c.display.right_click(*icon_point(c))

    def menu():
        new = [w for w in c.display.find_windows("") if w.id not in before]
        return new[-1] if new else None

    found = poll("the icon's menu", menu, 5)
    time.sleep(0.3)
    return found


def check_bar_picture(c, bar, frame=BarColours.GREEN):
    """Frame, face and text at known points of the bar as it shows now;
    returns the bar's screenshot."""
    g = bar.geometry()
    shot = c.display.screenshot()
    points = bar_probe_points(g)
    for name, point in points.items():
        expected = frame if name.startswith("frame") else BarColours.BACKGROUND
        colour = shot.pixel(*point)
        if not near(colour, expected, 4):
            raise HarnessError(f"{name} at {point} is {colour}, expected {expected}")
    # Text: dark pixels inside the face, left of the sample's right edge.
    face = shot.crop(g.x + g.width // 12, g.y + g.height // 5, g.width * 2 // 3, g.height * 3 // 5)
    dark = face.count(lambda p: max(p) < 60)
    if dark < 40:
        raise HarnessError(f"only {dark} text pixels on the bar")
    return shot.crop(g.x, g.y, g.width, g.height)


def menu_layout(c, menu_window):
    """Bands of text and separator rows of the shown pop-up menu:
    ["item", "separator", "item", ...] from top to bottom."""
    g = menu_window.geometry()
    shot = c.display.screenshot().crop(g.x, g.y, g.width, g.height)
    rows = []
    for y in range(1, g.height - 1):
        line = [shot.pixel(g.x + x, g.y + y) for x in range(3, g.width - 3)]
        # A separator is one grey line across; text rows hold black ink.
        if all(120 < p[0] < 200 and p[0] == p[1] == p[2] for p in line[2:-2]):
            rows.append((y, "separator"))
    layout = []
    inner = shot.crop(g.x + 2, g.y + 1, g.width - 4, g.height - 2)
    marks = [(first + 1, "item") for first, _ in ink_bands(inner)] + rows
    for _, kind in sorted(marks):
        if not (kind == "separator" and layout and layout[-1] == "separator"):
            layout.append(kind)
    return layout
