#!/usr/bin/env bash
# Cross-builds the Windows deliverables, build/win64/Kelvorantumix_x64.dll and
# build/win32/Kelvorantumix_x86.dll, with their tests. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh windows
for arch in x86_64 i686; do
  tools/build-windows-deps.sh "$arch"
done
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
echo "built build/win64/Kelvorantumix_x64.dll and build/win32/Kelvorantumix_x86.dll"
