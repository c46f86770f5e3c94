#!/usr/bin/env bash
# Prints Vorlane's figures as one table, each beside its baseline measured in
# the same run: the sleep-based strategy that a plain reading of the design
# would use, the floor Wine sets (a bare program built from our own .rc that
# shows the settings template; the layered update of an unchanged picture), or
# the redraw that allocates everything each time. Below it, the alarm-truth
# table (the drop rule replayed over simulated links, and the rule a search
# finds for lossy ones), printed by build/bench/native/monitor/alarm_truth.
#
#   scripts/bench.sh [--runs N] [--probes N] [--targets-only] [--kinds-only]
#
# --targets-only prints only the rows of one against eight targets (drop
# detection with all of them silent, memory after N probes), in two minutes.
# --kinds-only prints only the rows of the probe kinds (a cycle of silent
# targets of mixed kinds against silent ICMP ones, a refused TCP probe against
# an answered echo; scripts/bench/probe_figures.py), in half a minute.
#
# Builds what it needs: the native benchmarks (build/bench/native), the exe
# (build/bench/win), the empty baseline dialog and the bare settings program. The Wine figures come from scripts/bench/wine_figures.py
# (and the service's from scripts/bench/service_figures.py)
# (one Xvfb display, one private Wine prefix in a network namespace, so it
# needs root); it takes about four minutes.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${VORLANE_BUILD:-$ROOT/build}/bench"
JOBS="${JOBS:-2}"
runs=3
probes=60
targets_only=
kinds_only=
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --probes) probes="$2"; shift 2 ;;
    --targets-only) targets_only=--targets-only; shift ;;
    --kinds-only) kinds_only=1; shift ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
mkdir -p "$OUT"
# shellcheck source=wine-arch.sh
. "$ROOT/scripts/wine-arch.sh"
vorlane_choose_arch bench.sh "$OUT/wine64-bin"

echo "building..." >&2
cmake -S "$ROOT" -B "$OUT/native" -DCMAKE_BUILD_TYPE=Release -DVORLANE_WITH_EXE=OFF >/dev/null
cmake --build "$OUT/native" -j"$JOBS" --target benchmarks alarm_truth vorlane_portable >/dev/null
cmake -S "$ROOT" -B "$OUT/win-$ARCH" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$ARCH.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$OUT/win-$ARCH" -j"$JOBS" >/dev/null
EXE="$OUT/win-$ARCH/app/Vorlane.exe"
# The size row is always the shipped i686 exe's, whatever build is timed.
SHIPPED="$EXE"
if [ "$ARCH" != i686 ]; then
  cmake -S "$ROOT" -B "$OUT/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$OUT/win" -j"$JOBS" >/dev/null
  SHIPPED="$OUT/win/app/Vorlane.exe"
fi
"$ARCH-w64-mingw32-windres" "$ROOT/scripts/bench/empty_dialog.rc" -O coff -o "$OUT/empty_dialog.res"
# The start figure's floor: our own .rc, our settings template, nothing else.
"$ARCH-w64-mingw32-windres" -I "$ROOT" -I "$OUT/win-$ARCH/generated" "$ROOT/res/Vorlane.rc" -O coff \
  -o "$OUT/bare_settings.res"
"$ARCH-w64-mingw32-gcc-posix" -municode -O2 -static -Wall -Werror -I "$ROOT" \
  -o "$OUT/bare_settings.exe" "$ROOT/scripts/bench/bare_settings.c" "$OUT/bare_settings.res" \
  -lcomctl32 -luser32
"$ARCH-w64-mingw32-gcc-posix" -municode -O2 -static -Wall -Werror \
  -o "$OUT/empty_dialog.exe" "$ROOT/scripts/bench/empty_dialog.c" "$OUT/empty_dialog.res" -luser32
# The monitor's own probes and ProbeAll, nothing else of the program.
"$ARCH-w64-mingw32-g++-posix" -std=c++17 -municode -O2 -static -Wall -Werror -DUNICODE -D_UNICODE \
  -DNOMINMAX -D_WIN32_WINNT=0x0601 -I "$ROOT" -o "$OUT/probe_kinds.exe" \
  "$ROOT/scripts/bench/probe_kinds.cpp" "$ROOT/monitor/Target.cpp" "$ROOT/monitor/ProbeAnswer.cpp" \
  "$ROOT/monitor/ParallelProbe.cpp" "$ROOT/monitor/IcmpProber_win.cpp" \
  "$ROOT/monitor/TcpProber_win.cpp" -liphlpapi -lws2_32

