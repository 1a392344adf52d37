#!/bin/sh
# Installs the build into a scratch prefix and checks that the desktop files
# land where desktops look for them and agree with each other.
#   check_install.sh BUILD_DIR WITH_WINDOW(yes|no)
set -u
build=$1
with_window=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail=0
check() {  # check DESCRIPTION COMMAND...
  what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}

cmake --install "$build" --prefix "$stage/usr" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }

desktop=$stage/usr/share/applications/org.example.Saberline.desktop
metainfo=$stage/usr/share/metainfo/org.example.Saberline.metainfo.xml
check "desktop entry installed" test -f "$desktop"
check "metainfo installed" test -f "$metainfo"
for size in 32 64 128 256; do
  check "hicolor ${size}x${size} icon installed" test -f "$stage/usr/share/icons/hicolor/${size}x${size}/apps/saberline.png"
done

# The entry's Exec and Icon name what is installed.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
if [ "$with_window" = yes ]; then
  check "Exec=$exec_name is an installed program" test -x "$stage/usr/bin/$exec_name"
fi
check "Icon=$icon_name has a 32x32 picture" test -f "$stage/usr/share/icons/hicolor/32x32/apps/$icon_name.png"
# The metainfo names the desktop entry it describes.
check "metainfo launchable is the desktop entry" \
  grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo"

# The 32x32 icon is a 16-colour palette picture: PNG colour type 3 and a
# palette chunk of 16 entries (48 bytes).
icon=$stage/usr/share/icons/hicolor/32x32/apps/saberline.png
header=$(od -An -tx1 -N 33 "$icon" | tr -d ' \n')
check "icon is 32x32" test "$(echo "$header" | cut -c33-48)" = "0000002000000020"
check "icon is indexed colour" test "$(echo "$header" | cut -c51-52)" = "03"
check "icon palette has 16 entries" sh -c "od -An -tx1 '$icon' | tr -d ' \n' | grep -q '00000030504c5445'"

exit $fail
