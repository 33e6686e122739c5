#!/usr/bin/env bash
# kvx-host on a CLAP module under a virtual X server: validate passes every check on each of its
# plug-ins, the editor's drag reaching the host as begin, values and end; and `edit` shows the
# editor embedded exactly as the VST 2.x module's, pixel for pixel.
# Usage: validate-clap.sh KVX_HOST CLAP_MODULE VST_MODULE
# KVX_LAUNCHER, where set, is the emulator that starts the build's programs.
set -uo pipefail
host=$1 module=$2 vst=$3
read -r -a launcher <<<"${KVX_LAUNCHER:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
xvfb-run -a "${launcher[@]}" "$host" validate "$module" >"$work/log" 2>&1
status=$?
cat "$work/log"
[ "$status" = 0 ] || { echo "validate exited with $status"; exit 1; }
plugins=$(grep -c '^validating .*, plug-in ' "$work/log")
drags=$(grep -cE '^clap editor: a drag sends begin, values, end +pass' "$work/log")
if [ "$plugins" -lt 2 ] || [ "$drags" != "$plugins" ]; then
  echo "expected a passing drag check for each of at least 2 plug-ins; saw $drags of $plugins"
  exit 1
fi

xvfb-run -a "${launcher[@]}" "$host" edit "$module" --id com.wexmoradine.kelvorantumix --screenshot "$work/clap.png" &&
  xvfb-run -a "${launcher[@]}" "$host" edit "$vst" --screenshot "$work/vst.png" || { echo "edit failed"; exit 1; }
cmp "$work/clap.png" "$work/vst.png" || { echo "the CLAP editor differs from the VST editor"; exit 1; }
echo "edit: the CLAP editor shows the same pixels as the VST editor"
