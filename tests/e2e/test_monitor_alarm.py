"""Drops made on loopback inside the case's own network namespace, and the
alarm sequence that follows them."""

import os
import subprocess
import time

from harness import BarColours, case, poll
from monitor_common import open_menu, start_monitoring, texts, wait_frame, wait_status, \
    windows_path

COUNTDOWN_3 = ["倒数关机：3", "倒数关机：2", "倒数关机：1"]


def report_exit(c):
    lines = {l.detail: l.ms for l in c.trace.find("window")}
    print(f"exit: {lines['exit-end'] - lines['exit-command']} ms from the command to the end, "
          f"{lines['monitor-stopped'] - lines['monitor-stopping']} ms of it stopping the monitor")


def after(items, first):
    return items[items.index(first):]


@case(timeout=120)
def test_drop_counts_down_runs_the_command_and_stops(c):
    marker = os.path.join(c.folder, "marker.txt")
    played = c.capture_sound()
    app, ns = start_monitoring(c, trytimes=3, tryinterval=1, djs=3, bwav=1,
                               cmduser=f"echo done> {windows_path(marker)}")
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=40)
    shown = texts(c)
    assert after(shown, "连续掉线：1") == ["连续掉线：1", "连续掉线：2", "连续掉线：3",
                                          *COUNTDOWN_3, "执行命令行...", "停止！"], shown
    assert os.path.isfile(marker)
    sounds = [l.detail for l in c.trace.find("sound")]
    assert sounds[0] == "close all" and sounds[1].startswith("open ") \
        and sounds[2].startswith("play ") and sounds[2].lower().endswith("alert.wav"), sounds
    assert c.trace.find("run")[0].detail == f'cmd.exe /c "echo done> {windows_path(marker)}"'
    wait_frame(c, BarColours.RED)
    # The delay from an unanswered probe's time-out to its status line.
    oks = [l for l in c.trace.find("status") if "没掉线" in l.detail]
    first_fail = c.trace.find("status", "连续掉线：1")[0]
    print(f"first drop line {first_fail.ms - oks[-1].ms - 2000} ms after the probe's time-out")
    print(f"sound bytes played: {os.path.getsize(played) if os.path.exists(played) else 0}")


@case(timeout=90)
def test_missing_sound_file_does_not_stop_the_alarm(c):
    sound = os.path.join(c.folder, "alert.wav")
    if os.path.exists(sound):
        os.remove(sound)
    app, ns = start_monitoring(c, trytimes=1, djs=1, bwav=1, bshutdown=1)
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^倒数关机：1$", timeout=20)
    time.sleep(2.5)
    assert not c.trace.find("sound")
    # With the shutdown step set the bar keeps its last figure.
    assert texts(c)[-1] == "倒数关机：1"


@case(timeout=90)
def test_recovery_after_two_failures_clears_the_count(c):
    app, ns = start_monitoring(c, trytimes=5)
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^连续掉线：2$")
    ns.answers(True)
    mark = c.trace.mark()
    wait_status(c, "没掉线", since=mark)
    wait_frame(c, BarColours.GREEN)
    ns.answers(False)
    wait_status(c, "^连续掉线：1$", since=mark)
    assert "连续掉线：3" not in texts(c)


@case(timeout=120)
def test_drop_limit_while_the_menu_is_open_still_runs_the_alarm(c):
    app, ns = start_monitoring(c, trytimes=2, djs=2)
    wait_status(c, "没掉线")
    menu_open = open_menu(c)
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=30)
    assert after(texts(c), "连续掉线：1") == ["连续掉线：1", "连续掉线：2", "倒数关机：2",
                                          "倒数关机：1", "停止！"]
    assert menu_open(), "the whole sequence should have run inside the menu's loop"
    c.display.key("Escape")


@case(timeout=120)
def test_settings_confirmed_during_the_countdown_do_not_stop_it(c):
    app, ns = start_monitoring(c, trytimes=1, djs=10)
    wait_status(c, "没掉线")
    ns.answers(False)
    wait_status(c, "^倒数关机：9$", timeout=20)
    mark = c.trace.mark()
    open_menu(c)
    c.display.key("Down", "Down", "Return")  # below "取消倒计时", Settings
    c.display.wait_window("设定").focus()
    c.display.key("Return")
    wait_status(c, "准备中", since=mark)
    wait_status(c, "^停止！$", since=mark, timeout=30)
    shown = texts(c, mark)
    ready = shown.index("准备中...")
    assert shown[ready + 1].startswith("倒数关机："), shown
    assert shown[-1] == "停止！"


@case(timeout=120)
def test_exit_during_a_lookup_ends_the_program_at_once(c):
    # A name server inside the namespace that takes the query and never
    # answers: the lookup of the target hangs for 30 s. It starts only once
    # the program is up, so that Wine's own start-up is not held up by it.
    ns = c.network()
    ns.set_resolver("nameserver 127.0.0.1\noptions timeout:30 attempts:1\n")
    servers = []

    def start_silent_server(namespace):
        servers.append(subprocess.Popen(namespace.command(
            "python3", "-c",
            "import socket,time; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); "
            "s.bind(('127.0.0.1', 53)); time.sleep(300)")))
        time.sleep(0.5)

    try:
        app, _ = start_monitoring(c, ping="slow.vorlane.test", before_confirm=start_silent_server)
        time.sleep(1.5)
        assert not c.trace.find("status", "掉线"), "the lookup should still be running"
        open_menu(c)
        c.display.key("Up", "Return")  # the last item, Exit
        # Well inside the 30 s that the lookup would still take.
        app.wait_exit(15)
        report_exit(c)
    finally:
        for server in servers:
            server.kill()
            server.wait()


@case(timeout=90)
def test_exit_during_a_probe(c):
    app, ns = start_monitoring(c, trytimes=50)
    wait_status(c, "没掉线")
    ns.answers(False)
    open_menu(c)
    # A failure line comes at the end of a probe; the next probe starts after
    # the one-second wait and lasts its one-second time-out.
    mark = c.trace.mark()
    wait_status(c, "连续掉线", since=mark)
    time.sleep(1.3)
    c.display.key("Up", "Return")
    app.wait_exit(15)
    report_exit(c)
    poll("the program's end", lambda: not app.running(), 5)
