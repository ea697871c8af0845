#!/usr/bin/env bash
# The README's screenshot: the demo build under Xvfb against the simulator, an
# account typed, 1.查询 and 2.计算 pressed, the window captured to
# docs/screenshot.png. Needs the demo build (bash tools/demo.sh builds it) and
# xvfb, xauth, xdotool, imagemagick and fonts-noto-cjk.
#
#   bash tools/screenshot.sh [ACCOUNT]     (default bigmall_store)
#
# DSR_DEMO_BIN and DSR_DEMO_PORT name another build of the demo and the port
# its addresses point at (default build/demo and 18080).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${INSIDE_XVFB:-}" ]]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x600x24" bash "$0" "$@"
fi
account=${1:-bigmall_store}
bin=${DSR_DEMO_BIN:-build/demo}

port=${DSR_DEMO_PORT:-18080}
"$bin/tools/dsrscope-simulator" --port "$port" > /dev/null &
simulator=$!
# The tool reads the announcement at start: the simulator must listen first.
for _ in $(seq 50); do
  kill -0 "$simulator" 2>/dev/null || { echo "The simulator did not start." >&2; exit 1; }
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done
"$bin/app/dsrscope" &
tool=$!
trap 'kill "$tool" "$simulator" 2>/dev/null || true; wait 2>/dev/null || true' EXIT

window=$(xdotool search --sync --onlyvisible --name 'Kestrin Vrenlo')
sleep 0.5
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.5; }
click 190 25  # 编辑框1
xdotool type --delay 30 "$account"
click 296 25  # 按钮1
click 384 25  # 按钮2
xdotool mousemove 1000 590
sleep 0.3
mkdir -p docs
import -window "$window" docs/screenshot.png
echo "docs/screenshot.png"
