"""Several targets, targets that can never answer, and what the alarm does
besides running the command: cancel by the menu or by recovery, watching
again after the action with the recovery command, and counting only once a
target has answered. Every probe stays on loopback inside the case's own
network namespace."""

import os
import time

from bar_steps import warning_box
from harness import BarColours, case, poll
from monitor_common import open_menu, silence, start_monitoring, texts, wait_frame, \
    wait_status, windows_path

OK = "没掉线，OK！"


def ini_without_position(c):
    with open(c.ini_path, encoding="utf-8") as f:
        return [l for l in f.read().splitlines() if not l.startswith(("posleft=", "postop="))]


def refused_at_ok(c, target, answer_keys):
    """Starts on a stored `target`, presses OK, lets `answer_keys` answer
    the box that comes, cancels the dialog; returns the box's texts."""
    c.write_ini({"ping": target, "trytimes": 3, "tryinterval": 60}, section="Vorlane")
    before = ini_without_position(c)
    app = c.start(wait_dialog=True)
    c.display.wait_window("设定").focus()
    c.display.key("Return")
    box = c.wait_windows("Vorlane", 15, where=lambda w: w.cls == "#32770" and any(
        "：" in k.text for k in w.controls))
    shown = box.texts()
    time.sleep(0.2)
    c.display.key(*answer_keys)
    dialog = c.wait_windows("设定", where=lambda w: w.focus_id is not None)
    assert dialog.focus_id is not None
    c.display.key("Escape")
    app.wait_exit(15)
    assert ini_without_position(c) == before, "nothing may be stored"
    return shown


@case(timeout=150)
def test_targets_that_can_never_answer_are_refused_and_an_unresolved_name_asked_about(c):
    c.network()
    for target in ("0.0.0.0", "127.0.0.1 255.255.255.255"):
        shown = refused_at_ok(c, target, ["Return"])
        assert any(t.startswith("不是单个主机的地址") and "0.0.0.0" in t or
                   "255.255.255.255" in t for t in shown), shown
    shown = refused_at_ok(c, "nowhere.vorlane.test", ["Tab", "Return"])  # No
    assert "目前无法解析：nowhere.vorlane.test，仍然监测吗？" in shown, shown


@case(timeout=120)
def test_one_silent_target_of_two_is_no_drop_and_both_silent_run_the_command(c):
    marker = os.path.join(c.folder, "marker.txt")
    app, ns = start_monitoring(c, ping="127.0.0.2, 127.0.0.1", trytimes=2,
                               cmduser=f"echo done> {windows_path(marker)}",
                               before_confirm=lambda ns: silence(ns, "127.0.0.2"))
    poll("four answered cycles", lambda: texts(c).count(OK) >= 4, 20)
    assert not [t for t in texts(c) if t.startswith("连续掉线")], texts(c)
    wait_frame(c, BarColours.GREEN)
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=30)
    assert os.path.isfile(marker)


@case(timeout=120)
def test_menu_cancels_the_countdown_and_monitoring_starts_again(c):
    app, ns = start_monitoring(c, trytimes=1, djs=30, cmduser="echo never")
    wait_status(c, OK)
    ns.answers(False)
    wait_status(c, "^倒数关机：28$", timeout=20)
    open_menu(c)
    # Without "cancelonup" nothing is probed during the countdown: the
    # answers only count once the menu has cancelled it.
    ns.answers(True)
    c.display.key("Down", "Return")  # the first item, 取消倒计时
    c.trace.wait_for("alarm", "cancelled-by-menu", timeout=10)
    wait_status(c, OK, since=c.trace.mark())
    wait_frame(c, BarColours.GREEN)
    assert not c.trace.find("run")


@case(timeout=120)
def test_an_answer_during_the_countdown_cancels_it_with_cancelonup(c):
    app, ns = start_monitoring(c, trytimes=1, djs=30, cancelonup=1, cmduser="echo never")
    wait_status(c, OK)
    ns.answers(False)
    wait_status(c, "^倒数关机：28$", timeout=20)
    ns.answers(True)
    c.trace.wait_for("alarm", "cancelled-by-recovery", timeout=10)
    wait_status(c, OK, since=c.trace.mark())
    assert not c.trace.find("run")


