#!/usr/bin/env bash
# Another build of the plug-in (other word size or other system) must write byte-identical
# state chunks that load in this build and the other way round, and render byte-identical audio.
# Usage: compare-builds.sh SELF_DIR PEER_DIR  (build folders; exit 77 when the peer is not built)
# Each build's programs run the way its tests run: through the emulator its CMake cache names
# (Wine for the Windows builds, whose module paths are given on drive Z:; qemu-i386 for the
# 32-bit build on a kernel without 32-bit support), or natively.
set -euo pipefail
self_dir=$1 peer_dir=$2

# first_file PATTERN...: the first of the patterns' matches that exists, or nothing.
first_file() {
  local candidate
  for candidate in "$@"; do
    if [ -f "$candidate" ]; then
      echo "$candidate"
      return
    fi
  done
}
module_of() { first_file "$1"/Kelvorantumix_*.so "$1"/Kelvorantumix_*.dll; }
tool_of() { first_file "$1/tests/plugin/$2" "$1/tests/plugin/$2.exe"; }

emulator_of() {
  sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null | tr ';' ' '
}

# run BUILD_DIR TOOL ARGS...: runs a test tool of that build against that build's module.
run() {
  local dir=$1 tool=$2
  shift 2
  local module program emulator
  module=$(module_of "$dir")
  program=$(tool_of "$dir" "$tool")
  read -r -a emulator <<<"$(emulator_of "$dir")"
  if [[ "$program" == *.exe ]]; then
    module="Z:$module"
  fi
  KVX_MODULE="$module" timeout 300 "${emulator[@]}" "$program" "$@"
}

for dir in "$self_dir" "$peer_dir"; do
  if [ -z "$(module_of "$dir")" ] || [ -z "$(tool_of "$dir" chunk_exchange)" ] ||
     [ -z "$(tool_of "$dir" audio_render)" ]; then
    echo "no complete build in $dir; build both to run this comparison"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run "$peer_dir" chunk_exchange save "$work/peer.chunk"
run "$self_dir" chunk_exchange load "$work/peer.chunk"
run "$self_dir" chunk_exchange save "$work/self.chunk"
run "$peer_dir" chunk_exchange load "$work/self.chunk"
cmp "$work/peer.chunk" "$work/self.chunk"
echo "state chunks: byte-identical, each loads in the other build"

run "$self_dir" audio_render "$work/self.audio"
run "$peer_dir" audio_render "$work/peer.audio"
cmp "$work/self.audio" "$work/peer.audio"
echo "audio: $(stat -c %s "$work/self.audio") bytes, byte-identical"
