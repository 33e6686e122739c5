#!/usr/bin/env bash
# Runs the Windows builds' tests under Wine on a virtual display: the test host against each
# DLL, the editor window, and the comparison with the Linux builds' chunks and audio (which
# needs build/x64 and build/x86). Prints CTest's summary for each preset.
set -uo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine-prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

if [ "${1:-}" != "--on-display" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One X server and one wineserver for every Wine program of the run.
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display
fi

wineserver -k 2>/dev/null || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 300 wineboot -i >/dev/null 2>&1
fi
status=0
for preset in win64 win32; do
  echo "=== $preset: test under Wine"
  ctest --preset "$preset" --timeout 300 || status=1
done
wineserver -k 2>/dev/null || true
exit $status
