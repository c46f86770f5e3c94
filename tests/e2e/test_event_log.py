"""The event log beside the settings file and the bar's tooltip: the lines
of a run with an outage and a drop, no file with the log off, a log that
cannot be written, and the tooltip over the bar."""

import os
import re
import subprocess
import time

from bar_steps import exit_by_menu
from harness import case, poll
from monitor_common import bar_window, open_menu, start_monitoring, texts, wait_status, \
    windows_path

LINE = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [+-]\d\d:\d\d\t([a-z-]+)\t(.*)$")
ESCAPE = re.compile(r"\\(x[0-9A-F]{2}|.)")


def unescape(value):
    """A value as the program had it: \\t, \\n, \\r, \\xHH and a doubled
    backslash undone."""
    def one(m):
        escape = m.group(1)
        if len(escape) == 3:
            return chr(int(escape[1:], 16))
        return {"t": "\t", "n": "\n", "r": "\r"}.get(escape, escape)
    return ESCAPE.sub(one, value)


def log_path(c):
    return os.path.join(c.folder, "Vorlane.log")


def log_lines(c):
    """(event, {key: value}) for every line of Vorlane.log, each checked
    against the line format."""
    with open(log_path(c), encoding="utf-8", newline="") as f:
        text = f.read()
    assert text.endswith("\n"), "the last line is cut"
    lines = []
    for raw in text[:-1].split("\n"):
        m = LINE.match(raw)
        assert m, f"not a log line: {raw!r}"
        fields = {k: unescape(v) for k, _, v in
                  (f.partition("=") for f in m.group(2).split("\t") if f)}
        lines.append((m.group(1), fields))
    return lines


def tooltip(c):
    """The program's shown tooltip window, or None."""
    return next((w for w in c.windows() if w.cls == "tooltips_class32"), None)


def ok_count(c):
    return len([t for t in texts(c) if t.startswith("没掉线")])


@case(timeout=150)
def test_outage_and_drop_leave_their_lines_in_order(c):
    marker = os.path.join(c.folder, "marker.txt")
    command = f"echo done> {windows_path(marker)}"
    app, ns = start_monitoring(c, trytimes=3, tryinterval=1, djs=2, cmduser=command)
    poll("ten healthy probes", lambda: ok_count(c) >= 10, 40, 0.2)
    ns.answers(False)
    wait_status(c, "^连续掉线：2$")
    ns.answers(True)
    mark = c.trace.mark()
    wait_status(c, "没掉线", since=mark)
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=40)
    assert os.path.isfile(marker)
    exit_by_menu(c, app, bar_window(c))

    with open(log_path(c), encoding="utf-8") as f:
        print(f.read())
    lines = log_lines(c)
    events = [e for e, _ in lines]
    expected = ["start", "settings", "down", "up", "down", "drop", "countdown", "run", "ran",
                "exit"]
    ordered = [e for e in events if e in expected]
    assert ordered == expected, events
    assert len(events) - len(expected) <= 3, events
    fields = {e: f for e, f in lines}
    assert fields["start"]["settings"] == windows_path(c.ini_path), fields["start"]
    assert fields["settings"]["ping"] == "127.0.0.1" and fields["settings"]["trytimes"] == "3"
    assert fields["settings"]["cmduser"] == command
    assert fields["up"]["missed"] == "2", fields["up"]
    assert fields["drop"]["limit"] == "3" and fields["countdown"]["seconds"] == "2"
    assert fields["run"]["command"] == f'cmd.exe /c "{command}"'
    assert fields["ran"]["code"] == "0", fields["ran"]


@case(timeout=90)
def test_log_off_writes_no_file(c):
    app, ns = start_monitoring(c, log=0, trytimes=1, djs=0, cmduser="echo x")
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=20)
    exit_by_menu(c, app, bar_window(c))
    assert not [n for n in os.listdir(c.folder) if n.startswith("Vorlane.log")]


@case(timeout=90)
def test_a_read_only_log_does_not_stop_the_drop(c):
    with open(log_path(c), "w") as f:
        f.write("kept\n")
    # The tests run as root, which writes through permission bits; an
    # immutable file refuses even root.
    subprocess.run(["chattr", "+i", log_path(c)], check=True)
    try:
        drop_with_an_unwritable_log(c)
    finally:
        subprocess.run(["chattr", "-i", log_path(c)], check=True)


def drop_with_an_unwritable_log(c):
    marker = os.path.join(c.folder, "marker.txt")
    app, ns = start_monitoring(c, trytimes=1, djs=1, cmduser=f"echo done> {windows_path(marker)}")
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=20)
    assert os.path.isfile(marker)
    # Said on the tooltip, never in a box.
    bar = bar_window(c)
    c.display.mouse_move(*bar.point(30, 8))
    tip = poll("the tooltip", lambda: tooltip(c), 10, 0.3)
    assert "日志无法写入" in tip.title, tip.title
    # (The bar is a "Vorlane" dialog too, but one without controls.)
    assert not [w for w in c.windows() if w.cls == "#32770" and w.title == "Vorlane" and
                w.controls]
    with open(log_path(c)) as f:
        assert f.read() == "kept\n"


