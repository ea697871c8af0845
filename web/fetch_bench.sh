#!/bin/sh
# Times one fetch of a 16 MiB body with FetchPageBytes beside `curl -s -o
# /dev/null` of the same address, both as whole processes, alternating, and
# reports the medians, their ratio and the fetch's peak memory.
#   web/fetch_bench.sh BUILD_DIR [RUNS]   (BUILD_DIR built with benchmarks on)
set -eu
build=${1:?build directory with web/fetch_bench}
runs=${2:-15}
bytes=16777216
bench="$build/web/fetch_bench"
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

"$bench" serve "$bytes" "$work/port" &
server=$!
while [ ! -s "$work/port" ]; do sleep 0.05; done
address="http://127.0.0.1:$(cat "$work/port")/body"

# Wall time of one command in milliseconds.
ms() {
  start=$(date +%s%N)
  "$@" >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

i=0
while [ $i -lt "$runs" ]; do
  ms "$bench" fetch "$address" 1 >>"$work/fetch"
  ms curl -s -o /dev/null "$address" >>"$work/curl"
  i=$((i + 1))
done
fetch=$(median <"$work/fetch")
curl=$(median <"$work/curl")
/usr/bin/time -f %M "$bench" fetch "$address" 1 >/dev/null 2>"$work/rss"
rss=$(tail -n 1 "$work/rss")
echo "body $bytes bytes, $runs runs each, medians:"
echo "  fetch_bench: $fetch ms, curl: $curl ms, ratio $(awk "BEGIN {printf \"%.2f\", $fetch / $curl}")"
echo "  fetch peak RSS: $rss KiB, $(awk "BEGIN {printf \"%.2f\", $rss * 1024 / $bytes}") times the body"
