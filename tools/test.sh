#!/usr/bin/env bash
# Builds and tests every configuration: 64-bit, 32-bit, 64-bit under AddressSanitizer and
# UndefinedBehaviorSanitizer (with the fuzz targets), the whole suite once more under
# ThreadSanitizer, the Windows DLLs under Wine, and kvx-host validate on both Linux builds and
# the sanitizer build (the CLAP module's two plug-ins on the 64-bit ones), and on other VST 2.x
# and CLAP plug-ins from Debian. Where the kernel cannot run 32-bit programs, they run under
# qemu-i386 (tools/machine.sh; KVX_FORCE_EMULATION=1 forces that).
# Installs missing Debian packages first. Ends with one line "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh all windows others || exit 1
source tools/machine.sh
kvx_detect_machine || exit 1
echo "=== machine: $KVX_MACHINE_NOTE"

passed=0 failed=0 skipped=0 status=0
failures=()

# fail WHAT: counts a failure that is not a test's own (a build, the format, a missing summary)
# and lists it at the end.
fail() {
  failures+=("$1")
  failed=$((failed + 1)) status=1
}

# count LOG STEP: adds the CTest summaries (or validator summaries) found in LOG to the totals, and
# the tests a step could not run on this machine ("=== N tests skipped: why") to the skipped.
count() {
  local log=$1 found=0 line total bad notrun
  while read -r line; do
    found=1
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)) failed=$((failed + bad))
  done < <(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log")
  while read -r line; do
    found=1
    passed=$((passed + $(sed -E 's/^([0-9]+) passed.*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.*, ([0-9]+) failed.*/\1/' <<<"$line")))
  done < <(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log")
  while read -r line; do
    skipped=$((skipped + $(sed -E 's/^=== ([0-9]+) tests skipped: .*/\1/' <<<"$line")))
  done < <(grep -E '^=== [0-9]+ tests skipped: ' "$log")
  local names
  names=$(sed -nE -e 's/^[[:space:]]*[0-9]+ - (.*\((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception|Not Run)\))$/\1/p' \
    -e 's/^(.*[[:space:]]FAIL[[:space:]].*)$/\1/p' "$log")
  if [ -n "$names" ]; then
    while read -r line; do
      failures+=("$2: $line")
    done <<<"$names"
    # Where the failing test cases stopped, from every try; a step without failures shows none.
    while read -r line; do
      failures+=("    $line")
    done < <(grep -E -e '^\[  FAILED  \] .* \([0-9]+ ms\)$' -e ':[0-9]+: Failure$' "$log" | head -n 60)
  fi
  notrun=$(grep -c '(Skipped)' "$log" || true)
  passed=$((passed - notrun)) skipped=$((skipped + notrun))
  if [ "$found" = 0 ]; then
    echo "=== no test summary"
    fail "$2: no test summary"
  fi
}

# step NAME COMMAND...: runs a step, shows its output and counts its results.
step() {
  local name=$1
  shift
  echo "=== $name"
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  count "$log" "$name"
  rm -f "$log"
}

# build PRESET: configures and builds; the x86 build learns how its programs are started.
build() {
  local settings=()
  [ "$1" = x86 ] && settings=("-DCMAKE_CROSSCOMPILING_EMULATOR=$KVX_X86_LAUNCHER")
  cmake --preset "$1" "${settings[@]}" >/dev/null && cmake --build --preset "$1"
}

echo "=== format: every C++ file as .clang-format lays it out"
if git ls-files '*.cpp' '*.h' | grep -v '^tools/artwork/' | xargs clang-format --dry-run -Werror; then
  passed=$((passed + 1))
else
  echo "=== format: run clang-format -i on the files above"
  fail "format"
fi

for preset in x64 x86 sanitize tsan; do
  echo "=== $preset: configure and build"
  if ! build "$preset"; then
    echo "=== $preset: BUILD FAILED"
    fail "$preset: build"
    continue
  fi
  # A test that fails runs once more: on a shared machine a real-time test (a JACK server, a
  # window) can miss its moment, and a fault fails both times. Both runs show in the log.
  step "$preset: test" ctest --preset "$preset" --repeat until-pass:2
done

echo "=== windows: build the DLLs"
if tools/build-windows.sh; then
  step "windows: test under Wine" tools/test-windows.sh
else
  echo "=== windows: BUILD FAILED"
  fail "windows: build"
fi

for build_dir in build/x64 build/x86 build/sanitize; do
  launcher=()
  [ "$build_dir" = build/x86 ] && [ -n "$KVX_X86_LAUNCHER" ] && launcher=("$KVX_X86_LAUNCHER")
  if [ -x "$build_dir/host/kvx-host" ]; then
    step "validate: Kelvorantumix ($build_dir)" xvfb-run -a "${launcher[@]}" "$build_dir/host/kvx-host" validate
  fi
done
# The CLAP module's two plug-ins, stereo and mono in, each in turn through the validator's CLAP run.
for build_dir in build/x64 build/sanitize; do
  if [ -x "$build_dir/host/kvx-host" ] && [ -f "$build_dir/Kelvorantumix.clap" ]; then
    step "validate: Kelvorantumix.clap ($build_dir)" xvfb-run -a "$build_dir/host/kvx-host" \
      validate "$build_dir/Kelvorantumix.clap"
  fi
done
# The validator tried on other makers' plug-ins, to see that it judges fairly. Their findings are
# theirs: shown here, not counted.
for other in /usr/lib/lxvst/DragonflyRoomReverb-vst.so /usr/lib/vst/ZamComp-vst.so \
  /usr/lib/clap/ZamComp.clap /usr/lib/clap/ZamEQ2.clap /usr/lib/clap/ZamTube.clap; do
  if [ -f "$other" ] && [ -x build/x64/host/kvx-host ]; then
    echo "=== validate (not counted): $(basename "$other")"
    # Their own diagnostics on stderr (DPF's CLAP modules print thousands) are left out.
    build/x64/host/kvx-host validate "$other" --skip-editor 2>/dev/null | sed 's/^/    /' || true
  fi
done

echo "=== benchmarks: build only (run them with tools/bench.sh)"
if ! build x64-bench; then
  echo "=== benchmarks: BUILD FAILED"
  fail "benchmarks: build"
fi

# Listed again at the end, where the tail of a long log still shows them.
if [ ${#failures[@]} -gt 0 ]; then
  echo "=== what failed"
  printf '    %s\n' "${failures[@]}"
fi
echo "$passed passed, $failed failed, $skipped skipped"
exit $status
