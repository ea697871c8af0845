#!/bin/sh
# Times fetch_bench beside curl on the same local server, for a small page
# and a large one, and reports peak memory of both.
#   web/fetch_bench.sh BUILD_DIR [COUNT]
set -eu
build=${1:?build directory with web/fetch_bench}
count=${2:-200}
bench="$build/web/fetch_bench"
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

for bytes in 20000 5242880; do
  "$bench" serve "$bytes" "$work/port" &
  server=$!
  while [ ! -s "$work/port" ]; do sleep 0.05; done
  address="http://127.0.0.1:$(cat "$work/port")/body"
  n=$count
  [ "$bytes" -gt 1000000 ] && n=$((count / 10))

  echo "== body $bytes bytes, $n fetches"
  /usr/bin/time -v "$bench" fetch "$address" "$n" 2>"$work/time"
  grep -E "Maximum resident|Elapsed" "$work/time" | sed 's/^\s*/   fetch_bench: /'
  /usr/bin/time -v sh -c "i=0; while [ \$i -lt $n ]; do curl -s -o /dev/null '$address'; i=\$((i+1)); done" \
    2>"$work/time"
  grep -E "Maximum resident|Elapsed" "$work/time" | sed 's/^\s*/   curl loop:   /'

  kill "$server"
  wait "$server" 2>/dev/null || true
  rm -f "$work/port"
done
