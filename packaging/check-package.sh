#!/usr/bin/env bash
# check-package.sh BUILD_DIR DEB_NAME: builds the Debian package with cpack in BUILD_DIR and
# checks it as a user would meet it: its fields, its files, its programs run from where
# dpkg-deb unpacks them, and lintian's verdict where lintian is installed.
set -uo pipefail
build=$1 name=$2
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cd "$build" || exit 1
rm -f "$name"
if ! cpack -G DEB >cpack.log 2>&1; then
  cat cpack.log
  echo "FAIL: cpack could not build the package"
  exit 1
fi
[ -f "$name" ] || { echo "FAIL: cpack made no $name"; ls ./*.deb; exit 1; }

info=$(dpkg-deb --info "$name")
echo "$info" | sed 's/^/    /'
field() { dpkg-deb --field "$name" "$1"; }
[ "$(field Package)" = kelvorantumix ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = sound ] || fail "Section is '$(field Section)'"
version=${name#kelvorantumix_}
version=${version%_amd64.deb}
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for library in libjack libx11-6 libxtst6 libpng16-16 libsndfile1 libfreetype6 libfontconfig1 \
  libjpeg62-turbo libstdc++6 libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

contents=$(dpkg-deb --contents "$name")
echo "$contents" | awk '{print "    " $1, $6}'
for file in ./usr/lib/vst/Kelvorantumix_x64.so ./usr/bin/kvx-host ./usr/bin/kelvorantumix \
  ./usr/lib/lv2/Kelvorantumix.lv2/manifest.ttl ./usr/lib/lv2/Kelvorantumix.lv2/Kelvorantumix.so \
  ./usr/lib/lv2/Kelvorantumix.lv2/Kelvorantumix_ui.so ./usr/lib/clap/Kelvorantumix.clap \
  ./usr/share/applications/kelvorantumix.desktop \
  ./usr/share/icons/hicolor/48x48/apps/kelvorantumix.png \
  ./usr/share/icons/hicolor/128x128/apps/kelvorantumix.png \
  ./usr/share/icons/hicolor/256x256/apps/kelvorantumix.png \
  ./usr/share/man/man1/kelvorantumix.1.gz ./usr/share/man/man1/kvx-host.1.gz \
  ./usr/share/doc/kelvorantumix/copyright ./usr/share/doc/kelvorantumix/changelog.gz; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
grep -q ' -rwxr-xr-x .* ./usr/bin/kelvorantumix$' <<<"$(awk '{print " " $1, $0}' <<<"$contents")" ||
  fail "kelvorantumix is not executable"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$name" "$unpacked"
usr=$unpacked/usr
module=$usr/lib/vst/Kelvorantumix_x64.so
if out=$("$usr/bin/kvx-host" info "$module" 2>&1); then
  grep -q 'Kelvorantumix' <<<"$out" || fail "kvx-host info does not name the plug-in: $out"
else
  fail "kvx-host info on the unpacked module failed: $out"
fi
clap=$usr/lib/clap/Kelvorantumix.clap
if out=$("$usr/bin/kvx-host" info "$clap" 2>&1); then
  for id in com.wexmoradine.kelvorantumix com.wexmoradine.kelvorantumix.mono-in; do
    grep -q "$id" <<<"$out" || fail "kvx-host info does not list $id in the .clap: $out"
  done
else
  fail "kvx-host info on the unpacked .clap failed: $out"
fi
# Without a module named, the unpacked kvx-host finds the one unpacked beside it.
if out=$(cd "$unpacked" && env -u KVX_MODULE "$usr/bin/kvx-host" chunk save -o state 2>&1); then
  [ -s "$unpacked/state" ] || fail "kvx-host chunk save wrote nothing"
else
  grep -q "$module" <<<"$out" || fail "the unpacked kvx-host did not use $module: $out"
fi
if out=$("$usr/bin/kelvorantumix" --help 2>&1); then
  grep -q 'usage: kelvorantumix' <<<"$out" || fail "kelvorantumix --help: $out"
else
  fail "kelvorantumix --help failed: $out"
fi
zcat "$usr/share/man/man1/kelvorantumix.1.gz" | grep -q '^\.TH KELVORANTUMIX 1' ||
  fail "the kelvorantumix manual page is not one"
grep -q '^Exec=kelvorantumix$' "$usr/share/applications/kelvorantumix.desktop" ||
  fail "the desktop entry does not start kelvorantumix"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr/share/applications/kelvorantumix.desktop" ||
    fail "desktop-file-validate"
fi

if command -v lintian >/dev/null; then
  # Runs as root in CI and in containers, which lintian otherwise refuses.
  if ! lintian --allow-root --fail-on error --tag-display-limit 0 "$name"; then
    fail "lintian reports errors"
  fi
else
  echo "lintian is not installed: its check is left out"
fi

if [ "$failures" = 0 ]; then
  echo "package $name: all checks passed"
else
  echo "package $name: $failures checks failed"
  exit 1
fi
