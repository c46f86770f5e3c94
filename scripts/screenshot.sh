#!/usr/bin/env bash
# Makes the README's pictures: the status bar and the settings dialog, each
# under a Chinese and an English user interface (docs/bar.png,
# docs/bar-en.png, docs/settings.png, docs/settings-en.png). Runs
# Vorlane.exe under Wine on a display of its own, crops the dialog, confirms
# it with a loopback target, waits for the first answer and crops the bar.
#   scripts/screenshot.sh [EXE] [OUTPUT-FOLDER]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
EXE="${1:-}"
OUT="${2:-$ROOT/docs}"
if [ -z "$EXE" ]; then
  BUILD="$ROOT/build/win"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD" -j2 >/dev/null
  EXE="$BUILD/app/Vorlane.exe"
fi
mkdir -p "$OUT"
python3 - "$ROOT" "$(realpath "$EXE")" "$(realpath -m "$OUT")" <<'PY'
import os, sys, time
root, exe, out = sys.argv[1:4]
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
import bar_steps, harness

prefix = os.path.join(root, "build", "measure-prefix")
work = os.path.join(root, "build", "screenshot-work")
harness.ensure_prefix(prefix)
for suffix, locale, title in (("", "zh_CN.UTF-8", "设定"), ("-en", "en_US.UTF-8", "Settings")):
    c = harness.Case("screenshot" + suffix, exe, prefix, work, os.path.join(work, "out"))
    try:
        c.write_ini(dict(bar_steps.QUIET, tryinterval=1))
        c.start(env={"LANG": locale, "LC_MESSAGES": locale})
        dialog = c.display.wait_window(title, timeout=30)
        time.sleep(0.5)
        g = dialog.geometry()
        path = os.path.join(out, f"settings{suffix}.png")
        c.display.screenshot().crop(g.x, g.y, g.width, g.height).save_png(path)
        print(path)
        dialog.focus()
        c.display.key("Return")
        bar = bar_steps.wait_bar(c)
        c.trace.wait_for("status", "OK", timeout=20)
        time.sleep(0.5)
        g = bar.geometry()
        pad = 6
        # A little of the (black) desktop around it.
        shot = c.display.screenshot().crop(g.x - pad, g.y - pad, g.width + 2 * pad,
                                           g.height + 2 * pad)
        path = os.path.join(out, f"bar{suffix}.png")
        shot.save_png(path)
        print(path)
    finally:
        c.close()
PY
