#!/usr/bin/env python3
"""The probes' half of scripts/bench.sh: runs probe_kinds.exe under Wine in a
network namespace of its own (loopback only), where nftables makes the
silent targets silent: echo requests to 127.0.0.11-18 and 127.0.0.21-23, TCP
SYNs to 127.0.0.31-33 and to ::1 on the two bench ports. Prints one JSON
object.

    probe_figures.py --exe probe_kinds.exe --prefix DIR --work DIR [--rounds 10] [--probes 200]
"""

import argparse
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402
from monitor_common import drop  # noqa: E402

PORT = 47101  # nothing listens on it anywhere
SILENT_ICMP = [f"127.0.0.{i}" for i in range(11, 19)]
SILENT_MIXED = ([f"127.0.0.{i}" for i in range(21, 24)] +
                [f"tcp://127.0.0.{i}:{PORT}" for i in range(31, 34)] +
                [f"tcp://[::1]:{PORT}", f"tcp://[::1]:{PORT + 1}"])
REFUSED, ANSWERED = f"tcp://127.0.0.1:{PORT}", "127.0.0.1"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--probes", type=int, default=200)
    args = parser.parse_args()

    harness.ensure_prefix(args.prefix)
    c = harness.Case("probes", args.exe, args.prefix, args.work, os.path.join(args.work, "out"))
    try:
        ns = c.network()
        for address in SILENT_ICMP + SILENT_MIXED[:3]:
            drop(ns, "ip", "daddr", address, "icmp", "type", "echo-request")
        for i in range(31, 34):
            drop(ns, "ip", "daddr", f"127.0.0.{i}", "tcp", "flags", "syn")
        drop(ns, "ip6", "daddr", "::1", "tcp", "dport", f"{PORT}-{PORT + 1}", "tcp", "flags", "syn")
        env = harness.wine_env(c.prefix)
        env.pop("DISPLAY", None)
        command = ns.command("env", *[f"{k}={v}" for k, v in env.items()], "wine",
                            os.path.join(c.folder, c.exe_name), str(args.rounds),
                            str(args.probes), *SILENT_ICMP, "--", *SILENT_MIXED, "--",
                            REFUSED, ANSWERED)
        out = subprocess.run(command, env=env, capture_output=True, text=True, timeout=900,
                             check=True).stdout
        figures = json.loads(next(l for l in out.splitlines() if l.startswith("{")))
        if figures["answered_in_silence"] or figures["unanswered_on_loopback"]:
            raise SystemExit(f"the bench's targets did not behave: {figures}")
        print(json.dumps(figures))
    finally:
        c.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
