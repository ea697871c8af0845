#!/usr/bin/env bash
# Installs what is missing, then configures, builds and runs every test, in
# each preset named (default: dev). Presets: dev, asan, release.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh build
jobs=$(nproc)
for preset in "${@:-dev}"; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done
