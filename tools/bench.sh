#!/usr/bin/env bash
# Builds and runs the benchmarks (Release, 64-bit): the effect's processing and the raster
# library against pixman. Extra arguments go to every benchmark program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh native
cmake --preset x64-bench >/dev/null
cmake --build --preset x64-bench
for program in build/x64-bench/bench/*/kvx_*_bench; do
  echo "=== $program"
  "$program" "$@"
done
