#!/usr/bin/env bash
# Runs the Windows builds' tests under Wine on a virtual display: the test host against each
# DLL, the editor window, and the comparison with the Linux builds' chunks and audio (which
# needs build/x64 and build/x86). Prints CTest's summary for each preset. Where 32-bit programs
# do not run natively, Wine's 32-bit loader does not run either: the win32 tests are then
# reported as skipped, in one line that says why.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/machine.sh
kvx_detect_machine || exit 1

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine-prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# Wine's 64-bit loader, never the wrapper; Wine derives the 32-bit loader's name from it.
export WINELOADER="$KVX_WINE64"

if [ "${1:-}" != "--on-display" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One X server and one wineserver for every Wine program of the run.
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display
fi

wineserver -k 2>/dev/null || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 300 "$WINELOADER" wineboot -i >/dev/null 2>&1
fi
status=0
for preset in win64 win32; do
  if [ "$preset" = win32 ] && [ "$KVX_WINE32" != 1 ]; then
    count=$(ctest --preset win32 -N | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    echo "=== ${count:-0} tests skipped: win32 under Wine, with its comparison with build/x86" \
      "($KVX_MACHINE_NOTE; Wine's 32-bit loader does not run under it)"
    continue
  fi
  echo "=== $preset: test under Wine"
  if [ "$preset" = win32 ]; then
    # The 32-bit loader runs as the wine wrapper starts it, without a 64-bit WINELOADER.
    env -u WINELOADER ctest --preset win32 --timeout 300 --repeat until-pass:2 || status=1
  else
    ctest --preset win64 --timeout 300 --repeat until-pass:2 || status=1
  fi
done
wineserver -k 2>/dev/null || true
exit $status
