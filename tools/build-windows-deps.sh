#!/usr/bin/env bash
# Builds static libpng, libjpeg-turbo and zlib for the Windows cross builds from Debian's own
# sources, into build/windows-deps/<arch>. Nothing third-party is kept in the repository.
# Usage: tools/build-windows-deps.sh x86_64|i686
set -euo pipefail
arch=${1:?usage: build-windows-deps.sh x86_64|i686}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/windows-deps
prefix=$work/$arch
stamp=$prefix/.built
[ -f "$stamp" ] && exit 0

sources=$work/src
mkdir -p "$sources"
if [ ! -d "$sources/libpng" ] || [ ! -d "$sources/libjpeg-turbo" ]; then
  if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/; then
    # Source packages of the main archive only: the security archive serves no source files.
    cat > /etc/apt/sources.list.d/debian-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq
  fi
  (cd "$sources" && apt-get source -qq libpng1.6/bookworm libjpeg-turbo/bookworm >/dev/null)
  mv "$sources"/libpng1.6-*/ "$sources/libpng"
  mv "$sources"/libjpeg-turbo-*/ "$sources/libjpeg-turbo"
fi

toolchain=$root/cmake/toolchain-mingw-$arch.cmake
zlib=/usr/$arch-w64-mingw32/lib/libz.a
common=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=ON)

cmake -S "$sources/libjpeg-turbo" -B "$work/build-jpeg-$arch" "${common[@]}" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF \
  -DCMAKE_ASM_NASM_COMPILER=nasm >/dev/null
cmake --build "$work/build-jpeg-$arch" -j2 --target install >/dev/null

cmake -S "$sources/libpng" -B "$work/build-png-$arch" "${common[@]}" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR=/usr/$arch-w64-mingw32/include >/dev/null
cmake --build "$work/build-png-$arch" -j2 --target install >/dev/null

touch "$stamp"
echo "windows deps for $arch in $prefix"
