#!/usr/bin/env bash
# Builds the 64-bit plug-in and kvx-host, then renders the built-in guitar riff through the
# plug-in (Drive up, the Vortalizer reverb on) into kelvorantumix-riff.wav in this folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh native
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target Kelvorantumix kvx-host
build/x64/host/kvx-host render --set Drive=0.8 --set Vortalizer=On -o kelvorantumix-riff.wav
echo "The plug-in is build/x64/Kelvorantumix_x64.so; the rendered riff is $PWD/kelvorantumix-riff.wav"
