#!/usr/bin/env bash
# Makes docs/bar.png, the README's picture of the status bar: runs Vorlane.exe
# under Wine on a display of its own, confirms the settings dialog with a
# loopback target, waits for the first answer and crops the bar.
#   scripts/screenshot.sh [EXE] [OUTPUT.png]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
EXE="${1:-}"
OUT="${2:-$ROOT/docs/bar.png}"
if [ -z "$EXE" ]; then
  BUILD="$ROOT/build/win"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD" -j2 >/dev/null
  EXE="$BUILD/app/Vorlane.exe"
fi
mkdir -p "$(dirname "$OUT")"
python3 - "$ROOT" "$(realpath "$EXE")" "$(realpath -m "$OUT")" <<'PY'
import os, sys, time
root, exe, out = sys.argv[1:4]
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
import bar_steps, harness

prefix = os.path.join(root, "build", "measure-prefix")
work = os.path.join(root, "build", "screenshot-work")
harness.ensure_prefix(prefix)
c = harness.Case("screenshot", exe, prefix, work, os.path.join(work, "out"))
try:
    c.write_ini(dict(bar_steps.QUIET, tryinterval=1))
    c.start()
    bar = bar_steps.confirm_startup(c)
    c.trace.wait_for("status", "OK", timeout=20)
    time.sleep(0.5)
    g = bar.geometry()
    pad = 6
    # A little of the (black) desktop around it.
    shot = c.display.screenshot().crop(g.x - pad, g.y - pad, g.width + 2 * pad,
                                       g.height + 2 * pad)
    shot.save_png(out)
    print(out)
finally:
    c.close()
PY
