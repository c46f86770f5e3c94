"""Alarms that stay true in the real world, on loopback in the case's own
network namespace: a name whose address moves, a sleep with the network
silent across the wake, the end of the session, a link that loses every
other probe, and a pause during silence."""

import os
import time

from harness import BarColours, case, poll
from monitor_common import bar_window, open_menu, silence, start_monitoring, texts, wait_frame, \
    wait_status, windows_path
from test_event_log import log_lines
from window_messages import (ENDSESSION_LOGOFF, PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND,
                             PBT_APMSUSPEND, WM_ENDSESSION, WM_POWERBROADCAST, WM_QUERYENDSESSION)


def marker_command(c):
    marker = os.path.join(c.folder, "marker.txt")
    return marker, f"echo done> {windows_path(marker)}"


def events(c):
    return [e for e, _ in log_lines(c)]


@case(timeout=120)
def test_a_name_whose_address_moves_stays_green(c):
    marker, command = marker_command(c)
    app, ns = start_monitoring(c, hosts={"moving.lab.test": "127.0.0.2"},
                               ping="moving.lab.test", trytimes=3, tryinterval=1, djs=1,
                               cmduser=command)
    wait_status(c, "没掉线")
    # The name now points at .3, which answers; the old address goes silent.
    with open(os.path.join(ns.hosts_dir, "hosts"), "w") as f:  # in place: it is bind-mounted
        f.write("127.0.0.1\tlocalhost\n127.0.0.3\tmoving.lab.test\n")
    silence(ns, "127.0.0.2")
    mark = c.trace.mark()
    poll("the move seen", lambda: c.trace.find("target", "127.0.0.3", since=mark), 20, 0.2)
    time.sleep(8)
    shown = texts(c, mark)
    assert not [t for t in shown if t.startswith("倒数关机")], shown
    assert not os.path.exists(marker)
    assert "连续掉线：3" not in shown, shown
    assert shown[-1] == "没掉线，OK！", shown
    wait_frame(c, BarColours.GREEN)
    lookups = [f for e, f in log_lines(c) if e == "lookup"]
    assert lookups[-1] == {"target": "moving.lab.test", "result": "127.0.0.3"}, lookups


@case(timeout=120)
def test_sleep_and_a_silent_wake_within_the_grace_run_nothing(c):
    marker, command = marker_command(c)
    app, ns = start_monitoring(c, trytimes=3, tryinterval=1, djs=1, cmduser=command,
                               resumegrace=30)
    wait_status(c, "没掉线")
    assert c.send_message(WM_POWERBROADCAST, PBT_APMSUSPEND)
    ns.answers(False)
    mark = c.trace.mark()
    time.sleep(3)
    assert not c.trace.find("status", since=mark), "probed while asleep"
    # Windows sends both resume messages on a wake a person sees.
    c.send_message(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC)
    c.send_message(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND)
    wait_status(c, "^等待网络：", since=mark)
    time.sleep(9)  # longer than trytimes x (interval + time-out)
    shown = texts(c, mark)
    assert not [t for t in shown if t.startswith(("连续掉线", "倒数关机"))], shown
    ns.answers(True)
    wait_status(c, "没掉线", since=mark)
    wait_frame(c, BarColours.GREEN)
    assert not os.path.exists(marker)
    seen = events(c)
    assert seen.count("suspend") == 1 and seen.count("resume") == 1, seen
    assert "drop" not in seen, seen


@case(timeout=90)
def test_session_end_saves_the_place_cancels_the_countdown_and_ends_the_log(c):
    marker, command = marker_command(c)
    app, ns = start_monitoring(c, trytimes=1, tryinterval=1, djs=60, cmduser=command)
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^倒数关机：")
    bar = bar_window(c).geometry()
    # Answered "yes" at once, by every window of the program.
    answers = c.send_message(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)
    assert answers and all(a == 1 for a in answers), answers
    c.send_message(WM_ENDSESSION, 1, ENDSESSION_LOGOFF)
    ini = c.read_ini()
    assert (int(ini["posleft"]), int(ini["postop"])) == (bar.x, bar.y), (ini, bar)
    lines = log_lines(c)
    assert lines[-1] == ("exit", {"reason": "session-end"}), lines[-3:]
    assert ("cancel", {"by": "session-end"}) in lines, lines
    assert "run" not in [e for e, _ in lines]
    app.wait_exit(15)
    assert not os.path.exists(marker)


@case(timeout=120)
def test_a_loss_window_catches_every_other_probe_lost(c):
    # Every other echo request dropped: never two in a row, but 3 of the last 6.
    app, ns = start_monitoring(c, trytimes=3, trywindow=6, tryinterval=1, timeout=300, djs=30)
    wait_status(c, "没掉线")
    drop_every_other(ns)
    wait_status(c, "^倒数关机：", timeout=40)
    assert "drop" in events(c)


@case(timeout=120)
def test_misses_in_a_row_never_fire_on_every_other_probe_lost(c):
    app, ns = start_monitoring(c, trytimes=3, tryinterval=1, timeout=300, djs=30)
    wait_status(c, "没掉线")
    drop_every_other(ns)
    mark = c.trace.mark()
    poll("six misses", lambda: len([t for t in texts(c, mark) if t == "连续掉线：1"]) >= 6, 40,
         0.2)
    shown = texts(c, mark)
    assert "连续掉线：2" not in shown and not [t for t in shown if t.startswith("倒数")], shown


@case(timeout=120)
def test_a_pause_during_silence_runs_nothing_and_continue_counts_from_zero(c):
    marker, command = marker_command(c)
    app, ns = start_monitoring(c, trytimes=2, tryinterval=1, djs=1, cmduser=command)
    wait_status(c, "没掉线")
    open_menu(c)
    c.display.key("Down", "Down", "Right", "Return")  # 暂停监测 > 15 分钟
    wait_status(c, "^已暂停，至 \\d\\d:\\d\\d$")
    ns.answers(False)
    mark = c.trace.mark()
    time.sleep(6)
    assert not c.trace.find("status", since=mark), texts(c, mark)
    assert not os.path.exists(marker)
    open_menu(c)
    c.display.key("Down", "Down", "Return")  # 继续监测
    wait_status(c, "^连续掉线：1$", since=mark)
    seen = events(c)
    assert "pause" in seen and "continue" in seen, seen
    until = next(f for e, f in log_lines(c) if e == "pause")["until"]
    assert until, until


def drop_every_other(ns):
    ns.exec("nft", "add", "table", "inet", "w")
    ns.exec("nft", "add", "chain", "inet", "w", "in", "{ type filter hook input priority 0; }")
    ns.exec("nft", "add", "rule", "inet", "w", "in", "ip", "daddr", "127.0.0.1", "icmp", "type",
            "echo-request", "numgen", "inc", "mod", "2", "==", "0", "drop")