target_rows() {
  python3 - "$OUT/wine.json" "$probes" <<'PY'
import json, sys
wine, probes = json.load(open(sys.argv[1])), sys.argv[2]
one, eight = wine["drop_detection_1_ms"], wine["drop_detection_8_ms"]
m1, m8 = wine["memory_targets_1"], wine["memory_targets_8"]
print(f"| Drop detection, 8 silent targets: last answer → drop limit (trytimes 3, 1 s apart, time-out 1 s; trace) | {eight:.0f} ms ({(eight / one - 1) * 100:+.1f} %) | 1 target: {one:.0f} ms |")
print(f"| Memory, Wine process RssAnon after {probes} probes of 8 targets | {m8['RssAnon']} kB (VmRSS {m8['VmRSS']} kB) | 1 target: {m1['RssAnon']} kB (VmRSS {m1['VmRSS']} kB) |")
PY
}

kind_rows() {
  python3 - "$OUT/probes.json" <<'PY'
import json, sys
p = json.load(open(sys.argv[1]))
mixed, icmp = p["cycle_mixed_ms"], p["cycle_icmp_ms"]
print(f'| Cycle of 8 silent targets of mixed kinds (3 ICMP, 3 TCP, 2 IPv6 TCP), time-out 1 s, median / worst of {p["rounds"]} | {mixed:.0f} / {p["cycle_mixed_max_ms"]:.0f} ms ({(mixed / icmp - 1) * 100:+.1f} %) | 8 silent ICMP targets, in turns: {icmp:.0f} / {p["cycle_icmp_max_ms"]:.0f} ms |')
print(f'| Connect probe: a refused TCP probe on loopback, median of {p["probes"]} | {p["refused_tcp_median_us"]} µs | an answered ICMP echo on loopback, in turns: {p["icmp_echo_median_us"]} µs |')
PY
}

probe_figures() {
  python3 "$ROOT/scripts/bench/probe_figures.py" --exe "$OUT/probe_kinds.exe" \
    --prefix "$OUT/prefix" --work "$OUT/work" >"$OUT/probes.json"
}

if [ -n "$kinds_only" ]; then
  echo "probe kinds (half a minute)..." >&2
  probe_figures
  echo "| Figure | Vorlane | Baseline in the same run |"
  echo "|---|---|---|"
  kind_rows
  exit 0
fi

if [ -n "$targets_only" ]; then
  echo "Wine figures of 1 and 8 targets (about three minutes)..." >&2
  python3 "$ROOT/scripts/bench/wine_figures.py" --exe "$EXE" --baseline "$OUT/empty_dialog.exe" \
    --bare "$OUT/bare_settings.exe" --prefix "$OUT/prefix" --work "$OUT/work" --runs "$runs" \
    --probes "$probes" --targets-only >"$OUT/wine.json"
  echo "| Figure | Vorlane | Baseline in the same run |"
  echo "|---|---|---|"
  target_rows
  exit 0
fi

echo "native benchmarks..." >&2
"$OUT/native/benchmarks" --benchmark_filter='StopWhileWaiting|WakeUpsPerMinute|LoopCpu|LoopMemory' \
  --benchmark_format=json --benchmark_repetitions=1 >"$OUT/native.json" 2>/dev/null
echo "alarm-truth replay (seconds)..." >&2
"$OUT/native/monitor/alarm_truth" >"$OUT/alarm_truth.md"

echo "Wine figures (about four minutes)..." >&2
python3 "$ROOT/scripts/bench/wine_figures.py" --exe "$EXE" --baseline "$OUT/empty_dialog.exe" \
  --bare "$OUT/bare_settings.exe" \
  --prefix "$OUT/prefix" --work "$OUT/work" --runs "$runs" --probes "$probes" >"$OUT/wine.json"

echo "probe kinds (half a minute)..." >&2
probe_figures

objdump -p "$SHIPPED" >"$OUT/objdump.txt"
# What each language's texts, dialog and menu take in the exe.
i686-w64-mingw32-windres -I "$ROOT" -I "$OUT/win-$ARCH/generated" "$ROOT/res/Vorlane.rc" -O res \
  -o "$OUT/Vorlane.res"
