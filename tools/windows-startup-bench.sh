#!/usr/bin/env bash
# Start-up time under Wine: dsrscope (app/win32_startup_driver in probe mode:
# the program with dsrscope.exe's resources, its hosts routed to the
# simulator) beside a minimal Win32 window program, bare and with dsrscope's
# manifest, each from process start to its window's first paint; N runs of
# each, alternating, in one fresh Wine prefix on Xvfb; prints the medians,
# the ratios and the peak memory of each. Needs the windows-release build and
# the dev simulator (bash tools/windows-test.sh builds both).
#
#   bash tools/windows-startup-bench.sh [N]      (default N = 21)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-21}
port=${DSR_BENCH_PORT:-18406}
if [[ -z "${INSIDE_XVFB:-}" ]]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi
source tools/wine_simulator.sh
wine_with_simulator "$port"

tool=(env DSR_SIMULATOR_PORT="$port" "$wine" build/windows-release/app/win32_startup_driver.exe probe)
minimal=("$wine" build/windows-release/tools/win32-minimal-window.exe)
manifest=("$wine" build/windows-release/tools/win32-minimal-window-manifest.exe)
"${minimal[@]}" >/dev/null  # the prefix is made and Wine's services are up
"${manifest[@]}" >/dev/null
"${tool[@]}" >/dev/null

# One run: "seconds peak-KiB", the time from the shell's clock in microseconds;
# a run that did not end with exit code 0 (no window painted) ends the script.
measure() {
  local start=$EPOCHREALTIME peak code
  read -r peak code < <(/usr/bin/time -f "%M %x" "$@" 2>&1 >/dev/null | tail -1)
  if [[ "$code" != 0 ]]; then
    echo "$* ended with exit code $code" >&2
    return 1
  fi
  echo "$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.4f", b - a}') $peak"
}
declare -A times peak
names=(minimal manifest tool)
for _ in $(seq "$runs"); do
  for name in "${names[@]}"; do
    declare -n command=$name
    run=$(measure "${command[@]}")
    read -r t m <<<"$run"
    times[$name]+="$t "
    ((m > ${peak[$name]:-0})) && peak[$name]=$m
  done
done
median() { printf '%s\n' $1 | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
tm=$(median "${times[tool]}")
mm=$(median "${times[minimal]}")
fm=$(median "${times[manifest]}")
echo "runs: $runs each"
echo "dsrscope.exe to first paint:                 median ${tm} s, peak memory ${peak[tool]} KiB"
echo "minimal Win32 window to first paint:         median ${mm} s, peak memory ${peak[minimal]} KiB"
echo "minimal window with dsrscope's manifest:     median ${fm} s, peak memory ${peak[manifest]} KiB"
awk -v a="$tm" -v b="$mm" 'BEGIN {printf "ratio to the minimal window: %.2f\n", (b > 0 ? a / b : 0)}'
awk -v a="$tm" -v b="$fm" 'BEGIN {printf "ratio to the minimal window with the manifest: %.2f\n", (b > 0 ? a / b : 0)}'
