#!/usr/bin/env bash
# Builds the Debian package from the release configuration: only the window
# and dsrscope-cli are built for it. Prints the package's path last.
#
#   bash tools/package.sh          then: sudo apt install ./build/release/dsrscope_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh package
# The package takes only the two programs: installing must not build
# everything else first.
cmake --preset release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build --preset release --target dsrscope dsrscope-cli -j"$(nproc)"
(cd build/release && cpack -G DEB >/dev/null)
ls build/release/dsrscope_*.deb