@case(timeout=150)
def test_rearm_acts_again_at_the_next_drop_and_runs_the_recovery_command_once(c):
    log = os.path.join(c.folder, "actions.txt")
    # Two misses make a drop, so that the answers are back before the first
    # cycle after the action ends.
    app, ns = start_monitoring(c, trytimes=2, djs=1, rearm=1,
                               cmduser=f"echo down>> {windows_path(log)}",
                               cmdup=f"echo up>> {windows_path(log)}")
    wait_status(c, OK)
    ns.answers(False)
    c.trace.wait_for("alarm", "rearmed", timeout=20)
    mark = c.trace.mark()
    ns.answers(True)
    poll("three answers after the action", lambda: texts(c, mark).count(OK) >= 3, 20)
    ns.answers(False)
    poll("the second action", lambda: len(c.trace.find("run")) == 2, 20)
    assert len(c.trace.find("run-up")) == 1
    # The outage goes on: further actions follow, each after a doubled
    # countdown.
    def written():
        return open(log).read().split() if os.path.exists(log) else []
    poll("both commands written", lambda: written()[:3] == ["down", "up", "down"], 10)


@case(timeout=120)
def test_armfirst_counts_nothing_until_an_answer_then_a_drop_runs_the_command(c):
    marker = os.path.join(c.folder, "marker.txt")
    app, ns = start_monitoring(c, trytimes=2, djs=0, armfirst=1,
                               cmduser=f"echo done> {windows_path(marker)}",
                               before_confirm=lambda ns: ns.answers(False))
    wait_status(c, "^等待应答：5$", timeout=30)
    wait_frame(c, BarColours.RED)
    assert not c.trace.find("run")
    assert not [t for t in texts(c) if t.startswith("连续掉线")], texts(c)
    ns.answers(True)
    wait_status(c, OK)
    ns.answers(False)
    wait_status(c, "^停止！$", timeout=20)
    assert os.path.isfile(marker)


# Sends each echo reply `sys.argv[1]` seconds late, in place of the kernel,
# whose own answers the case turns off.
LATE_RESPONDER = r"""
import socket, struct, sys, threading, time
delay = float(sys.argv[1])
s = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_ICMP)

def checksum(b):
    if len(b) % 2:
        b += b"\0"
    t = sum(struct.unpack("!%dH" % (len(b) // 2), b))
    t = (t >> 16) + (t & 0xFFFF)
    t += t >> 16
    return ~t & 0xFFFF

def reply(icmp, source):
    time.sleep(delay)
    out = bytearray(icmp)
    out[0] = 0
    out[2:4] = b"\0\0"
    out[2:4] = struct.pack("!H", checksum(bytes(out)))
    s.sendto(bytes(out), (source, 0))

end = time.time() + 200
while time.time() < end:
    data, (source, _) = s.recvfrom(65535)
    icmp = data[(data[0] & 15) * 4:]
    if icmp[0] == 8:
        threading.Thread(target=reply, args=(icmp, source), daemon=True).start()
"""


@case(timeout=150)
def test_replies_late_by_1_2_s_count_with_a_3_s_time_out_and_are_lost_with_the_default(c):
    import subprocess
    from bar_steps import IDC_TIMEOUT, tab_to
    responders = []

    def late_answers(ns):
        ns.answers(False)
        responders.append(subprocess.Popen(ns.command("python3", "-c", LATE_RESPONDER, "1.2")))
        time.sleep(1)  # the responder's socket is open before the first probe

    try:
        app, ns = start_monitoring(c, trytimes=2, timeout=3000, before_confirm=late_answers)
        poll("three late answers", lambda: texts(c).count(OK) >= 3, 30)
        assert not [t for t in texts(c) if t.startswith("连续掉线")], texts(c)
        mark = c.trace.mark()
        open_menu(c)
        c.display.key("Down", "Return")  # 设定
        c.display.wait_window("设定").focus()
        tab_to(c, IDC_TIMEOUT)
        c.display.type_text("1000")
        c.display.key("Return")
        wait_status(c, "^连续掉线：2$", timeout=30, since=mark)
        assert c.read_ini()["timeout"] == "1000"
    finally:
        for responder in responders:
            responder.kill()
            responder.wait()
