#!/usr/bin/env python3
"""Prints Vorlane's figures, measured under Wine on an Xvfb display:

- redraw time of the status bar, median and 99th percentile over 1,000
  redraws, timed inside the program (VORLANE_BENCH_REDRAWS);
- Exit click to process end: inside the program (trace "exit-command" to
  "exit-end", the return of wWinMain) and from outside (menu key press to
  the process's disappearance, which includes Wine's own process tear-down);
- launch to first window: from starting wine to the settings dialog on screen;
- the exe's size and the DLLs it imports.

    scripts/measure.py [--exe PATH] [--runs N]

Without --exe it builds the exe (cross build in build/win) if needed. The
Wine prefix is build/measure-prefix, made once.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import bar_steps  # noqa: E402
import harness  # noqa: E402


def build_exe():
    build = os.path.join(ROOT, "build", "win")
    subprocess.run(["cmake", "-S", ROOT, "-B", build,
                    f"-DCMAKE_TOOLCHAIN_FILE={ROOT}/cmake/mingw-i686.cmake",
                    "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "-j2"], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build, "app", "Vorlane.exe")


def one_run(exe, prefix, work, redraws):
    """Launch, dialog, confirm, (redraws), Exit. Returns the figures of it."""
    c = harness.Case("measure", exe, prefix, work, os.path.join(work, "out"))
    try:
        c.write_ini(bar_steps.QUIET)
        c.use_private_prefix()
        launched = time.monotonic()
        app = c.start(env={"VORLANE_BENCH_REDRAWS": str(redraws)} if redraws else None)
        c.display.wait_window("设定", timeout=60)
        first_window = time.monotonic() - launched
        bar = bar_steps.confirm_startup(c)
        bench = c.trace.wait_for("bench", timeout=120) if redraws else None
        bar_steps.open_menu(c, bar)
        time.sleep(0.3)
        c.display.xdotool("key", "Up")
        time.sleep(0.2)
        pressed = time.monotonic()
        c.display.xdotool("key", "Return")
        app.wait_exit(30)
        outside = app.exit_seen - pressed
        command = c.trace.wait_for("window", "^exit-command$", timeout=1)
        end = c.trace.wait_for("window", "^exit-end$", timeout=1)
        return {"first_window": first_window, "exit_inside": (end.ms - command.ms) / 1000.0,
                "exit_outside": outside, "bench": bench}
    finally:
        c.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    exe = os.path.abspath(args.exe) if args.exe else build_exe()
    prefix = os.path.join(ROOT, "build", "measure-prefix")
    work = os.path.join(ROOT, "build", "measure-work")
    harness.ensure_prefix(prefix)

    runs = [one_run(exe, prefix, work, 1000 if i == 0 else 0) for i in range(args.runs)]
    fields = runs[0]["bench"].fields
    print(f"redraw (1,000 in the program): median {int(fields[2]) / 1000:.2f} ms, "
          f"p99 {int(fields[3]) / 1000:.2f} ms")
    for key, label in (("exit_inside", "Exit command to end of wWinMain (trace)"),
                       ("exit_outside", "Exit key press to process end (outside)"),
                       ("first_window", "launch to settings dialog on screen")):
        values = [r[key] * 1000 for r in runs]
        print(f"{label}: median {statistics.median(values):.0f} ms "
              f"(runs: {', '.join(f'{v:.0f}' for v in values)})")
    size = os.path.getsize(exe)
    out = subprocess.run(["objdump", "-p", exe], capture_output=True, text=True, check=True).stdout
    dlls = sorted({d.lower() for d in re.findall(r"DLL Name:\s*(\S+)", out)})
    print(f"exe size: {size} bytes ({size / 1024 / 1024:.2f} MiB)")
    print(f"imported DLLs: {' '.join(dlls)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
