#!/bin/sh
# Times one fetch of a 16 MiB body with FetchPageBytes (fetch_bench) beside the
# smallest libcurl program that keeps the same body (fetch_baseline) and
# beside `curl -s -o /dev/null`, which keeps no body and is only a floor. All
# three run as whole processes, alternating, RUNS times each; the script
# reports the medians of wall time and peak RSS and the ratios against the
# baseline.
#   web/fetch_bench.sh BUILD_DIR [RUNS]   (BUILD_DIR built with benchmarks on)
set -eu
build=${1:?build directory with web/fetch_bench}
runs=${2:-15}
bytes=16777216
bench="$build/web/fetch_bench"
baseline="$build/web/fetch_baseline"
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

"$bench" serve "$bytes" "$work/port" &
server=$!
while [ ! -s "$work/port" ]; do sleep 0.05; done
address="http://127.0.0.1:$(cat "$work/port")/body"

# One run of a command: its wall time in milliseconds to NAME.ms and its
# peak RSS in KiB to NAME.rss.
run() {
  name=$1
  shift
  start=$(date +%s%N)
  /usr/bin/time -o "$work/time" -f %M "$@" >/dev/null
  echo $((($(date +%s%N) - start) / 1000000)) >>"$work/$name.ms"
  tail -n 1 "$work/time" >>"$work/$name.rss"
}
median() { sort -n "$1" | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }

i=0
while [ $i -lt "$runs" ]; do
  run fetch "$bench" fetch "$address" 1
  run baseline "$baseline" "$address"
  run curl curl -s -o /dev/null "$address"
  i=$((i + 1))
done
for name in fetch baseline curl; do
  eval "${name}_ms=\$(median \"\$work/$name.ms\")"
  eval "${name}_rss=\$(median \"\$work/$name.rss\")"
done
echo "body $bytes bytes, $runs runs each, medians (wall ms, peak RSS KiB):"
echo "  fetch_bench:    $fetch_ms ms, $fetch_rss KiB"
echo "  fetch_baseline: $baseline_ms ms, $baseline_rss KiB"
echo "  curl -o /dev/null (floor): $curl_ms ms, $curl_rss KiB"
echo "  fetch / baseline: time $(ratio "$fetch_ms" "$baseline_ms"), peak RSS $(ratio "$fetch_rss" "$baseline_rss")"
