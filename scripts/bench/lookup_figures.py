#!/usr/bin/env python3
"""Lookups never delay a cycle: the cycle lengths of a name target whose name
server stops answering after the first lookup, against those of a literal
address, each over 20 cycles 4 s apart (long enough for the name's lookup
again at its age of a minute, which then hangs in the silent name server).
Part of scripts/bench.sh; prints one JSON object.

    lookup_figures.py --exe Vorlane.exe --prefix DIR --work DIR [--cycles 20]
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import bar_steps  # noqa: E402
import harness  # noqa: E402

NAME = "named.lab.test"
INTERVAL_S = 4


def cycles(c, ping, count, before_cycles=None):
    """The gaps between the first `count` + 1 probe results, in ms, and the
    texts they showed."""
    values = dict(bar_steps.QUIET, ping=ping, tryinterval=INTERVAL_S, trytimes=3)
    c.write_ini(values)
    mark = c.trace.mark()
    app = c.start()
    bar_steps.confirm_startup(c, since=mark)
    c.trace.wait_for("status", "OK", timeout=30, since=mark)
    if before_cycles:
        before_cycles()
    results = harness.poll(f"{count} cycles", lambda: (lambda found: found if len(found) > count
                                                       else None)(
        [l for l in c.trace.find("status", since=mark) if "准备中" not in l.detail]),
        count * (INTERVAL_S + 3) + 60, 0.5)
    results = results[:count + 1]
    app.stop()
    gaps = [b.ms - a.ms for a, b in zip(results, results[1:])]
    return gaps, [l.detail.partition("\t")[2] for l in results]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--cycles", type=int, default=20)
    args = parser.parse_args()

    harness.ensure_prefix(args.prefix)
    c = harness.Case("lookups", args.exe, args.prefix, args.work, os.path.join(args.work, "out"))
    figures = {}
    server = None
    try:
        ns = c.network()
        ns.set_resolver("nameserver 127.0.0.1\noptions timeout:5 attempts:2\n")
        queries = os.path.join(c.folder, "dns-queries.txt")
        server = subprocess.Popen(ns.command(sys.executable,
                                             os.path.join(ROOT, "scripts", "bench", "tiny_dns.py"),
                                             NAME, "127.0.0.1", queries))
        harness.poll("the name server", lambda: os.path.exists(queries) or
                     subprocess.run(ns.command("getent", "hosts", NAME),
                                    capture_output=True).returncode == 0, 10, 0.2)

        def silence_name_server():
            ns.exec("nft", "add", "table", "inet", "dns")
            ns.exec("nft", "add", "chain", "inet", "dns", "in",
                    "{ type filter hook input priority 0; }")
            ns.exec("nft", "add", "rule", "inet", "dns", "in", "udp", "dport", "53", "counter",
                    "drop")

        literal, literal_texts = cycles(c, "127.0.0.1", args.cycles)
        named, named_texts = cycles(c, NAME, args.cycles, silence_name_server)
        dropped = subprocess.run(ns.command("nft", "list", "chain", "inet", "dns", "in"),
                                 capture_output=True, text=True).stdout
        figures = {
            "literal_median_ms": statistics.median(literal), "literal_worst_ms": max(literal),
            "named_median_ms": statistics.median(named), "named_worst_ms": max(named),
            "named_missed": len([t for t in named_texts if not t.startswith("没掉线")]),
            "literal_missed": len([t for t in literal_texts if not t.startswith("没掉线")]),
            "lookups_dropped": "packets 0 " not in dropped,
        }
    finally:
        if server:
            server.kill()
        c.close()
    print(json.dumps(figures))
    return 0


if __name__ == "__main__":
    sys.exit(main())
