#!/usr/bin/env python3
"""The Wine half of scripts/bench.sh: start, redraw, Exit and memory figures
of Vorlane.exe and of the empty baseline dialog, all in one Xvfb display and
one Wine prefix (a private clone, running inside a network namespace with
only lo up, so that a probe can be made to go unanswered). Prints one JSON
object; bench.sh makes the table.

    wine_figures.py --exe Vorlane.exe --baseline empty_dialog.exe --prefix DIR
                    --work DIR [--runs 3] [--probes 60]
"""

import argparse
import contextlib
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import bar_steps  # noqa: E402
import harness  # noqa: E402

SETTINGS = dict(bar_steps.QUIET)
# An English user interface; the cases' own is Chinese (harness.WINE_BASE_ENV).
ENGLISH = {"LANG": "en_US.UTF-8", "LC_MESSAGES": "en_US.UTF-8"}


def launch(c, exe_name, env=None):
    """Starts an exe of the case folder the way Case.start does (inside the
    namespace), for a program other than Vorlane.exe."""
    full_env = harness.wine_env(c.prefix, DISPLAY=c.display.name, VORLANE_TRACE=c.trace.path,
                                **(env or {}))
    full_env.pop("XAUTHORITY", None)
    command = c.netns.command("env", *[f"{k}={v}" for k, v in full_env.items()], "wine",
                              os.path.join(c.folder, exe_name))
    with open(c.wine_log, "ab") as log:
        process = subprocess.Popen(command, cwd=c.folder, env=full_env, stdout=log, stderr=log,
                                   start_new_session=True)
    app = harness.App(c, process, exe_name, time.monotonic())
    c.apps.append(app)
    return app


class MapWatcher:
    """The moment the X server maps each top-level window, from one xev
    listening on the root window. A start is timed to the map itself: polling
    with xdotool searches was only as exact as its period (a search and a
    sleep, 15-25 ms) and started a process every period on the cores the
    program being timed was starting on."""

    def __init__(self, display):
        self.maps = []  # (time.monotonic(), X window id), in order
        self.lock = threading.Lock()
        self.process = subprocess.Popen(
            ["xev", "-display", display.name, "-root", "-event", "substructure"],
            env=display.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
            bufsize=1)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        # "MapNotify event, serial 18, synthetic NO, window <root>,"
        # "    event <root>, window <mapped>, override NO"
        seen = None
        for line in self.process.stdout:
            if line.startswith("MapNotify"):
                seen = time.monotonic()
            elif seen is not None:
                found = re.search(r"\bwindow (0x[0-9a-fA-F]+)", line)
                if found:
                    with self.lock:
                        self.maps.append((seen, int(found.group(1), 16)))
                seen = None

    def since(self, index):
        with self.lock:
            return self.maps[index:]


_watchers = {}


def until_window(c, title, started):
    """Seconds from `started` to the map of a window titled `title`."""
    watcher = _watchers.get(c.display.name)
    if watcher is None:
        raise harness.HarnessError("no map watcher on this display: call watch_maps first")
    checked = 0
    while True:
        new = watcher.since(checked)
        checked += len(new)
        for seen, window in new:
            if seen < started:
                continue
            name = c.display.xdotool("getwindowname", window, check=False).strip()
            if name == title:
                return seen - started
        if time.monotonic() - started > 60:
            raise harness.HarnessError(f"{title} did not show")
        time.sleep(0.002)