@case(timeout=90)
def test_tooltip_over_the_bar_names_the_target(c):
    app, ns = start_monitoring(c, hosts={"gw.vorlane.test": "127.0.0.1"}, ping="gw.vorlane.test",
                               tryinterval=1)
    wait_status(c, "没掉线")
    bar = bar_window(c)
    g = bar.geometry()
    c.display.mouse_move(*bar.point(30, 8))
    tip = poll("the tooltip", lambda: tooltip(c), 10, 0.3)
    lines = tip.title.splitlines()
    assert lines[0] == "目标：gw.vorlane.test → 127.0.0.1", lines
    assert re.fullmatch(r"往返时间：\d+ ms", lines[1]), lines
    assert any(l.startswith("连通自 ") for l in lines), lines
    assert lines[-1] == "日志：" + windows_path(log_path(c)), lines
    # Beside the bar, not over its text.
    t = tip.geometry
    assert t.y >= g.y + g.height or t.y + t.height <= g.y, (t, g)
    # Away from the bar it goes; with the menu open it stays away.
    c.display.mouse_move(g.x - 200, g.y + 300)
    poll("the tooltip to go", lambda: tooltip(c) is None, 10, 0.3)
    menu_open = open_menu(c)
    time.sleep(1.5)
    assert menu_open() and tooltip(c) is None
    c.display.key("Escape")
    lookups = [f for e, f in log_lines(c) if e == "lookup"]
    assert lookups == [{"target": "gw.vorlane.test", "result": "127.0.0.1"}], lookups


@case(timeout=90)
def test_recovery_during_the_countdown_logs_the_cancel_and_the_recovery_command(c):
    marker = os.path.join(c.folder, "up.txt")
    app, ns = start_monitoring(c, trytimes=2, djs=30, cancelonup=1,
                               cmdup=f"echo up> {windows_path(marker)}")
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^倒数关机：2[0-9]$", timeout=20)
    ns.answers(True)
    # The recovery command's end reaches the log by a message of its own.
    poll("the recovery command's end in the log",
         lambda: os.path.exists(log_path(c)) and "ranup" in [e for e, _ in log_lines(c)], 20)
    events = [e for e, _ in log_lines(c)]
    tail = events[events.index("drop"):]
    assert tail[:2] == ["drop", "countdown"], events
    assert [e for e in tail if e in ("up", "cancel", "runup", "ranup")] == \
        ["up", "cancel", "runup", "ranup"], events
    fields = {e: f for e, f in log_lines(c)}
    assert fields["cancel"]["by"] == "recovery"
    assert fields["ranup"]["code"] == "0" and os.path.isfile(marker), fields["ranup"]
    exit_by_menu(c, app, bar_window(c))


@case(timeout=120)
def test_full_disk_then_space_again_loses_no_line_and_warns_once(c):
    from test_faults_settings_file import copy_program, fill_up, mount_tmpfs, start_from, unmount
    from bar_steps import QUIET, settings_dialog, wait_bar, warning_box
    folder = os.path.join(c.folder, "full")
    mount_tmpfs(folder, "2m")
    try:
        with open(os.path.join(folder, "Vorlane.ini"), "w") as f:
            f.write("[Vorlane]\n" + "".join(f"{k}={v}\n" for k, v in QUIET.items()))
        # The next line starts 20 bytes before the end of the file's last
        # page, the only room left once the disk is full: it is cut short.
        log = os.path.join(folder, "Vorlane.log")
        with open(log, "w") as f:
            f.write("x" * 4075 + "\n")
        copy_program(c, folder)
        fill_up(folder)
        app = start_from(c, folder)
        settings_dialog(c, timeout=60)
        c.display.key("Return")
        warning_box(c)  # the settings cannot be saved either
        c.display.key("Return")
        bar = wait_bar(c)
        os.remove(os.path.join(folder, "filler"))
        exit_by_menu(c, app, bar)
        with open(log, encoding="utf-8") as f:
            text = f.read()
        head, _, rest = text.partition("\n")
        assert head == "x" * 4075
        torn, _, whole = rest.partition("\n")
        assert len(torn) == 20, torn  # the cut line, ended where it broke off
        lines = [LINE.match(l) for l in whole[:-1].split("\n")]
        assert all(lines) and whole.endswith("\n"), whole
        events = [m.group(1) for m in lines]
        # The settings' warning comes before the OK's "settings" line; the
        # three lines kept meanwhile go out at the first event after the
        # space came back, then the one warning about the log itself.
        assert events == ["start", "warning", "settings", "warning", "stopped", "exit"], events
        assert "设定无法保存" in lines[1].group(2)
        assert "3 行为事后补写，0 行丢失" in lines[3].group(2), lines[3].group(2)
    finally:
        unmount(folder)
