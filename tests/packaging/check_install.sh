#!/bin/sh
# Installs the build into a scratch prefix and checks that the desktop files
# land where desktops look for them and agree with each other.
#   check_install.sh BUILD_DIR WITH_WINDOW(yes|no) WITH_MANUAL_PAGES(yes|no)
set -u
build=$1
with_window=$2
with_manual_pages=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
. "$(dirname "$0")/../support/check.sh"  # check DESCRIPTION COMMAND..., fail

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

# The Debian copyright file (DEP-5) and the changelog, compressed.
doc=$stage/usr/share/doc/saberline
check "copyright file installed" test -f "$doc/copyright"
check "copyright file is machine-readable" \
  grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$doc/copyright"
check "copyright file carries the MIT (Expat) licence" \
  sh -c "grep -q '^License: Expat$' '$doc/copyright' && grep -q '^ Permission is hereby granted' '$doc/copyright'"
check "changelog installed as changelog.gz" sh -c "gzip -t '$doc/changelog.gz'"
check "changelog is a Debian changelog" sh -c "gzip -dc '$doc/changelog.gz' | head -n 1 | grep -q '^saberline (.*) .*; urgency='"

# The manual pages: each a compressed page that man formats without a
# warning, with its program's name and options.
formats_cleanly() {  # formats_cleanly PAGE
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; return 1; }
}
names_and_options() {  # names_and_options PAGE PROGRAM
  gzip -dc "$1" | grep -q "^$2 \\\\- " && gzip -dc "$1" | grep -q '^\.SH OPTIONS'
}
if [ "$with_manual_pages" = yes ]; then
  programs=saberline-cli
  [ "$with_window" = yes ] && programs="saberline $programs"
  for program in $programs; do
    page=$stage/usr/share/man/man1/$program.1.gz
    check "manual page $program.1.gz installed" test -f "$page"
    check "manual page $program.1.gz formats without warnings" formats_cleanly "$page"
    check "manual page $program.1.gz has its NAME and OPTIONS" names_and_options "$page" "$program"
  done
fi

# The 32x32 icon is a 16-colour palette picture: PNG colour type 3 and a
# palette chunk of 16 entries (48 bytes).
icon=$stage/usr/share/icons/hicolor/32x32/apps/saberline.png
header=$(od -An -tx1 -N 33 "$icon" | tr -d ' \n')
check "icon is 32x32" test "$(echo "$header" | cut -c33-48)" = "0000002000000020"
check "icon is indexed colour" test "$(echo "$header" | cut -c51-52)" = "03"
check "icon palette has 16 entries" sh -c "od -An -tx1 '$icon' | tr -d ' \n' | grep -q '00000030504c5445'"

exit $fail