def watch_maps(c):
    """Starts timing window maps on the case's display; before any launch."""
    if c.display.name in _watchers:
        return
    watcher = MapWatcher(c.display)
    # xev prints nothing until an event comes: a window of its own mapped
    # and seen proves that it listens. One mapped before xev had asked for
    # the root's events goes unseen, so a new one is shown until one is.
    deadline = time.monotonic() + 20
    while not watcher.since(0):
        if time.monotonic() > deadline:
            raise harness.HarnessError("xev saw no map")
        shown = subprocess.Popen(["xmessage", "listening"], env=c.display.env(),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            with contextlib.suppress(harness.HarnessError):
                harness.poll("xev to see a map", lambda: watcher.since(0), timeout=2)
        finally:
            shown.kill()
            shown.wait()
    _watchers[c.display.name] = watcher


class ProcessEnd:
    """The moment a launched program's process ends, from a thread blocked
    in waitpid on it: the launcher is the Wine process itself (ip, env and
    wine each exec the next). Polling /proc every 20 ms, as the tests'
    wait_exit does, was only as exact as its period, coarser than the
    exits timed, and scanned /proc on the cores the exit ran on."""

    def __init__(self, app):
        self.app, self.seen = app, None
        self.thread = threading.Thread(target=self._wait, daemon=True)
        self.thread.start()

    def _wait(self):
        self.app.process.wait()
        self.seen = time.monotonic()

    def since(self, pressed, timeout=30):
        """Seconds from `pressed` to the end, once the program has ended."""
        self.thread.join(timeout)
        if self.seen is None:
            raise harness.HarnessError(f"{self.app.exe_name} did not end")
        self.app.wait_exit(5)
        return self.seen - pressed


def start_figure(c, exe_name, title, env=None):
    """Launch to the window on screen, then Escape; returns (start, exit
    outside) in seconds."""
    app = launch(c, exe_name, env) if exe_name != c.exe_name else c.start(env=env)
    ended = ProcessEnd(app)
    shown = until_window(c, title, app.started)
    c.display.wait_window(title).focus()
    time.sleep(0.3)
    pressed = time.monotonic()
    c.display.xdotool("key", "Escape")
    gone = ended.since(pressed)
    c.apps.remove(app)
    return shown, gone


def auto_start_figure(c):
    """Launch with /auto to the trace line of the first probe's result (read
    from outside, like the dialog figure); then Exit by the menu."""
    mark = c.trace.mark()
    app = c.start(args=["/auto"])
    while not c.trace.find("status", "没掉线", since=mark):
        if time.monotonic() - app.started > 60:
            raise harness.HarnessError("no probe result after /auto")
        time.sleep(0.005)
    shown = time.monotonic() - app.started
    c.trace.wait_for("window", "^auto-start$", timeout=2, since=mark)
    exit_figure(c, mark)
    return shown


def exit_figure(c, since):
    """Exit by the bar's menu; returns (inside, outside) in seconds."""
    bar = c.display.wait_window("Vorlane")
    bar_steps.open_menu(c, bar)
    time.sleep(0.3)
    c.display.xdotool("key", "Up")
    time.sleep(0.2)
    app = c.apps[-1]
    ended = ProcessEnd(app)
    pressed = time.monotonic()
    c.display.xdotool("key", "Return")
    outside = ended.since(pressed)
    command = c.trace.wait_for("window", "^exit-command$", timeout=2, since=since)
    end = c.trace.wait_for("window", "^exit-end$", timeout=2, since=since)
    c.apps.remove(app)
    return (end.ms - command.ms) / 1000.0, outside


def run_bar(c, env=None, **settings):
    values = dict(SETTINGS)
    values.update(settings)
    c.write_ini(values)
    mark = c.trace.mark()
    app = c.start(env=env)
    bar_steps.confirm_startup(c, since=mark)
    return app, mark


def memory_kb(pid):
    """RssAnon and VmRSS of the Wine process, from /proc, in kB."""
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("RssAnon", "VmRSS"):
                values[key] = int(rest.split()[0])
    return values


EIGHT = " ".join(f"127.0.0.{i}" for i in range(1, 9))


def drop_detection_ms(c, ns, ping):
    """Last answered probe → the drop limit (trytimes 3, interval 1 s, the
    default time-out), both from the trace, with every target silent."""
    app, mark = run_bar(c, ping=ping, tryinterval=1, trytimes=3)
    c.trace.wait_for("status", "OK", timeout=20, since=mark)
    ns.answers(False)
    drop = c.trace.wait_for("status", "连续掉线：3", timeout=30, since=mark)
    last_ok = [l for l in c.trace.find("status", "没掉线", since=mark) if l.ms < drop.ms][-1]
    exit_figure(c, mark)
    ns.answers(True)
    return drop.ms - last_ok.ms


def target_figures(c, ns, args, figures):
    """Drop detection and memory with 1 and with 8 targets, alternated."""
    detection = {"1": [], "8": []}
    for _ in range(args.runs):
        for key, ping in (("1", "127.0.0.1"), ("8", EIGHT)):
            detection[key].append(drop_detection_ms(c, ns, ping))
    for key, times in detection.items():
        figures[f"drop_detection_{key}_ms"] = statistics.median(times)
    for key, ping in (("1", "127.0.0.1"), ("8", EIGHT)):
        app, mark = run_bar(c, ping=ping, tryinterval=1)
        harness.poll(f"{args.probes} probes", lambda: len(
            c.trace.find("status", "没掉线", since=mark)) >= args.probes, args.probes * 3 + 30, 0.2)
        figures[f"memory_targets_{key}"] = memory_kb(app.exe_pid())
        exit_figure(c, mark)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--baseline", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--starts", type=int, default=7)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--probes", type=int, default=60)
    parser.add_argument("--targets-only", action="store_true",
                        help="only the figures of one against eight targets")
    args = parser.parse_args()

    harness.ensure_prefix(args.prefix)
    c = harness.Case("bench", args.exe, args.prefix, args.work, os.path.join(args.work, "out"))
    figures = {}
    try:
        ns = c.network()
        with open(os.path.join(ns.hosts_dir, "resolv.conf"), "w") as f:
            f.write("nameserver 127.0.0.1\n")
        baseline = os.path.basename(args.baseline)
        shutil.copy2(args.baseline, os.path.join(c.folder, baseline))
        bare = os.path.basename(args.bare)
        shutil.copy2(args.bare, os.path.join(c.folder, bare))
        c.write_ini(SETTINGS)
        if args.targets_only:
            target_figures(c, ns, args, figures)
            print(json.dumps(figures))
            return 0

        watch_maps(c)
        # The first runs start Wine's services in the namespace; not counted.
        start_figure(c, c.exe_name, "设定")
        start_figure(c, baseline, "EmptyBaseline")
        start_figure(c, bare, "设定")
        start_figure(c, c.exe_name, "Settings", ENGLISH)
        starts, auto_starts, bare_starts, base_starts, base_exits = [], [], [], [], []
        en_starts, en_bare_starts = [], []
        for _ in range(args.starts):
            starts.append(start_figure(c, c.exe_name, "设定")[0])
            en_starts.append(start_figure(c, c.exe_name, "Settings", ENGLISH)[0])
            en_bare_starts.append(start_figure(c, bare, "Settings", ENGLISH)[0])
            auto_starts.append(auto_start_figure(c))
            bare_starts.append(start_figure(c, bare, "设定")[0])
            shown, gone = start_figure(c, baseline, "EmptyBaseline")
            base_starts.append(shown)
            base_exits.append(gone)
        figures["start_ms"] = statistics.median(starts) * 1000
        figures["auto_start_ms"] = statistics.median(auto_starts) * 1000
        figures["bare_start_ms"] = statistics.median(bare_starts) * 1000
        figures["start_en_ms"] = statistics.median(en_starts) * 1000
        figures["bare_start_en_ms"] = statistics.median(en_bare_starts) * 1000
        figures["baseline_start_ms"] = statistics.median(base_starts) * 1000
        figures["baseline_exit_outside_ms"] = statistics.median(base_exits) * 1000

        # Redraws, then Exit with the monitor waiting (interval 60 s).
        waiting = []
        for run in range(args.runs):
            # 1,000 each of the floor, the redraw of the same picture, of a
            # new text, and of a fresh surface, in turns.
            env = {"VORLANE_BENCH_REDRAWS": "4000",
                   "VORLANE_BENCH_LOGLINES": "1000"} if run == 0 else None
            app, mark = run_bar(c, env=env)
            if run == 0:
                pixels = c.trace.wait_for("bench", "^pixels", timeout=300, since=mark).fields
                figures["redraw_pixels_compared"] = int(pixels[1])
                figures["redraw_pixels_differ"] = int(pixels[2])
                for line in c.trace.find("bench", "^redraw", since=mark):
                    kind = line.fields[0].replace("-", "_")
                    figures[kind + "_count"] = int(line.fields[1])
                    figures[kind + "_median_us"] = int(line.fields[2])
                    figures[kind + "_p99_us"] = int(line.fields[3])
                # Each line opened, appended and closed in the real log file.
                lines = c.trace.wait_for("bench", "^loglines\t", timeout=300, since=mark).fields
                figures["logline_median_us"] = int(lines[2])
                figures["logline_p99_us"] = int(lines[3])
            c.trace.wait_for("status", "OK", timeout=20, since=mark)
            time.sleep(0.5)
            waiting.append(exit_figure(c, mark))
        figures["exit_waiting_inside_ms"] = statistics.median(w[0] for w in waiting) * 1000
        figures["exit_waiting_outside_ms"] = statistics.median(w[1] for w in waiting) * 1000

        # Exit while an echo waits out its one-second time-out.
        ns.answers(False)
        probing = []
        for _ in range(args.runs):
            app, mark = run_bar(c, tryinterval=1, trytimes=100000)
            first = c.trace.wait_for("status", "连续掉线：1", timeout=20, since=mark)
            # The next probe starts a second after that line and lasts one.
            time.sleep(1.4)
            assert len(c.trace.find("status", "连续掉线", since=mark)) == 1, "probe timing"
            probing.append(exit_figure(c, mark))
            del first
        ns.answers(True)
        figures["exit_probing_inside_ms"] = statistics.median(p[0] for p in probing) * 1000
        figures["exit_probing_outside_ms"] = statistics.median(p[1] for p in probing) * 1000

        # Memory over a real run at the shortest interval the dialog takes,
        # with the log on (as by default) and then off.
        for log, key in ((1, "memory"), (0, "memory_log_off")):
            app, mark = run_bar(c, tryinterval=1, log=log)
            c.trace.wait_for("status", "OK", timeout=20, since=mark)
            pid = app.exe_pid()
            marks = sorted({1, min(10, args.probes), args.probes})
            memory = {}
            for count in marks:
                harness.poll(f"{count} probes", lambda: len(
                    c.trace.find("status", "没掉线", since=mark)) >= count, count * 3 + 30, 0.2)
                memory[count] = memory_kb(pid)
            figures[key] = {str(k): v for k, v in memory.items()}
            exit_figure(c, mark)
        target_figures(c, ns, args, figures)
    finally:
        c.close()
    print(json.dumps(figures))
    return 0


if __name__ == "__main__":
    sys.exit(main())
