#!/bin/sh
# Regenerates the pictures and icons in assets/ with the picture maker.
#   tools/make_assets.sh [about] [blackmark] [icon] [help]
# With no names, all of them. The help picture renders the real window, so
# the window library is built too. Needs Tahoma from fonts-wine and the URW
# or DejaVu serif fonts.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SABERLINE_ASSETS_BUILD:-$root/build-make-assets}
(cd "$root" && cmake --preset assets -B "$build" >/dev/null)
cmake --build "$build" --target make_assets -j2
QT_QPA_PLATFORM=offscreen "$build/tools/make_assets/make_assets" "$root/assets" "$@"
