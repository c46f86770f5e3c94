"""The status bar: its picture, drag, menu, keys, About, the saved position
and the picture after many redraws."""

import time

from bar_steps import (QUIET, check_bar_picture, choose, confirm_startup, exit_by_menu,
                       menu_layout, open_menu, settings_dialog, warning_box, wait_bar)
from harness import (SCREEN_HEIGHT, SCREEN_WIDTH, BarColours, HarnessError, case, cmake_version,
                     near, poll)


@case(timeout=90)
def test_bar_picture_drag_and_keys(c):
    c.write_ini(QUIET)
    app = c.start()
    bar = confirm_startup(c)
    g = bar.geometry()
    # No stored position: top-right corner of the work area, inset a little.
    assert SCREEN_WIDTH - 64 < g.x + g.width <= SCREEN_WIDTH and 0 <= g.y < 64, g
    check_bar_picture(c, bar, BarColours.GREEN)
    # The desktop shows right beside the bar.
    shot = c.display.screenshot()
    assert near(shot.pixel(g.x - 3, g.y + g.height // 2), (0, 0, 0)), "bar wider than it says"

    # Pressing anywhere on the bar drags it, the text included.
    start = (g.x + g.width // 3, g.y + g.height // 2)
    c.display.drag(start, (start[0] - 500, start[1] + 300))
    moved = bar.geometry()
    assert abs(moved.x - (g.x - 500)) <= 3 and abs(moved.y - (g.y + 300)) <= 3, moved
    assert (moved.width, moved.height) == (g.width, g.height)
    check_bar_picture(c, bar, BarColours.GREEN)

    # Enter, Escape and Alt+F4 on the focused bar leave it up.
    bar.focus()
    for key in ("Return", "Escape", "alt+F4"):
        c.display.key(key)
        time.sleep(0.4)
        assert app.running(), f"{key} ended the program"
        assert bar.visible(), f"{key} hid the bar"
    assert not c.trace.find("window", "exit")
    assert bar.geometry() == moved
    # The same keys do reach the program: Alt+F4 closes its settings dialog.
    choose(c, bar, "Down", "Return")
    c.display.wait_window("设定").focus()
    c.display.key("alt+F4")
    c.display.wait_no_window("设定")
    assert app.running() and bar.visible()


@case(timeout=120)
def test_menu_items_settings_and_about(c):
    c.write_ini(QUIET)
    app = c.start()
    bar = confirm_startup(c)
    g = bar.geometry()
    at = (25, 12)
    menu = open_menu(c, bar, at)
    mg = menu.geometry()
    # Shown at the cursor, with two items (设定, the pause's submenu), a
    # separator and three items.
    assert abs(mg.x - (g.x + at[0])) <= 2 and abs(mg.y - (g.y + at[1])) <= 2, mg
    assert menu_layout(c, menu) == ["item", "item", "separator", "item", "item", "item"], \
        menu_layout(c, menu)
    c.display.key("Escape")
    time.sleep(0.3)

    # First item: the settings dialog, filled from the store; Cancel there
    # changes nothing and keeps the program running.
    mark = c.trace.mark()
    choose(c, bar, "Down", "Return")
    dialog = settings_dialog(c)
    assert dialog.control(1023).text == "127.0.0.1"
    c.display.key("Escape")
    c.display.wait_no_window("设定")
    assert app.running()
    assert not c.trace.find("status", "准备中", since=mark)

    # The first item after the separator opens the log in an editor.
    choose(c, bar, "Down", "Down", "Down", "Return")
    editor = c.display.wait_window(".*Vorlane\\.log.*", exact=False, timeout=20)
    assert app.running()
    editor.focus()
    c.display.key("alt+F4")
    c.display.wait_no_window(".*Vorlane\\.log.*", exact=False)
    bar.focus()

    # The one before Exit: About, with the version.
    choose(c, bar, "Up", "Up", "Return")
    about = c.wait_windows("关于 Vorlane")
    assert any("版本 " + cmake_version() in t for t in about.texts()), about.texts()
    c.display.key("Return")
    c.display.wait_no_window("关于 Vorlane")
    assert app.running()

    # The last item, reached upwards, is Exit.
    exit_by_menu(c, app, bar)
    assert c.trace.find("window", "exit-command")


@case(timeout=120)
def test_exit_saves_position_and_next_start_restores_it(c):
    c.write_ini(QUIET)
    app = c.start()
    bar = confirm_startup(c)
    g = bar.geometry()
    start = (g.x + 10, g.y + 10)
    c.display.drag(start, (start[0] - 900, start[1] + 400))
    moved = bar.geometry()
    exit_by_menu(c, app, bar)
    stored = c.read_ini()
    assert (int(stored["posleft"]), int(stored["postop"])) == (moved.x, moved.y), stored
    # The confirmed settings survive the position's save.
    assert stored["ping"] == "127.0.0.1"

    mark = c.trace.mark()
    c.start()
    bar = confirm_startup(c, since=mark)
    again = bar.geometry()
    assert (again.x, again.y, again.width, again.height) == \
        (moved.x, moved.y, moved.width, moved.height), again
    check_bar_picture(c, bar)


@case(timeout=120)
def test_stored_position_off_every_monitor_is_pulled_back(c):
    values = dict(QUIET, posleft=5000, postop=-3000)
    c.write_ini(values)
    app = c.start()
    bar = confirm_startup(c)
    g = bar.geometry()
    assert 0 <= g.x and g.x + g.width <= SCREEN_WIDTH, g
    assert 0 <= g.y and g.y + g.height <= SCREEN_HEIGHT, g
    check_bar_picture(c, bar)
    exit_by_menu(c, app, bar)

    # A bar partly on screen is left where it was put.
    c.write_ini(dict(QUIET, posleft=SCREEN_WIDTH - 40, postop=SCREEN_HEIGHT - 20))
    mark = c.trace.mark()
    c.start()
    bar = confirm_startup(c, since=mark)
    g = bar.geometry()
    assert (g.x, g.y) == (SCREEN_WIDTH - 40, SCREEN_HEIGHT - 20), g


@case(timeout=150)
def test_picture_still_right_after_20000_redraws(c):
    # The picture of the first probe's result, from a run without redraws...
    c.write_ini(dict(QUIET, tryinterval=1))
    app = c.start()
    bar = confirm_startup(c)
    c.trace.wait_for("status", "OK", timeout=20)
    time.sleep(0.3)
    reference = check_bar_picture(c, bar)
    exit_by_menu(c, app, bar)

    # ...is what the bar shows again after 20,000 redraws, at the same place.
    mark = c.trace.mark()
    c.start(env={"VORLANE_BENCH_REDRAWS": "20000"})
    settings_dialog(c)
    c.display.key("Return")
    # A quarter of them each: fresh surfaces, new texts, the same picture and
    # the bare layered update.
    bench = c.trace.wait_for("bench", "^pixels", timeout=120, since=mark)
    redraws = c.trace.find("bench", "^redraw", since=mark)
    assert [l.fields[:2] for l in redraws] == [[kind, "5000"] for kind in (
        "redraw-floor", "redraw", "redraw-new-text", "redraw-fresh")], redraws
    # The kept surface gave the very pixels a fresh one does, for every text.
    assert int(bench.fields[1]) > 0 and bench.fields[2] == "0", bench
    # A redraw after them, with the probe's text (the redraws drew countdown
    # texts, then the text shown before them again), must still reach the
    # screen.
    poll("a status redraw after the redraws",
         lambda: [l for l in c.trace.find("status", "OK", since=mark) if l.ms >= bench.ms], 20)
    time.sleep(0.5)
    bar = wait_bar(c)
    after = check_bar_picture(c, bar)
    if after.origin != reference.origin or after.rgb != reference.rgb:
        different = sum(1 for a, b in zip(after.rgb, reference.rgb) if abs(a - b) > 8)
        raise HarnessError(f"the picture changed after the redraws: {different} channel values "
                           f"differ (origin {after.origin} vs {reference.origin})")
    assert not warning_box_shown(c)


def warning_box_shown(c):
    try:
        warning_box(c, timeout=0.5)
        return True
    except HarnessError:
        return False
