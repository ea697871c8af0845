#!/usr/bin/env bash
# Installs what is missing, then builds and runs the tests.
#
#   tools/test.sh              everything: the dev and asan presets, the Debian
#                              package and its checks, the Windows programs and
#                              their tests under Wine, and every fuzz target for
#                              30 s on its seeds (what CI runs)
#   tools/test.sh PRESET...    only the CTest tests of these presets (dev, asan,
#                              release)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh build
jobs=$(nproc)
run_presets() {
  for preset in "$@"; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j"$jobs"
    ctest --preset "$preset" -j"$jobs"
  done
}

if [[ $# -gt 0 ]]; then
  run_presets "$@"
  exit 0
fi

run_presets dev asan

echo "== Debian package"
bash tools/install-deps.sh package
timeout 1200 bash tools/package.sh
timeout 300 bash tools/package_check.sh

# After the dev build: the Windows tests use its simulator and fetch server.
echo "== Windows"
bash tools/windows-test.sh

# Every fuzz target for 30 s on its seeds; a finding fails the run and its
# input is printed as hex.
echo "== fuzz"
bash tools/install-deps.sh fuzz
bash tools/fuzz.sh all 30