python3 "$ROOT/scripts/bench/res_sizes.py" "$OUT/Vorlane.res" >"$OUT/res_sizes.json"
python3 - "$OUT" "$SHIPPED" "$probes" <<'PY'
import json, os, re, sys
out, exe, probes = sys.argv[1], sys.argv[2], sys.argv[3]
res = json.load(open(os.path.join(out, "res_sizes.json")))
native = {b["name"].split("/")[0]: b for b in json.load(open(os.path.join(out, "native.json")))["benchmarks"]}
wine = json.load(open(os.path.join(out, "wine.json")))
cycles = native["BM_LoopMemory_10000Cycles"]
before, c1000, c10000 = (int(cycles[k]) for k in ("rss_before_kb", "rss_after_1000_kb", "rss_after_10000_kb"))
dlls = sorted({d.lower() for d in re.findall(r"DLL Name:\s*(\S+)", open(os.path.join(out, "objdump.txt")).read())})
# Loaded at their first call: the build writes a delay-import library for each.
delay_dir = os.path.join(os.path.dirname(os.path.dirname(exe)), "delayimp")
delayed = sorted(re.sub(r"^lib(.*)_delay\.a$", r"\1.dll", f) for f in os.listdir(delay_dir)
                 if f.endswith("_delay.a")) if os.path.isdir(delay_dir) else []

def bench_time(name):
    b = native[name]
    return f'{b["real_time"]:.3g} {b["time_unit"].replace("us", "µs")}'

def us(kind):
    return f'{wine[kind + "_median_us"]} / {wine[kind + "_p99_us"]} µs'

def wake(name):
    return f'{native[name]["wakeups_per_min"]:.0f} /min'

mem = wine["memory"]
rows = [
    ("Redraw floor: layered update of an unchanged picture, median / p99 (1,000, in the program)", us("redraw_floor"), "n/a"),
    ("Redraw of the same picture, kept surface, median / p99", us("redraw"), "allocate every time: " + us("redraw_fresh")),
    ("Redraw of a new text, kept surface, median / p99", us("redraw_new_text"), "allocate every time: " + us("redraw_fresh")),
    ("Pixels: kept surface against a fresh one, pictures differing", f'{wine["redraw_pixels_differ"]} of {wine["redraw_pixels_compared"]}', "n/a"),
    ("One event-log line, median / 99th percentile (1,000 lines, in the program)", f'{wine["logline_median_us"]} µs / {wine["logline_p99_us"]} µs', "n/a"),
    ("Exit, monitor waiting: command → end of wWinMain (trace)", f'{wine["exit_waiting_inside_ms"]:.0f} ms', "≥ 500 ms (fixed sleep)"),
    ("Exit, monitor waiting: menu key → process gone (outside)", f'{wine["exit_waiting_outside_ms"]:.0f} ms', f'≥ 500 ms + Wine; empty dialog: {wine["baseline_exit_outside_ms"]:.0f} ms'),
    ("Exit, probe in progress: command → end of wWinMain (trace)", f'{wine["exit_probing_inside_ms"]:.0f} ms', "≥ 500 ms (fixed sleep)"),
    ("Exit, probe in progress: menu key → process gone (outside)", f'{wine["exit_probing_outside_ms"]:.0f} ms', f'≥ 500 ms + Wine; empty dialog: {wine["baseline_exit_outside_ms"]:.0f} ms'),
    ("STOP → worker end while waiting (native)", bench_time("BM_StopWhileWaiting_ConditionVariable"), "500 ms polling: " + bench_time("BM_StopWhileWaiting_Polling500ms")),
    ("Worker wake-ups per minute at tryInterval 5 (native)", wake("BM_WakeUpsPerMinute_ConditionVariable"), "500 ms polling: " + wake("BM_WakeUpsPerMinute_Polling500ms")),
    ("Probe loop CPU, 10,000 cycles, fake prober (native)", bench_time("BM_LoopCpu_10000Cycles"), "n/a"),
    ("Start: launch → settings dialog on screen (median of 7 alternated launches)", f'{wine["start_ms"]:.0f} ms ({wine["start_ms"] / wine["bare_start_ms"]:.2f}× the floor)', f'floor, bare program with our settings template: {wine["bare_start_ms"]:.0f} ms; empty dialog: {wine["baseline_start_ms"]:.0f} ms'),
    ("Start, English user interface: launch → settings dialog on screen (median of 7 alternated launches)", f'{wine["start_en_ms"]:.0f} ms ({wine["start_en_ms"] / wine["bare_start_en_ms"]:.2f}× its floor)', f'Chinese in the same run: {wine["start_ms"]:.0f} ms; floor, bare program, English template: {wine["bare_start_en_ms"]:.0f} ms'),
    ("Start with /auto: launch → first probe result (trace, median of 7 alternated launches)", f'{wine["auto_start_ms"]:.0f} ms', f'launch → settings dialog on screen: {wine["start_ms"]:.0f} ms'),
    ("Memory, Wine process RssAnon after start (1st probe)", f'{mem["1"]["RssAnon"]} kB (VmRSS {mem["1"]["VmRSS"]} kB)', "n/a"),
]
for k in sorted(mem, key=int)[1:]:
    rows.append((f"Memory, Wine process RssAnon after {k} real probes (1 s apart)", f'{mem[k]["RssAnon"]} kB (VmRSS {mem[k]["VmRSS"]} kB)', "n/a"))
