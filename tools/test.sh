#!/usr/bin/env bash
# Builds and tests every configuration: 64-bit, 32-bit, and 64-bit under AddressSanitizer and
# UndefinedBehaviorSanitizer (with the fuzz targets), and the editor's thread test under
# ThreadSanitizer (the tsan presets build and run only that). Installs missing Debian packages
# first.
# Ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh all || exit 1

passed=0 failed=0 skipped=0 status=0
for preset in x64 x86 sanitize tsan; do
  echo "=== $preset: configure and build"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    echo "=== $preset: BUILD FAILED"
    failed=$((failed + 1)) status=1
    continue
  fi
  echo "=== $preset: test"
  log=$(mktemp)
  ctest --preset "$preset" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    echo "=== $preset: no test summary"
    failed=$((failed + 1)) status=1
  else
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
    notrun=$(grep -c '(Skipped)' "$log" || true)
    passed=$((passed + total - bad - notrun)) failed=$((failed + bad)) skipped=$((skipped + notrun))
  fi
  rm -f "$log"
done

echo "=== benchmarks: build only (run them with tools/bench.sh)"
if ! { cmake --preset x64-bench >/dev/null && cmake --build --preset x64-bench; }; then
  echo "=== benchmarks: BUILD FAILED"
  failed=$((failed + 1)) status=1
fi

echo "$passed passed, $failed failed, $skipped skipped"
exit $status
