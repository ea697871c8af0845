#!/usr/bin/env bash
# The demo: installs what is missing, builds the demo configuration (every
# address points at the bundled marketplace simulator on 127.0.0.1:18080),
# starts the simulator and opens the window against it. Without a display it
# runs the same query with dsrscope-cli and prints the result lines.
#
#   bash tools/demo.sh [ACCOUNT...]   ACCOUNT: for the run without a display
#                                     (default vrenlo_shop)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh demo
cmake --preset demo
cmake --build --preset demo -j2

bin=build/demo
port=18080
"$bin/tools/dsrscope-simulator" --port "$port" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true' EXIT

# Up to 5 seconds for the simulator to listen.
for _ in $(seq 50); do
  kill -0 "$simulator" 2>/dev/null || { echo "The simulator did not start (is port $port taken?)." >&2; exit 1; }
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  accounts=("${@:-vrenlo_shop}")
  echo
  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running the query for ${accounts[*]} with dsrscope-cli."
  "$bin/app/dsrscope-cli" "${accounts[@]}"
else
  echo
  echo "Type one of the accounts above into the window and press 1.查询, then 2.计算."
  echo "Closing the window stops the simulator."
  "$bin/app/dsrscope"
fi
