"""The two help links of the settings dialog: colours, hover, tooltip, and
what a click opens (or why it cannot).

The cases change the Wine prefix's web associations, so each works on a
private copy of the prefix. The "browser" is a batch file that appends the
address it is given to a file in the prefix's C: drive."""

import os
import subprocess
import time

from harness import HarnessError, case, clone_prefix, poll, wine_env

UNVISITED = (0, 0, 238)
HOVER = (255, 0, 0)
VISITED = (85, 26, 139)

HELP_HOST = "www.vorlane.example"
MANUAL_URL = f"http://{HELP_HOST}/software-vrln.htm"
SLEEP_HELP_URL = f"http://{HELP_HOST}/help-upgrade-452.htm"

BROWSER = r"C:\vorlane-browser.cmd"
OPENED_FILE = "opened.txt"  # in drive_c
TEST_CLASS = "vorlanetest.htm"

# Enough pixels of one colour to tell a drawn link text from anti-aliased edges.
MIN_PIXELS = 40


def use_private_prefix(c):
    path = os.path.join(c.folder, "prefix")
    clone_prefix(c.shared_prefix, path)
    c.private_prefix = c.prefix = path
    with open(os.path.join(path, "drive_c", "vorlane-browser.cmd"), "w", newline="\r\n") as f:
        f.write("@echo off\n")
        f.write(f">>C:\\{OPENED_FILE} echo %~1\n")


def reg(c, *args, check=True):
    result = subprocess.run(["wine", "reg", *args], env=wine_env(c.prefix), capture_output=True,
                            timeout=60)
    if check and result.returncode != 0:
        raise HarnessError(f"wine reg {' '.join(args)} failed: {result.stderr!r}")


def browser_command(placeholder='"%1"'):
    return rf"C:\windows\system32\cmd.exe /c {BROWSER} {placeholder}"


def set_http_browser(c):
    reg(c, "add", r"HKCR\http\shell\open\command", "/ve", "/d", browser_command(), "/f")


def remove_web_associations(c):
    reg(c, "delete", r"HKCR\http", "/f", check=False)
    reg(c, "delete", r"HKCR\.htm", "/f", check=False)


def opened_addresses(c):
    try:
        with open(os.path.join(c.prefix, "drive_c", OPENED_FILE), encoding="utf-8",
                  errors="replace") as f:
            return [line.strip() for line in f if line.strip()]
    except FileNotFoundError:
        return []


def start_dialog(c):
    c.write_ini({"helphost": HELP_HOST})
    c.start()
    dialog = c.display.wait_window("设定", timeout=30)
    dialog.focus()
    return dialog


