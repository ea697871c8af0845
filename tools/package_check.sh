#!/usr/bin/env bash
# Checks the Debian package that tools/package.sh built: lintian (no error or warning),
# the desktop entry and AppStream validators, the manual pages, the installed
# layout, and dsrscope-cli run from the unpacked package against the
# simulator of the same release build.
#
#   bash tools/package_check.sh [PORT]    PORT: the simulator's (default 18580)
set -euo pipefail
cd "$(dirname "$0")/.."

port=${1:-18580}
deb=$(ls build/release/dsrscope_*.deb)
echo "== $deb ($(stat -c %s "$deb") bytes)"

echo "== lintian"
lintian --fail-on error,warning --info --display-info "$deb"

tmp=$(mktemp -d)
simulator=
cleanup() {
  [[ -n "$simulator" ]] && { kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true; }
  rm -rf "$tmp"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root

echo "== validators"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || { echo "$page: $warnings" >&2; exit 1; }
done

echo "== layout"
expected='./usr/bin/dsrscope
./usr/bin/dsrscope-cli
./usr/share/applications/example.vrenlo.dsrscope.desktop
./usr/share/doc/dsrscope/changelog.gz
./usr/share/doc/dsrscope/copyright
./usr/share/icons/hicolor/256x256/apps/dsrscope.png
./usr/share/icons/hicolor/48x48/apps/dsrscope.png
./usr/share/icons/hicolor/scalable/apps/dsrscope.svg
./usr/share/man/man1/dsrscope-cli.1.gz
./usr/share/man/man1/dsrscope.1.gz
./usr/share/metainfo/example.vrenlo.dsrscope.metainfo.xml'
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
if [[ "$files" != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$files") >&2 || true
  echo "the package's files are not the expected ones" >&2
  exit 1
fi
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ && $2 != "root/root" {bad=1; print} END {exit bad}'
file "$root/usr/bin/dsrscope-cli" | grep -q 'stripped' && ! file "$root/usr/bin/dsrscope-cli" | grep -q 'not stripped'

echo "== dsrscope-cli from the package against the simulator on 127.0.0.1:$port"
cmake --build --preset release --target dsrscope-simulator -j"$(nproc)" >/dev/null
build/release/tools/dsrscope-simulator --port "$port" >/dev/null &
simulator=$!
for _ in $(seq 50); do
  kill -0 "$simulator" 2>/dev/null || { echo "The simulator did not start (is port $port taken?)." >&2; exit 1; }
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

# The configured hosts (HOST or HOST:PORT) routed to the simulator.
cache() { sed -n "s/^$1:[A-Z]*=//p" build/release/CMakeCache.txt; }
announcement_host=$(cache DSR_ANNOUNCEMENT_ADDRESS | sed 's|^http://||; s|/.*||')
routes=()
for host in "$(cache DSR_PROFILE_HOST)" "$(cache DSR_RATING_HOST)" "$announcement_host"; do
  [[ "$host" == *:* ]] || host=$host:80
  routes+=(--connect-to "$host:127.0.0.1:$port")
done

set +e
"$root/usr/bin/dsrscope-cli" "${routes[@]}" --format json --interval 0 vrenlo_shop nobody_here \
  >"$tmp/out.json" 2>"$tmp/err.txt"
code=$?
set -e
cat "$tmp/out.json"
[[ $code -eq 1 ]] || { echo "exit code $code, expected 1 (one unknown account)" >&2; cat "$tmp/err.txt" >&2; exit 1; }
grep -q '^{"account":"vrenlo_shop",.*"needed":23446,.*"failure":null}$' "$tmp/out.json"
grep -q '^{"account":"nobody_here",.*"failure":"找不到该卖家，请检查帐号名称"}$' "$tmp/out.json"
[[ $(wc -l <"$tmp/out.json") -eq 2 ]]
echo "== package checks passed"
