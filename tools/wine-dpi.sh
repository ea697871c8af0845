#!/bin/sh
# Runs a Windows program under Wine at another screen DPI, in a Wine prefix of
# its own that is removed afterwards:  wine-dpi.sh DPI WINE PROGRAM ARG...
set -eu
dpi=$1 wine=$2
shift 2
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all DSR_EXPECT_DPI="$dpi"
wineserver=$(dirname "$wine")/wineserver
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$wine" "$@"
