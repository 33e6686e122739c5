#!/usr/bin/env bash
# kvx-host validate on a CLAP module under a virtual X server: every check passes, on each of
# its plug-ins, and the editor's drag reached the host as begin, values and end.
# Usage: validate-clap.sh KVX_HOST MODULE
set -uo pipefail
host=$1 module=$2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
xvfb-run -a "$host" validate "$module" >"$log" 2>&1
status=$?
cat "$log"
[ "$status" = 0 ] || { echo "validate exited with $status"; exit 1; }
plugins=$(grep -c '^validating .*, plug-in ' "$log")
drags=$(grep -cE '^clap editor: a drag sends begin, values, end +pass' "$log")
if [ "$plugins" -lt 2 ] || [ "$drags" != "$plugins" ]; then
  echo "expected a passing drag check for each of at least 2 plug-ins; saw $drags of $plugins"
  exit 1
fi
