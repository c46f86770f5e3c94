#!/usr/bin/env python3
"""The service's figures for scripts/bench.sh: the service process's memory
after N probes against the desktop program's (the same settings, "/auto"),
and a view's delay from a probe result in the service to the bar's text
(median and worst of 20). One private Wine prefix in a network namespace
(needs root), as the end-to-end service cases run it. Prints one JSON object.

    service_figures.py --exe Vorlane.exe --prefix DIR --work DIR [--probes 60]

The delay: the service traces each state it tells its views ("service
status"), the view's bar each text it shows ("status"), both in one trace
file; each program's "clock" line gives the moment it was created, which
puts both programs' times on one clock. A probe result is paired with the
first text the bar shows at or after it.
"""

import argparse
import json
import os
import statistics
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402
import service_steps  # noqa: E402
from wine_figures import memory_kb  # noqa: E402

SETTINGS = {"ping": "127.0.0.1", "trytimes": 3, "tryinterval": 1, "djs": 60, "bwav": 0}
DELAYS = 20


def service_pid(c):
    """The Wine process of "Vorlane.exe /service" in this case's prefix."""
    for pid in harness.find_processes("WINEPREFIX", os.path.abspath(c.prefix), "Vorlane.exe"):
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            if b"/service" in f.read():
                return pid
    raise harness.HarnessError("no service process")


def creation_ms(c, kind, pattern):
    """A program's creation in ms since 1970, from its clock line: the
    program that traced `kind` `pattern` with its Windows process id."""
    pid = c.trace.wait_for(kind, pattern, timeout=30).fields[1]
    for line in c.trace.find("clock"):
        fields = line.detail.split("\t")
        if fields[0] == pid:
            return int(fields[1])
    raise harness.HarnessError(f"no clock line of {pid}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--probes", type=int, default=60)
    args = parser.parse_args()

    args.prefix, args.work = os.path.abspath(args.prefix), os.path.abspath(args.work)
    harness.ensure_prefix(args.prefix)
    c = harness.Case("bench-service", args.exe, args.prefix, args.work,
                     os.path.join(args.work, "out"))
    figures = {}
    try:
        service_steps.prepare(c)
        service_steps.install(c, SETTINGS)
        pid = service_pid(c)
        harness.poll(f"{args.probes} probes of the service", lambda: len(
            [s for s in service_steps.service_statuses(c) if s[1] == "没掉线，OK！"])
            >= args.probes, args.probes * 3 + 30, 0.2)
        figures["service_memory"] = memory_kb(pid)

        # The view: 20 probe results in the service, each to the bar.
        mark = c.trace.mark()
        view = c.start()
        c.trace.wait_for("view", "^connected$", timeout=30, since=mark)
        start = c.trace.mark()
        harness.poll("20 more probes", lambda: len(c.trace.find(
            "service", "^status\t", since=start)) > DELAYS + 1, DELAYS * 3 + 30, 0.2)
        time.sleep(1)
        service_base = creation_ms(c, "service", "^running\t")
        view_base = creation_ms(c, "view", "^start\t")
        shown = [view_base + l.ms for l in c.trace.find("status", since=start)]
        delays = []
        for line in c.trace.find("service", "^status\t", since=start)[:DELAYS]:
            at = service_base + line.ms
            later = [t for t in shown if t >= at]
            if later:
                delays.append(later[0] - at)
        figures["view_delay_ms"] = delays
        view.stop()
        assert service_steps.setup(c, "/uninstall", "/quiet") == 0

        # The desktop program on the same settings, for the baseline.
        c.write_ini(SETTINGS)
        mark = c.trace.mark()
        desktop = c.start(args=["/auto"])
        harness.poll(f"{args.probes} probes of the desktop program", lambda: len(
            c.trace.find("status", "没掉线", since=mark)) >= args.probes, args.probes * 3 + 30, 0.2)
        figures["desktop_memory"] = memory_kb(desktop.exe_pid())
        desktop.stop()
    except BaseException:
        for path in c.collect_artifacts():
            print(f"kept {path}", file=sys.stderr)
        raise
    finally:
        c.close()
    figures["view_delay_median_ms"] = statistics.median(figures["view_delay_ms"])
    figures["view_delay_worst_ms"] = max(figures["view_delay_ms"])
    print(json.dumps(figures))
    return 0


if __name__ == "__main__":
    sys.exit(main())
