#!/usr/bin/env bash
# Start-up time of the tool against the simulator, beside a minimal Qt window
# program, each from process start to its window exposed on screen; N runs of
# each, alternating; prints the medians, their ratio and the tool's peak
# memory. Needs the demo build (bash tools/demo.sh builds it) and, without a
# display, xvfb-run.
#
#   bash tools/startup_bench.sh [N]      (default N = 21)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-21}
bin=build/demo
if [[ -z "${DISPLAY:-}" && -z "${INSIDE_XVFB:-}" ]]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

"$bin/tools/dsrscope-simulator" --port 18080 > /dev/null &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  (exec 3<>/dev/tcp/127.0.0.1/18080) 2>/dev/null && break
  sleep 0.1
done

# Microseconds from just before the program starts to its window exposed.
startup_us() {
  local start=${EPOCHREALTIME/./} line
  line=$("$1" 2>/dev/null | grep '^shown ')
  echo $((${line#shown } - start))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

minimal=() tool=()
startup_us "$bin/tools/dsrscope-minimal-window" > /dev/null  # warm the caches
startup_us "$bin/tools/dsrscope-startup-probe" > /dev/null
for _ in $(seq "$runs"); do
  minimal+=("$(startup_us "$bin/tools/dsrscope-minimal-window")")
  tool+=("$(startup_us "$bin/tools/dsrscope-startup-probe")")
done
m=$(printf '%s\n' "${minimal[@]}" | median)
t=$(printf '%s\n' "${tool[@]}" | median)
echo "runs: $runs each"
echo "minimal Qt window: median $((m / 1000)).$(((m % 1000) / 100)) ms"
echo "dsrscope:          median $((t / 1000)).$(((t % 1000) / 100)) ms"
awk -v t="$t" -v m="$m" 'BEGIN { printf "ratio: %.2f (goal: at most 1.30)\n", t / m }'
rss=$(/usr/bin/time -f '%M' "$bin/tools/dsrscope-startup-probe" 2>&1 >/dev/null | tail -1)
echo "dsrscope peak memory (maximum resident set size): $rss KiB"
