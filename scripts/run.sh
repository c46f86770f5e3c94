#!/usr/bin/env bash
# Sets up what is missing, builds Vorlane.exe and starts it under Wine.
# Settings persist in ~/.local/share/vorlane/app/Vorlane.ini.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
Vorlane is a Windows desktop program and needs an X display to show its window,
but DISPLAY is not set.

Run it on a virtual display, for example:
    Xvfb :99 -screen 0 1280x800x24 -nolisten tcp -noreset &
    DISPLAY=:99 scripts/run.sh
and take a screenshot of what it shows with:
    DISPLAY=:99 import -window root shot.png
MSG
  exit 2
fi

"$ROOT/scripts/setup.sh"
# shellcheck source=wine-env.sh
. "$ROOT/scripts/wine-env.sh"
# shellcheck source=wine-arch.sh
. "$ROOT/scripts/wine-arch.sh"
vorlane_choose_arch run.sh "$ROOT/build/wine64-bin"
BUILD="$ROOT/build/win"
[ "$ARCH" = i686 ] || BUILD="$ROOT/build/win-$ARCH"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$ARCH.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 >/dev/null

DATA="${VORLANE_HOME:-$HOME/.local/share/vorlane}"
export WINEPREFIX="${WINEPREFIX:-$DATA/wineprefix}"
ensure_wine_prefix "$WINEPREFIX"
mkdir -p "$DATA/app"
cp "$BUILD/app/Vorlane.exe" "$DATA/app/Vorlane.exe"
[ -f "$ROOT/res/alert.wav" ] && [ ! -f "$DATA/app/alert.wav" ] && cp "$ROOT/res/alert.wav" "$DATA/app/"
cd "$DATA/app"
exec wine Vorlane.exe
