#!/usr/bin/env bash
# Builds the Release exe and writes the archive a Windows user downloads:
# dist/Vorlane-<version>-win32.zip with Vorlane.exe, alert.wav, README.txt (the
# README with Windows line ends) and LICENSE, and its SHA-256 beside it in
# dist/Vorlane-<version>-win32.zip.sha256. The version is the one CMake sets.
#
#   scripts/package.sh
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${VORLANE_BUILD:-$ROOT/build}/package"
DIST="$ROOT/dist"
JOBS="${JOBS:-2}"

"$ROOT/scripts/setup.sh"

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$JOBS" >/dev/null
version="$(sed -n 's/^#define VORLANE_VERSION "\(.*\)"$/\1/p' "$BUILD/generated/core/Version.h")"
[ -n "$version" ] || { echo "no version in $BUILD/generated/core/Version.h" >&2; exit 1; }

name="Vorlane-$version-win32"
stage="$BUILD/stage/$name"
rm -rf "$BUILD/stage"
mkdir -p "$stage" "$DIST"
cp "$BUILD/app/Vorlane.exe" "$ROOT/res/alert.wav" "$stage/"
sed 's/$/\r/' "$ROOT/README.md" >"$stage/README.txt"
sed 's/$/\r/' "$ROOT/LICENSE" >"$stage/LICENSE"
rm -f "$DIST/$name.zip"
(cd "$stage" && zip -X -q "$DIST/$name.zip" Vorlane.exe alert.wav README.txt LICENSE)
(cd "$DIST" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "$DIST/$name.zip"
cat "$DIST/$name.zip.sha256"
