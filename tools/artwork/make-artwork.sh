#!/usr/bin/env bash
# Redraws the panel artwork into resources/. Needs Cairo and the DejaVu fonts
# (tools/install-deps.sh artwork); the plug-in build itself only reads the committed PNGs.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cc -O2 -std=gnu11 -Wall -Wextra -Werror tools/artwork/kvx-artwork.c -o "$out/kvx-artwork" \
  $(pkg-config --cflags --libs cairo) -lm
cc -O2 -std=gnu11 -Wall -Wextra -Werror tools/artwork/png-unfiltered.c -o "$out/png-unfiltered" -lpng
"$out/kvx-artwork" resources
"$out/png-unfiltered" resources/*.png
echo "artwork: wrote resources/*.png"
