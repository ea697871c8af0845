#!/usr/bin/env bash
# Cross-builds the Windows programs (presets windows and windows-release) and
# runs the Windows tests under wine64 on Xvfb, in a fresh Wine prefix that is
# removed afterwards. Usage: tools/windows-test.sh [preset ...]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh windows
jobs=$(nproc)
export WINEDEBUG=-all
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# The window and fetch tests talk to native servers of the dev build.
cmake --preset dev >/dev/null
cmake --build --preset dev --target dsrscope-simulator fetch_test_server -j"$jobs"
simulator=$PWD/build/dev/tools/dsrscope-simulator
fetch_server=$PWD/build/dev/web/fetch_test_server

presets=("$@")
[[ ${#presets[@]} -gt 0 ]] || presets=(windows windows-release)
for p in "${presets[@]}"; do
  echo "== $p"
  cmake --preset "$p" -DDSR_NATIVE_SIMULATOR="$simulator" -DDSR_NATIVE_FETCH_SERVER="$fetch_server"
  # Under Xvfb from the build on: test discovery runs the programs too.
  run="cmake --build --preset $p -j$jobs"
  [[ "$p" != windows ]] || run+=" && ctest --preset windows -j$jobs"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$run"
done
