#!/usr/bin/env bash
# The Windows demo on Linux: builds dsrscope.exe against the bundled
# marketplace simulator (preset windows-demo: every address on 127.0.0.1:18080),
# starts the native simulator and runs the .exe under wine64 in a fresh Wine
# prefix that is removed afterwards.
#
#   bash tools/windows-demo.sh                the window on $DISPLAY
#   bash tools/windows-demo.sh --screenshot   under Xvfb: an account typed,
#                                             1.查询 and 2.计算 pressed, the
#                                             window saved to docs/windows-screenshot.png
#
# DSR_DEMO_PORT=N uses port N instead of 18080 (build/windows-demo-N).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == --screenshot && -z "${INSIDE_XVFB:-}" ]]; then
  bash tools/install-deps.sh windows
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x600x24" bash "$0" "$@"
fi
[[ -n "${INSIDE_XVFB:-}" ]] || bash tools/install-deps.sh windows

port=${DSR_DEMO_PORT:-18080}
build=build/windows-demo
options=()
if [[ "$port" != 18080 ]]; then
  build=build/windows-demo-$port
  options=(-B "$build" -DDSR_PROFILE_HOST=127.0.0.1:$port -DDSR_RATING_HOST=127.0.0.1:$port
    -DDSR_ANNOUNCEMENT_ADDRESS=http://127.0.0.1:$port/announce.html
    -DDSR_MAKER_FORUM_HOST=127.0.0.1:$port)
fi
cmake --preset windows-demo "${options[@]}" >/dev/null
cmake --build "$build" --target dsrscope -j2
cmake --preset dev >/dev/null
cmake --build --preset dev --target dsrscope-simulator -j2

source tools/wine_simulator.sh
wine_with_simulator "$port" --rating-host "127.0.0.1:$port"
# Wine draws captions in Tahoma, which has no Chinese: a face that has.
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d 'Noto Sans CJK SC' /f \
  >/dev/null 2>&1

if [[ "${1:-}" != --screenshot ]]; then
  echo "Type vrenlo_shop into the window and press 1.查询, then 2.计算."
  "$wine" "$build/app/dsrscope.exe"
  exit 0
fi

# A Wine desktop of its own draws the window's frame and caption.
"$wine" explorer /desktop=dsrscope,720x280 "$build/app/dsrscope.exe" &
desktop=$(xdotool search --sync --name 'dsrscope - Wine desktop' | head -1)
sleep 3
# The window is centred in the 720 x 280 desktop: client area at (24, 53)
# plus the control's table position.
click() { xdotool mousemove --window "$desktop" "$1" "$2" click 1; sleep 0.7; }
click $((24 + 195)) $((53 + 25))  # 编辑框1
xdotool type --delay 30 vrenlo_shop
click $((24 + 296)) $((53 + 25))  # 按钮1
sleep 1
click $((24 + 384)) $((53 + 25))  # 按钮2
xdotool mousemove --window "$desktop" 700 270
sleep 0.5
mkdir -p docs
import -window "$desktop" docs/windows-screenshot.png
echo "docs/windows-screenshot.png"
