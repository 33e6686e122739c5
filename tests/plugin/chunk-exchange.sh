#!/usr/bin/env bash
# State written by one build loads in the other, and both builds write the same bytes.
# Usage: chunk-exchange.sh SELF_TOOL PEER_TOOL PEER_MODULE   (exit 77: no peer build to try)
set -euo pipefail
self=$1 peer=$2 peer_module=$3
if [ ! -x "$peer" ] || [ ! -f "$peer_module" ]; then
  echo "no peer build at $peer; build both presets to run this check"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
KVX_MODULE="$peer_module" "$peer" save "$dir/peer.bin"
"$self" load "$dir/peer.bin"
"$self" save "$dir/self.bin"
KVX_MODULE="$peer_module" "$peer" load "$dir/self.bin"
cmp "$dir/peer.bin" "$dir/self.bin"
echo "state chunks are byte-identical across the two builds"
