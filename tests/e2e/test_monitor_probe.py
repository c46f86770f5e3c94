"""The monitor against loopback: targets typed in any of the forms a person
uses are watched, never dropped; a name that cannot be resolved counts
failures and sends nothing."""

import time

from harness import BarColours, case
from monitor_common import echo_requests_received, frame_is, start_monitoring, texts, \
    wait_frame, wait_status

OK = "没掉线，OK！"


def watch_healthy(c, target, hosts=None, probes=3):
    start_monitoring(c, hosts=hosts, ping=target)
    poll_until = time.monotonic() + 20
    while texts(c).count(OK) < probes and time.monotonic() < poll_until:
        time.sleep(0.2)
    shown = texts(c)
    assert shown.count(OK) >= probes, shown
    assert not [t for t in shown if t.startswith("连续掉线")], shown
    # The stored target stays as typed; only the monitor's copy is rewritten.
    assert c.read_ini()["ping"] == target


@case(timeout=90)
def test_healthy_address_shows_green(c):
    watch_healthy(c, "127.0.0.1")
    wait_frame(c, BarColours.GREEN)


@case(timeout=90)
def test_web_address_with_port_and_path_never_drops(c):
    watch_healthy(c, "http://127.0.0.1:8080/some/page")


@case(timeout=90)
def test_https_in_capitals_never_drops(c):
    watch_healthy(c, "HTTPS://127.0.0.1/")


@case(timeout=90)
def test_name_with_many_dots_is_looked_up(c):
    watch_healthy(c, "probe.a.b.vorlane.test", hosts={"probe.a.b.vorlane.test": "127.0.0.1"})


@case(timeout=90)
def test_unresolvable_name_counts_failures_and_sends_nothing(c):
    app, ns = start_monitoring(c, ping="nowhere.vorlane.test", trytimes=50)
    before = echo_requests_received(ns)
    wait_status(c, "^连续掉线：3$")
    assert echo_requests_received(ns) == before
    assert OK not in texts(c)
    assert frame_is(c, BarColours.RED)
