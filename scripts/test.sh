#!/usr/bin/env bash
# Sets up what is missing and runs every test: the unit tests and the
# end-to-end tests of the real exe under Wine in one ctest run, then the unit
# tests again under ThreadSanitizer and under AddressSanitizer with
# UndefinedBehaviorSanitizer.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${VORLANE_BUILD:-$ROOT/build}"
JOBS="${JOBS:-2}"

"$ROOT/scripts/setup.sh"
# shellcheck source=wine-arch.sh
. "$ROOT/scripts/wine-arch.sh"
vorlane_choose_arch test.sh "$BUILD/wine64-bin"

status=0
run() { echo "== $*" >&2; "$@" || status=1; }

# Every source as the repository's .clang-format writes it.
run "$ROOT/scripts/format.sh" --check
# Each folder includes only the folders below it.
run "$ROOT/scripts/check-layers.sh"

cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLANE_WIN_ARCH="$ARCH" >/dev/null
cmake --build "$BUILD/native" -j"$JOBS"
run ctest --test-dir "$BUILD/native" -j"$JOBS" --output-on-failure

for san in thread "address,undefined"; do
  dir="$BUILD/san-${san//,/-}"
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Debug \
    -DVORLANE_SANITIZE="$san" -DVORLANE_WITH_EXE=OFF >/dev/null
  cmake --build "$dir" -j"$JOBS"
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" \
  ASAN_OPTIONS="detect_leaks=1" \
    run ctest --test-dir "$dir" -j"$JOBS" --output-on-failure
done

if [ -d "$ROOT/fuzz" ]; then
  run "$ROOT/scripts/fuzz.sh" --smoke
fi

exit $status
