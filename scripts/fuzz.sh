#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehavior-
# Sanitizer) in build/fuzz and runs each from its seed corpus in fuzz/corpus.
#
#   scripts/fuzz.sh --smoke        a fixed number of runs per target (about a
#                                  minute in all); part of scripts/test.sh
#   scripts/fuzz.sh [SECONDS]      a longer run: SECONDS per target (600)
#   scripts/fuzz.sh ... TARGET...  only these targets (ini target
#                                  read_item_int identity pipe_message)
#
# Fails when a target finds a crash, a sanitizer report or a broken property;
# the input is kept as build/fuzz/findings/<target>-crash-*. Add it to
# fuzz/corpus/<target>/ once mended, so that every later run replays it.
# New inputs that grow coverage land in build/fuzz/work/<target>/, never in
# the repository; copy the interesting ones into the corpus by hand.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${VORLANE_BUILD:-$ROOT/build}/fuzz"
JOBS="${JOBS:-2}"

mode=long
seconds=600
targets=()
for arg in "$@"; do
  case "$arg" in
    --smoke) mode=smoke ;;
    [0-9]*) seconds="$arg" ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    *) targets+=("$arg") ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(ini target read_item_int identity pipe_message)

# Runs per target in smoke mode, chosen so that each takes roughly 10-20 s
# on one core of the test machine.
declare -A SMOKE_RUNS=([ini]=200000 [target]=800000 [read_item_int]=1500000 [identity]=120000 [pipe_message]=600000)
declare -A MAX_LEN=([ini]=4096 [target]=1024 [read_item_int]=512 [identity]=1024 [pipe_message]=20000)

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLANE_FUZZ=ON -DVORLANE_WITH_EXE=OFF >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target "${targets[@]/#/fuzz_}"

mkdir -p "$BUILD/findings"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
for t in "${targets[@]}"; do
  work="$BUILD/work/$t"
  mkdir -p "$work"
  if [ "$mode" = smoke ]; then
    # One seed, so that a smoke run explores the same inputs every time:
    # a finding there fails every run, not one in many.
    limit=(-runs="${SMOKE_RUNS[$t]}" -seed=1)
  else
    limit=(-max_total_time="$seconds")
  fi
  echo "== fuzz $t (${limit[*]})" >&2
  start=$(date +%s)
  if "$BUILD/fuzz/fuzz_$t" "${limit[@]}" -max_len="${MAX_LEN[$t]}" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD/findings/$t-" \
      "$work" "$ROOT/fuzz/corpus/$t" >"$BUILD/$t.log" 2>&1; then
    echo "   ok in $(( $(date +%s) - start )) s: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$BUILD/$t.log" | grep -o '[0-9]*$') runs" >&2
  else
    status=1
    echo "   FINDING in $t; log: $BUILD/$t.log" >&2
    grep -E 'ERROR|property violated|runtime error|Test unit written' "$BUILD/$t.log" | head -5 >&2 || true
  fi
done
exit $status
