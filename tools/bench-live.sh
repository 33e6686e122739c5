#!/usr/bin/env bash
# Measures the plug-in at the block sizes played live against an older build, in one benchmark
# run: builds this tree's benchmarks, builds REVISION's module in a git worktree under build/,
# and runs kvx_live_bench with both (under xvfb-run, so that the editor opens in a window too).
# Prints the medians and the ratios at the end.
#   tools/bench-live.sh [REVISION] [benchmark options]
# REVISION defaults to 6c8a8e6, the tree before the work on small blocks.
set -euo pipefail
cd "$(dirname "$0")/.."
revision=${1:-6c8a8e6}
shift || true
tools/install-deps.sh native
cmake --preset x64-bench >/dev/null
cmake --build --preset x64-bench --target kvx_live_bench
before=build/before-$revision
if [ ! -d "$before" ]; then
  git worktree add --detach "$before" "$revision" >/dev/null
fi
(cd "$before" && cmake --preset x64 >/dev/null && cmake --build --preset x64 --target Kelvorantumix >/dev/null)
module=$(ls "$before"/build/x64/Kelvorantumix*.so | head -n 1)
xvfb-run -a build/x64-bench/bench/effect/kvx_live_bench --before="$module" \
  --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true "$@"
