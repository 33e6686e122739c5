#!/usr/bin/env bash
# Installs the Debian packages the builds need, only when something is missing. The native set
# includes JACK for kelvorantumix and its tests (jackd2's dummy driver), and dpkg-dev and lintian
# (with file, which cpack asks about each file) for building and checking the Debian package.
# Usage: tools/install-deps.sh [native] [x86] [sanitize] [windows] [others] [artwork] [emulator]
# (native: also the LV2 headers and the LV2 test tools: lilv-utils, sordi's validator, and jalv
# with a JACK server to run it on;
# windows: the mingw-w64 cross compilers, Wine and Xvfb for the Windows DLLs and their tests;
# others: VST 2.x and CLAP plug-ins of other makers (zam-plugins installs both), which kvx-host
# validate is tried on;
# artwork: Cairo and fonts for tools/artwork, which redraws the committed panel PNGs, and xwd
# and netpbm for the README's picture of the kelvorantumix window;
# emulator: qemu-user, for machines whose kernel cannot run 32-bit x86 programs)
set -euo pipefail

want_native=0 want_x86=0 want_sanitize=0 want_windows=0 want_others=0 want_artwork=0
want_emulator=0
for arg in "${@:-native}"; do
  case "$arg" in
    native) want_native=1 ;;
    x86) want_x86=1 ;;
    sanitize) want_sanitize=1 ;;
    all) want_native=1 want_x86=1 want_sanitize=1 ;;
    windows) want_windows=1 ;;
    others) want_others=1 ;;
    artwork) want_artwork=1 ;;
    emulator) want_emulator=1 ;;
    *) echo "install-deps: unknown set '$arg'" >&2; exit 2 ;;
  esac
done

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev libpng-dev libjpeg62-turbo-dev
  zlib1g-dev libx11-dev libsndfile1-dev libpixman-1-dev binutils locales clang-format
  xvfb xauth libxtst-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core libfftw3-dev
  libjack-jackd2-dev jackd2 dpkg-dev file lintian lv2-dev lilv-utils sordi jalv)
[ "$want_sanitize" = 1 ] && packages+=(clang libclang-rt-14-dev)
# wine32 runs the 32-bit DLL's tests; dpkg-dev unpacks the Debian sources of libpng and libjpeg.
[ "$want_windows" = 1 ] && packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  libz-mingw-w64-dev nasm dpkg-dev xvfb xauth wine wine64 wine32:i386)
[ "$want_others" = 1 ] && packages+=(dragonfly-reverb-vst zam-plugins)
[ "$want_artwork" = 1 ] && packages+=(gcc libcairo2-dev fonts-dejavu-core fonts-dejavu-extra
  x11-apps netpbm)
[ "$want_emulator" = 1 ] && packages+=(qemu-user)
x86_packages=(g++-multilib libpng-dev:i386 libjpeg62-turbo-dev:i386 zlib1g-dev:i386 libx11-dev:i386
  libgtest-dev:i386 libsndfile1-dev:i386 libxtst-dev:i386 libfreetype-dev:i386
  libfontconfig-dev:i386 libfftw3-dev:i386)

missing=()
is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in "${packages[@]}"; do is_installed "$p" || missing+=("$p"); done
if [ "$want_x86" = 1 ]; then
  for p in "${x86_packages[@]}"; do is_installed "$p" || missing+=("$p"); done
fi
[ "${#missing[@]}" = 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" = 0 ] || sudo_cmd=(sudo)
if { [ "$want_x86" = 1 ] || [ "$want_windows" = 1 ]; } && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
