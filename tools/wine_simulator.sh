# Sourced by the scripts that run a Windows program under Wine against the
# simulator. `wine_with_simulator PORT [SIMULATOR OPTION...]` sets `wine` to
# the wine64 program, makes a fresh Wine prefix (WINEPREFIX, WINEDEBUG=-all),
# starts the dev build's simulator on 127.0.0.1:PORT and returns once it
# listens; at exit the simulator, the wineserver and the prefix are gone.
wine_with_simulator() {
  local port=$1
  shift
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINEDEBUG=-all
  WINEPREFIX=$(mktemp -d)
  export WINEPREFIX
  build/dev/tools/dsrscope-simulator --port "$port" "$@" >/dev/null &
  simulator=$!
  trap 'kill "$simulator" 2>/dev/null || true
        "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"' EXIT
  for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    kill -0 "$simulator" 2>/dev/null || break
    sleep 0.1
  done
  echo "The simulator did not start on 127.0.0.1:$port (is the port taken?)." >&2
  exit 1
}
