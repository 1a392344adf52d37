#!/bin/sh
# Builds the Debian package with CPack, checks it with lintian (no error and
# no warning may remain; the full list of tags, info ones included, is
# printed), installs it on this machine with apt-get, checks the manual
# pages and the documents, starts the installed program under Xvfb, checks
# that its window "Saberline 2.0" appears, then closes it and removes the
# package.
# Needs root (apt-get), lintian, man (man-db), xvfb-run and xwininfo
# (x11-utils).
#   tools/test_deb.sh [BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}

if dpkg -s saberline >/dev/null 2>&1; then
  echo "test_deb: saberline is already installed; remove it first" >&2
  exit 2
fi

(cd "$root" && cmake --preset deb -B "$build" >/dev/null)
cmake --build "$build" -j2
rm -f "$build"/saberline_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/saberline_*.deb)
echo "== package $deb"
dpkg-deb --field "$deb" Package Version Architecture Section Depends Recommends
dpkg-deb --contents "$deb" | awk '{print $6}'

# lintian: every tag shown; errors and warnings fail the test.
command -v lintian >/dev/null || { echo "test_deb: lintian is not installed" >&2; exit 2; }
echo "== lintian --pedantic (E error, W warning, I info, P pedantic)"
tags=$(lintian --display-info --pedantic --no-tag-display-limit "$deb" 2>/dev/null) || true
echo "${tags:-(no tags)}"
if echo "$tags" | grep -q '^[EW]: '; then
  echo "test_deb: FAILED: lintian reports errors or warnings" >&2
  exit 1
fi
echo "== lintian: no errors, no warnings"

cleanup() { apt-get remove -y --purge saberline >/dev/null 2>&1 || true; }
trap cleanup EXIT
apt-get install -y "$deb" >/dev/null
echo "== installed: $(dpkg-query -W -f '${Package} ${Version} ${Status}' saberline)"
for file in /usr/bin/saberline /usr/bin/saberline-cli \
    /usr/share/applications/org.example.Saberline.desktop \
    /usr/share/metainfo/org.example.Saberline.metainfo.xml \
    /usr/share/icons/hicolor/32x32/apps/saberline.png \
    /usr/share/doc/saberline/copyright /usr/share/doc/saberline/changelog.gz \
    /usr/share/man/man1/saberline.1.gz /usr/share/man/man1/saberline-cli.1.gz; do
  test -e "$file" || { echo "test_deb: missing $file" >&2; exit 1; }
done
# man finds both pages by name, as a user types it.
for page in saberline saberline-cli; do
  man -w "$page" | grep -q "^/usr/share/man/man1/$page.1.gz$" ||
    { echo "test_deb: man does not find $page(1)" >&2; exit 1; }
  MANWIDTH=80 man "$page" 2>/dev/null | grep -q "^NAME" ||
    { echo "test_deb: man $page shows no page" >&2; exit 1; }
done
echo "== man saberline and man saberline-cli show the installed pages"
/usr/bin/saberline --version | head -n 1
/usr/bin/saberline-cli --version | head -n 1

# Start the installed program on a fresh X display and look for its window.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  /usr/bin/saberline &
  pid=$!
  found=no
  for i in $(seq 1 100); do
    if xwininfo -root -tree | grep -q "\"Saberline 2.0\""; then found=yes; break; fi
    sleep 0.1
  done
  xwininfo -root -tree | grep "Saberline" || true
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  [ $found = yes ]
' || { echo "test_deb: FAILED: no window titled \"Saberline 2.0\"" >&2; exit 1; }
echo "== the installed program showed its window \"Saberline 2.0\""

cleanup
trap - EXIT
dpkg -s saberline >/dev/null 2>&1 && { echo "test_deb: package still installed" >&2; exit 1; }
echo "== package removed; test_deb passed"
