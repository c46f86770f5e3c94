"""Probes beyond IPv4 ping: TCP targets answered by a connection or a
refusal, silent ones of every kind dropped within cycles of one time-out,
and ICMPv6 echo as this Wine does it. Every probe stays on 127.0.0.0/8 or ::1
inside the case's own network namespace."""

import os
import re

from harness import BarColours, case, poll
from monitor_common import DEFAULTS, confirm_settings, drop, listen, silence, \
    start_monitoring, texts, wait_frame, wait_status, windows_path
from test_event_log import log_lines
from test_monitor_targets import ini_without_position, refused_at_ok

OK = "没掉线，OK！"
PORT = 47001
PORT6 = 47006
NO_IPV6_ECHO = "本系统无法用ping探测IPv6地址，请改用 tcp://[地址]:端口"


def probe_ends(c, since=0):
    """(probe, status) of every probe that ended, in order."""
    return [(l.fields[1], l.fields[2]) for l in c.trace.find("probe", "^end\t", since)]


def ends_of(c, probe, status, since=0):
    return [p for p, s in probe_ends(c, since) if p == probe and s == status]


def end_listener(process):
    process.kill()
    process.wait(10)


def confirm_past_the_ipv6_warning(c, since=0, after_warning=None):
    """OK in the settings dialog. Where this Wine cannot send ICMPv6 echo
    requests, an echo to an IPv6 address makes the first OK only warn; then
    after_warning() runs and a second OK stores. Returns whether it warned,
    once the bar shows "准备中..."."""
    c.display.wait_window("设定").focus()
    c.display.key("Return")

    def warned():
        # Once it has the keyboard focus, so that the key below reaches it.
        return [w for w in c.windows("Vorlane") if w.cls == "#32770" and
                NO_IPV6_ECHO in w.texts() and w.focus_id is not None]

    poll("the warning or the bar", lambda: warned() or c.trace.find("status", "准备中", since),
         20)
    if c.trace.find("status", "准备中", since):
        return False
    c.display.key("Return")
    c.wait_windows("设定", where=lambda w: w.focus_id is not None)
    if after_warning:
        after_warning()
    confirm_settings(c, since=since)
    return True


@case(timeout=150)
def test_tcp_targets_answer_by_a_connection_and_by_a_refusal(c):
    hosts = {"six.vorlane.test": "::1"}
    ns = c.network(hosts)
    listeners = [listen(ns, "127.0.0.1", PORT), listen(ns, "::1", PORT6)]
    v4, v6 = f"tcp://127.0.0.1:{PORT}", f"tcp://[::1]:{PORT6}"
    try:
        # The name has only an IPv6 address: it is probed there.
        start_monitoring(c, ping=f"{v4}, {v6} tcp://six.vorlane.test:{PORT6}")
        poll("three answered cycles", lambda: texts(c).count(OK) >= 3, 30)
        wait_frame(c, BarColours.GREEN)
        assert c.trace.find("target", "^2\t::1$"), c.trace.find("target")
        assert len(ends_of(c, v4, "answered")) >= 3
        assert len(ends_of(c, v6, "answered")) >= 6  # the literal and the name
    finally:
        for process in listeners:
            end_listener(process)
    # Nothing listens now: each connection is refused, which answers as well.
    since = c.trace.mark()
    poll("refused connections answered",
         lambda: len(ends_of(c, v4, "answered", since)) >= 3 and
         len(ends_of(c, v6, "answered", since)) >= 6, 30)
    assert not [p for p in probe_ends(c) if p[1] != "answered"], probe_ends(c)
    assert not [t for t in texts(c) if t.startswith("连续掉线")], texts(c)
    wait_frame(c, BarColours.GREEN)


@case(timeout=180)
def test_silent_targets_of_every_kind_drop_in_cycles_of_one_time_out(c):
    ns = c.network()
    silence(ns, "127.0.0.3")
    drop(ns, "ip", "daddr", "127.0.0.2", "tcp", "dport", str(PORT), "tcp", "flags", "syn")
    drop(ns, "ip6", "daddr", "::1", "tcp", "dport", str(PORT6), "tcp", "flags", "syn")
    # Silent too where this Wine can send ICMPv6 echo requests.
    drop(ns, "ip6", "daddr", "::1", "icmpv6", "type", "echo-request")
    marker = os.path.join(c.folder, "marker.txt")
    silent = ["127.0.0.3", f"tcp://127.0.0.2:{PORT}", f"tcp://[::1]:{PORT6}"]
    values = dict(DEFAULTS, ping=", ".join(silent + ["::1"]), trytimes=2, djs=1, timeout=3000,
                  cmduser=f"echo done> {windows_path(marker)}")
    c.write_ini(values, section="Vorlane")
    c.start(wait_dialog=True)
    confirm_past_the_ipv6_warning(c)
    wait_status(c, "^停止！$", timeout=60)
    assert os.path.isfile(marker)
    assert "连续掉线：2" in texts(c), texts(c)
    for probe in silent:
        assert len(ends_of(c, probe, "unanswered")) >= 2, probe_ends(c)
    assert not [p for p in probe_ends(c) if p[1] == "answered"], probe_ends(c)
    # One cycle's probes overlap: every silent one had started before the
    # first of them ran into its time-out, so the cycle lasts one time-out.
    lines = [l.fields[:2] for l in c.trace.find("probe")]
    first_end = next(i for i, (what, probe) in enumerate(lines)
                     if what == "end" and probe in silent)
    started = {probe for what, probe in lines[:first_end] if what == "start"}
    assert set(silent) <= started, lines[:first_end + 1]


@case(timeout=180)
def test_icmpv6_echo_as_this_wine_does_it(c):
    c.network()
    # A zone index that names no interface is refused at OK, every time.
    shown = refused_at_ok(c, "fe80::1%99", ["Return"])
    assert "没有这个编号的网络接口：fe80::1%99" in shown, shown

    marker = os.path.join(c.folder, "marker.txt")
    c.write_ini({"ping": "::1", "trytimes": 2, "tryinterval": 1, "djs": 1,
                 "cmduser": f"echo done> {windows_path(marker)}", "bwav": 0}, section="Vorlane")
    before = ini_without_position(c)
    since = c.trace.mark()
    c.start(wait_dialog=True)

    def nothing_stored():
        assert ini_without_position(c) == before, "the first OK stores nothing"

    # Warned once; OK again stores the target and watches it as it can.
    if not confirm_past_the_ipv6_warning(c, since, nothing_stored):
        # This Wine sends ICMPv6 echo requests: ::1 answers.
        poll("three answered cycles", lambda: texts(c, since).count(OK) >= 3, 30)
        wait_frame(c, BarColours.GREEN)
        return
    assert c.read_ini()["ping"] == "::1"
    c.trace.wait_for("monitor", "^unsupported\t0$", since=since)
    shown_since = c.trace.mark()
    poll("six more cycles", lambda: len(c.trace.find("status", since=shown_since)) >= 6, 30)
    assert ends_of(c, "::1", "unsupported", since)
    assert not ends_of(c, "::1", "answered", since)
    # Nothing counted, nothing run, however long it lasts.
    counted = [t for t in texts(c, since) if re.match(r"连续掉线：[1-9]|倒数关机|执行命令行", t)]
    assert not counted, texts(c, since)
    assert not os.path.exists(marker)
    # The bar says why, in red, and the log has the warning once.
    wait_status(c, "^不支持IPv6探测$", since=since)
    wait_frame(c, BarColours.RED)
    warnings = [f for e, f in log_lines(c) if e == "warning"]
    assert warnings.count({"text": "不支持IPv6探测：::1"}) == 1, warnings
