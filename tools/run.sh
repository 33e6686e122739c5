#!/usr/bin/env bash
# Builds the 64-bit plug-in and loads it in kvx-host, the project's command-line VST 2.x host.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh native
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target Kelvorantumix kvx-host
build/x64/host/kvx-host info
echo
echo "The plug-in is build/x64/Kelvorantumix_x64.so"