off = wine["memory_log_off"]
last = str(max(int(k) for k in mem))
rows.append((f"Memory, Wine process RssAnon after {last} real probes, log on / log off", f'{mem[last]["RssAnon"]} / {off[last]["RssAnon"]} kB', "n/a"))
rows += [
    ("Memory, probe loop RssAnon before / 1,000 / 10,000 cycles (native, fake prober)", f"{before} / {c1000} / {c10000} kB", "n/a"),
    ("Exe size (Release: -Oz, LTO, gc-sections, stripped)", f"{os.path.getsize(exe):,} bytes", "goal 400,000; before this release (-O3, not stripped): 1,161,645"),
    ("Resources in the exe: Chinese / English (string table, dialog, menu) / neutral (icon, manifest, the bar's template, version)", f'{res.get("zh", 0):,} / {res.get("en", 0):,} / {res.get("neutral", 0):,} bytes', "the notification-area icon is drawn at run time: no resource"),
    ("Imported DLLs, loaded at start / at their first call", " ".join(dlls) + " / " + (" ".join(delayed) or "none"), "n/a"),
]
w0 = max(len(r[0]) for r in rows); w1 = min(40, max(len(r[1]) for r in rows))
print(f'| {"Figure".ljust(w0)} | {"Vorlane".ljust(w1)} | Baseline in the same run |')
print(f'|{"-" * (w0 + 2)}|{"-" * (w1 + 2)}|---|')
for a, b, c in rows:
    print(f"| {a.ljust(w0)} | {b.ljust(w1)} | {c} |")
PY
target_rows
kind_rows

echo "lookup figures (about three minutes)..." >&2
python3 "$ROOT/scripts/bench/lookup_figures.py" --exe "$EXE" --prefix "$OUT/prefix" \
  --work "$OUT/work-lookups" >"$OUT/lookups.json"
python3 - "$OUT/lookups.json" <<'PY'
import json, sys
f = json.load(open(sys.argv[1]))
note = "" if f["lookups_dropped"] else " (no lookup again was seen)"
print(f'| Cycle length, 20 cycles 4 s apart, of a name whose name server went silent after the first lookup: median / worst; cycles counted missed | {f["named_median_ms"]:.0f} / {f["named_worst_ms"]:.0f} ms; {f["named_missed"]} missed{note} | literal address: {f["literal_median_ms"]:.0f} / {f["literal_worst_ms"]:.0f} ms; {f["literal_missed"]} missed |')
PY
echo "service figures (about three minutes)..." >&2
python3 "$ROOT/scripts/bench/service_figures.py" --exe "$EXE" --prefix "$OUT/prefix" \
  --work "$OUT/work-service" --probes "$probes" >"$OUT/service.json"
python3 - "$OUT/service.json" "$probes" <<'PY'
import json, sys
f, probes = json.load(open(sys.argv[1])), sys.argv[2]
s, d = f["service_memory"], f["desktop_memory"]
print(f'| Memory, service process RssAnon after {probes} probes 1 s apart (VmRSS) | {s["RssAnon"]} kB ({s["VmRSS"]} kB) | desktop program, /auto, same settings: {d["RssAnon"]} kB ({d["VmRSS"]} kB) |')
print(f'| A view\'s delay: probe result in the service → the bar\'s text (trace, one clock), median / worst of {len(f["view_delay_ms"])} | {f["view_delay_median_ms"]:.0f} / {f["view_delay_worst_ms"]:.0f} ms | the service\'s probe interval: 1000 ms |')
PY
echo
cat "$OUT/alarm_truth.md"