def find_links(c, dialog, timeout=10):
    """Bounding boxes (x, y, width, height) of the two links on screen, from
    left to right: 禁止休眠, then 操作说明. They are the only text drawn in the
    unvisited blue, at the bottom left of the dialog."""

    def boxes():
        g = dialog.geometry()
        shot = c.display.screenshot().crop(g.x, g.y + g.height * 3 // 4, g.width // 2,
                                           g.height // 4)
        columns = {}
        for y in range(shot.origin[1], shot.origin[1] + shot.height):
            for x in range(shot.origin[0], shot.origin[0] + shot.width):
                if shot.pixel(x, y) == UNVISITED:
                    columns.setdefault(x, []).append(y)
        groups, current = [], []
        for x in sorted(columns):
            if current and x - current[-1] > 8:
                groups.append(current)
                current = []
            current.append(x)
        if current:
            groups.append(current)
        if len(groups) != 2:
            return None
        result = []
        for xs in groups:
            ys = [y for x in xs for y in columns[x]]
            result.append((xs[0], min(ys), xs[-1] - xs[0] + 1, max(ys) - min(ys) + 1))
        return result

    return poll("the two blue links", boxes, timeout, 0.3)


def colour_count(c, box, colour):
    x, y, w, h = box
    return c.display.screenshot().crop(x, y, w, h).count(lambda p: p == colour)


def wait_colour(c, box, colour, timeout=5):
    return poll(f"link pixels of {colour}", lambda: colour_count(c, box, colour) >= MIN_PIXELS,
                timeout, 0.1)


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def away_from(box):
    x, y, w, h = box
    return x + w // 2, y - 60


@case(timeout=120)
def test_hover_turns_red_and_leaving_restores_blue(c):
    dialog = start_dialog(c)
    _, manual = find_links(c, dialog)
    assert colour_count(c, manual, HOVER) == 0

    c.display.mouse_move(*centre(manual))
    wait_colour(c, manual, HOVER)
    assert colour_count(c, manual, UNVISITED) == 0, "hover colour only, never underlined blue"
    # Resting on it keeps it red: the hover timer finds the cursor inside.
    time.sleep(0.5)
    assert colour_count(c, manual, HOVER) >= MIN_PIXELS

    c.display.mouse_move(*away_from(manual))
    wait_colour(c, manual, UNVISITED, timeout=2)
    assert colour_count(c, manual, HOVER) == 0

    # The other link is a link of its own, untouched by this one's hover.
    sleep_help, _ = find_links(c, dialog)
    c.display.mouse_move(*centre(sleep_help))
    wait_colour(c, sleep_help, HOVER)
    assert colour_count(c, manual, UNVISITED) >= MIN_PIXELS


@case(timeout=120)
def test_tooltip_shows_the_address(c):
    dialog = start_dialog(c)
    sleep_help, manual = find_links(c, dialog)
    before = {w.id for w in c.display.find_windows("")}

    c.display.mouse_move(*centre(manual))
    shown = c.trace.wait_for("link", r"^tooltip\t", timeout=10)
    assert shown.fields[1] == MANUAL_URL

    def tooltip_window():
        return [w for w in c.display.find_windows("") if w.id not in before]

    tips = poll("a tooltip window", tooltip_window, 5)
    g = tips[0].geometry()
    x, y = centre(manual)
    assert 0 < g.height < 60 and g.width > 50, g
    assert abs(g.x - x) < 80 and 0 <= g.y - y < 80, f"tooltip at {g}, cursor at {(x, y)}"

    mark = c.trace.mark()
    c.display.mouse_move(*away_from(manual))
    time.sleep(0.3)
    c.display.mouse_move(*centre(sleep_help))
    shown = c.trace.wait_for("link", r"^tooltip\t", timeout=10, since=mark)
    assert shown.fields[1] == SLEEP_HELP_URL


@case(timeout=150)
def test_click_opens_the_address_and_turns_purple(c):
    use_private_prefix(c)
    set_http_browser(c)
    dialog = start_dialog(c)
    sleep_help, manual = find_links(c, dialog)

    c.display.click(*centre(manual))
    poll("the test browser to get the address", lambda: opened_addresses(c), 20, 0.2)
    assert opened_addresses(c) == [MANUAL_URL]
    assert c.trace.find("link", r"^opened\t")[0].fields[1] == MANUAL_URL
    # Visited at once, although the cursor is still on the link.
    wait_colour(c, manual, VISITED)

    c.display.mouse_move(*away_from(manual))
    time.sleep(0.5)
    assert colour_count(c, manual, VISITED) >= MIN_PIXELS
    assert colour_count(c, manual, UNVISITED) == 0
    assert colour_count(c, sleep_help, UNVISITED) >= MIN_PIXELS

    c.display.click(*centre(sleep_help))
    poll("the second address", lambda: len(opened_addresses(c)) == 2, 20, 0.2)
    assert opened_addresses(c) == [MANUAL_URL, SLEEP_HELP_URL]


@case(timeout=150)
def test_fallback_uses_the_htm_class_command(c):
    # The shell has no http handler; the ".htm" class's command, with the
    # quoted placeholder and an argument after it, starts the browser.
    use_private_prefix(c)
    remove_web_associations(c)
    reg(c, "add", r"HKCR\.htm", "/ve", "/d", TEST_CLASS, "/f")
    reg(c, "add", rf"HKCR\{TEST_CLASS}\shell\open\command", "/ve", "/d",
        browser_command('"%1" --dropped'), "/f")
    dialog = start_dialog(c)
    _, manual = find_links(c, dialog)

    c.display.click(*centre(manual))
    poll("the fallback browser to get the address", lambda: opened_addresses(c), 20, 0.2)
    assert opened_addresses(c) == [MANUAL_URL]
    c.display.mouse_move(*away_from(manual))
    wait_colour(c, manual, VISITED)


@case(timeout=150)
def test_without_associations_a_message_says_why(c):
    use_private_prefix(c)
    remove_web_associations(c)
    dialog = start_dialog(c)
    _, manual = find_links(c, dialog)

    c.display.click(*centre(manual))
    box = c.display.wait_window("Vorlane", timeout=15)
    failed = c.trace.wait_for("link", r"^failed\t")
    code, message = failed.fields[1], failed.fields[2]
    assert message.startswith(r"Unable to open hyperlink:\n\n"), message
    assert int(code) <= 32
    expected = {
        "2": "The specified file was not found.",
        "31": r"There is no application associated\nwith the given filename extension.",
    }
    assert message.endswith(expected.get(code, f"Unknown Error ({code}) occurred.")), message
    assert opened_addresses(c) == []

    box.focus()
    c.display.key("Return")
    c.display.wait_no_window("Vorlane", timeout=10)
    c.display.mouse_move(*away_from(manual))
    wait_colour(c, manual, UNVISITED)
    assert colour_count(c, manual, VISITED) == 0
    # The dialog works on: it is still there and the link still hovers.
    c.display.mouse_move(*centre(manual))
    wait_colour(c, manual, HOVER)
