# Sourced by the build and test scripts: finds out once what this machine can run.
#   KVX_X86_LAUNCHER  empty where 32-bit x86 programs run natively, else the user-mode emulator
#                     (qemu-i386) that runs them; the x86 build's tests start programs through it
#   KVX_WINE32        1 where Wine's 32-bit loader can run, else 0
#   KVX_WINE64        Wine's 64-bit loader, used directly: the `wine` wrapper would pick the
#                     32-bit loader whenever wine32 is installed
#   KVX_MACHINE_NOTE  one line saying which of the above was decided and why
# KVX_FORCE_EMULATION=1 takes the emulated paths even where the machine runs 32-bit programs.
# Needs the x86 packages (g++-multilib) installed; installs qemu-user only when it is needed.

kvx_runs_x86_natively() {
  local probe status
  probe=$(mktemp -d)
  printf 'int main(void) { return 0; }\n' >"$probe/probe.c"
  gcc -m32 "$probe/probe.c" -o "$probe/probe" 2>/dev/null && "$probe/probe" 2>/dev/null
  status=$?
  rm -rf "$probe"
  return $status
}

kvx_detect_machine() {
  # A script started by another that already decided takes its decision.
  [ -n "${KVX_MACHINE_NOTE:-}" ] && return 0
  KVX_WINE64=/usr/lib/wine/wine64
  if [ "${KVX_FORCE_EMULATION:-0}" = 1 ]; then
    KVX_MACHINE_NOTE="32-bit x86 programs run under qemu-i386 (forced by KVX_FORCE_EMULATION=1)"
  elif kvx_runs_x86_natively; then
    KVX_X86_LAUNCHER="" KVX_WINE32=1
    KVX_MACHINE_NOTE="32-bit x86 programs run natively"
    export KVX_X86_LAUNCHER KVX_WINE32 KVX_WINE64 KVX_MACHINE_NOTE
    return 0
  else
    KVX_MACHINE_NOTE="this kernel cannot run 32-bit x86 programs: they run under qemu-i386"
  fi
  "$(dirname "${BASH_SOURCE[0]}")/install-deps.sh" emulator || return 1
  KVX_X86_LAUNCHER=$(command -v qemu-i386) KVX_WINE32=0
  export KVX_X86_LAUNCHER KVX_WINE32 KVX_WINE64 KVX_MACHINE_NOTE
}
