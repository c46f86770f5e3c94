"""Shared steps of the monitor and alarm end-to-end cases: start the program
in a network namespace of its own, confirm the start-up settings, read the
bar's frame colour and the status texts of the trace."""

import os
import re
import subprocess
import time

from harness import BarColours, bar_probe_points, near, poll

DEFAULTS = {"ping": "127.0.0.1", "trytimes": 3, "tryinterval": 1, "djs": 3, "cmduser": "",
            "bwav": 0, "bshutdown": 0}


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start_monitoring(c, hosts=None, before_confirm=None, **settings):
    """Runs the program against loopback in its own namespace and confirms
    the start-up settings (calling before_confirm(namespace) just before);
    returns (app, namespace) once the bar shows "准备中..."."""
    ns = c.network(hosts)
    values = dict(DEFAULTS)
    values.update(settings)
    c.write_ini(values, section="Vorlane")
    app = c.start(wait_dialog=True)
    if before_confirm:
        before_confirm(ns)
    confirm_settings(c)
    return app, ns


def confirm_settings(c, since=0, timeout=30):
    """OK in the settings dialog, Yes to each question about a name that
    does not resolve now; returns once the bar shows "准备中..."."""
    c.display.wait_window("设定").focus()
    c.display.key("Return")
    answered = 0
    deadline = time.monotonic() + timeout
    while not c.trace.find("status", "准备中", since=since):
        asked = c.trace.find("window", "^lookup-question", since=since)
        if len(asked) > answered:
            c.wait_windows("Vorlane", 10, where=lambda w: w.cls == "#32770")
            time.sleep(0.2)
            c.display.key("Return")  # Yes, the default button
            answered += 1
        assert time.monotonic() < deadline, "the bar never showed 准备中..."
        time.sleep(0.1)
    return answered


def drop(ns, *match):
    """Packets that `match` (an nftables match, e.g. "ip", "daddr",
    "127.0.0.2") are dropped on their way in, inside the namespace."""
    for rule in (["add", "table", "inet", "t"],
                 ["add", "chain", "inet", "t", "in",
                  "{ type filter hook input priority 0; }"],
                 ["add", "rule", "inet", "t", "in", *match, "drop"]):
        if rule[1] != "rule" and getattr(ns, "_nft_ready", False):
            continue
        ns.exec("nft", *rule)
    ns._nft_ready = True


def silence(ns, address):
    """Echo requests to `address` are dropped inside the namespace, while
    the rest of loopback answers."""
    drop(ns, "ip", "daddr", address, "icmp", "type", "echo-request")


LISTENER = """
import socket, sys
family = socket.AF_INET6 if ":" in sys.argv[1] else socket.AF_INET
server = socket.socket(family, socket.SOCK_STREAM)
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind((sys.argv[1], int(sys.argv[2])))
server.listen(64)
print("ready", flush=True)
while True:
    server.accept()[0].close()
"""


def listen(ns, address, port):
    """A TCP listener on `address`:`port` inside the namespace that takes
    every connection and closes it; returns its process, ready. End it with
    .kill() and .wait() (it is the listener itself: ip exec's it)."""
    process = subprocess.Popen(ns.command("python3", "-c", LISTENER, address, str(port)),
                               stdout=subprocess.PIPE, text=True)
    assert process.stdout.readline().strip() == "ready", f"no listener on {address}:{port}"
    return process


def texts(c, since=0):
    return [text for _, text in c.trace.statuses(since)]


def wait_status(c, pattern, timeout=20, since=0):
    """The first status line whose text (without its colour) matches the
    regular expression `pattern`."""
    def found():
        return [l for l in c.trace.find("status", since=since)
                if re.search(pattern, l.detail.partition("\t")[2])]
    return poll(f"status {pattern}", found, timeout, 0.05)[0]


def bar_window(c):
    return c.display.wait_window("Vorlane")


def frame_is(c, colour):
    """True when every point of the frame shows `colour`."""
    bar = bar_window(c)
    geometry = bar.geometry()
    shot = c.display.screenshot()
    points = bar_probe_points(geometry)
    frame = [points[k] for k in ("frame_left", "frame_right", "frame_top", "frame_bottom")]
    return all(near(shot.pixel(x, y), colour, 6) for x, y in frame)


def wait_frame(c, colour, timeout=10):
    name = "green" if colour == BarColours.GREEN else "red"
    poll(f"a {name} frame", lambda: frame_is(c, colour), timeout, 0.2)


def echo_requests_received(ns):
    """Echo requests that reached the namespace's stack so far."""
    out = os.popen(" ".join(ns.command("cat", "/proc/net/snmp"))).read().splitlines()
    header = next(l for l in out if l.startswith("Icmp:") and "InEchos" in l).split()
    values = next(l for l in out if l.startswith("Icmp:") and "InEchos" not in l).split()
    return int(values[header.index("InEchos")])


def open_menu(c):
    """Right-clicks the bar; its menu runs a modal loop of its own. Returns a
    test of whether the menu is still open."""
    bar = bar_window(c)

    def visible():
        out = c.display.xdotool("search", "--onlyvisible", "--name", "", check=False)
        return set(out.split())

    before = visible()
    bar.right_click(10, 5)
    menu = poll("the bar's menu", lambda: visible() - before, 5)
    time.sleep(0.3)
    return lambda: menu <= visible()
