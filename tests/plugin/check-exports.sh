#!/usr/bin/env bash
# The module exports exactly the given names, undecorated (cdecl on 32-bit Windows). When none
# are given: a CLAP module (.clap) exactly the data object clap_entry, any other VSTPluginMain and
# main.
# Usage: check-exports.sh MODULE [NAME...]
set -euo pipefail
module=$1
shift
wanted=("$@")
if [ "${#wanted[@]}" = 0 ]; then
  case "$module" in
    *.clap) wanted=(clap_entry) ;;
    *) wanted=(VSTPluginMain main) ;;
  esac
fi
case "$module" in
  *.dll)
    objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
    # The export table lists "[ordinal] name" rows after the name pointer table heading.
    names=$("$objdump" -p "$module" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -nE 's/^\s*\[\s*[0-9]+\]\s+(\S+).*/\1/p' | sort | tr '\n' ' ')
    if ! "$objdump" -p "$module" | grep -E 'DLL Name' | grep -viqE \
      'DLL Name: (KERNEL32|USER32|GDI32|COMDLG32|SHELL32|WININET|ADVAPI32|msvcrt|ole32|api-ms-win-[a-z0-9-]+)\.dll'; then
      :
    else
      echo "imports a DLL that is not part of Windows:"
      "$objdump" -p "$module" | grep 'DLL Name'
      exit 1
    fi
    ;;
  *)
    names=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
    ;;
esac
expected=$(printf '%s\n' "${wanted[@]}" | sort | tr '\n' ' ')
case "$module" in
  *.clap)
    if [ "$(nm -D --defined-only "$module" | awk '$3 == "clap_entry" {print $2}')" != D ]; then
      echo "clap_entry is not an initialized data object"
      exit 1
    fi
    ;;
esac
if [ "$names" != "$expected" ]; then
  echo "exports are '$names', expected '$expected'"
  exit 1
fi
echo "exports: $names"
