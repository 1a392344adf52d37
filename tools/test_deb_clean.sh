#!/bin/sh
# Installs the Debian package built by CPack on a clean Debian 12 (bookworm)
# system and checks that the installed program works there: the package's
# declared dependencies alone must be enough.
#
#   sudo tools/test_deb_clean.sh [BUILD_DIR]        (default: build-deb)
#
# What it does:
#   1. builds the program (Release, no tests, no benchmarks) in BUILD_DIR and
#      makes the .deb with cpack;
#   2. makes a minimal bookworm root with `debootstrap --variant=minbase`
#      from the Debian mirror this machine's apt already uses (read from
#      /etc/apt/sources.list and /etc/apt/sources.list.d at run time; set
#      SABERLINE_DEBIAN_MIRROR to use another). The fresh root is kept as
#      BUILD_DIR/clean-root/bookworm-minbase.tar and the downloaded packages
#      in BUILD_DIR/clean-root/apt-archives, so later runs start from an
#      untouched copy of it in seconds; SABERLINE_CLEAN_REFRESH=1 remakes it;
#   3. in a chroot of a fresh copy of that root:
#      - installs only the package (apt-get, without Recommends, so that the
#        Depends field alone has to be enough), lists what it pulled in,
#        checks that every library of the program and of Qt's X11 and JPEG
#        plugins resolves, runs saberline-cli on examples/duel-pistols.json
#        with fixed clock readings and compares its output, and starts the
#        window off screen to see the JPEG plugin load for the pictures;
#      - then installs the test tools xvfb, xauth and x11-utils (they are
#        not dependencies of the package), starts /usr/bin/saberline as an
#        ordinary user under xvfb-run and waits for a window titled
#        "Saberline 2.0"; its standard error must carry no warning about
#        plugins, image formats or fonts;
#   4. unmounts everything and removes the copy, whatever happened, and ends
#      with one line "test_deb_clean: PASS" or "test_deb_clean: FAIL ...".
#
# Needs root (debootstrap, chroot, mount) and network access to the mirror.
# The first run downloads a few hundred MB and takes several minutes, so it
# is not part of CI.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
cache=$build/clean-root
suite=bookworm
started=$(date +%s)

say() { echo "== [$(($(date +%s) - started))s] $*"; }
fail() { echo "test_deb_clean: FAIL: $*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || fail "must run as root"

# --- 1. the package --------------------------------------------------------
say "building the package in $build"
(cd "$root" && cmake --preset deb -B "$build" >/dev/null)
cmake --build "$build" -j2 >/dev/null
rm -f "$build"/saberline_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/saberline_*.deb)
say "package $(basename "$deb")"
dpkg-deb --field "$deb" Depends Recommends

# --- 2. the clean root ------------------------------------------------------
# Prints "URI SUITE" for every deb source of this machine's apt, in both the
# one-line (.list) and the deb822 (.sources) formats.
apt_sources() {
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk '$1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
      print $i, $(i + 1)
    }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
    {
      types = ""; uris = ""; suites = ""; enabled = "yes"
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^[ \t]*#/) continue
        key = tolower($i); sub(/:.*/, "", key)
        value = $i; sub(/^[^:]*:[ \t]*/, "", value)
        if (key == "types") types = value
        else if (key == "uris") uris = value
        else if (key == "suites") suites = value
        else if (key == "enabled") enabled = tolower(value)
      }
      if (enabled == "no" || (" " types " ") !~ / deb /) next
      nu = split(uris, u, /[ \t]+/); ns = split(suites, s, /[ \t]+/)
      for (a = 1; a <= nu; a++) for (b = 1; b <= ns; b++) print u[a], s[b]
    }' "$file"
  done
}

if [ -n "${SABERLINE_DEBIAN_MIRROR:-}" ]; then
  sources="$SABERLINE_DEBIAN_MIRROR $suite"
else
  sources=$(apt_sources | awk -v s="$suite" '$2 ~ "^" s "(-updates|-security)?/?$"')
fi
mirror=$(echo "$sources" | awk -v s="$suite" '$2 == s || $2 == s "/" { print $1; exit }')
[ -n "$mirror" ] || fail "no apt source for $suite on this machine; set SABERLINE_DEBIAN_MIRROR"

mkdir -p "$cache/apt-archives/partial"
tarball=$cache/$suite-minbase.tar
if [ ! -s "$tarball" ] || [ "${SABERLINE_CLEAN_REFRESH:-0}" = 1 ]; then
  command -v debootstrap >/dev/null || apt-get install -y debootstrap >/dev/null
  say "debootstrap --variant=minbase $suite from $mirror"
  fresh=$(mktemp -d "$cache/debootstrap.XXXXXX")
  if ! debootstrap --variant=minbase "$suite" "$fresh" "$mirror" >"$cache/debootstrap.log" 2>&1; then
    tail -20 "$cache/debootstrap.log" >&2
    # debootstrap may leave /proc mounted in the half-made root.
    umount "$fresh/proc" 2>/dev/null || true
    rm -rf --one-file-system "$fresh"
    fail "debootstrap failed (log: $cache/debootstrap.log)"
  fi
  tar -C "$fresh" --numeric-owner -cf "$tarball.new" .
  mv "$tarball.new" "$tarball"
  rm -rf --one-file-system "$fresh"
fi

chroot_dir=$(mktemp -d "$cache/run.XXXXXX")
mounts=""
cleanup() {
  status=$?
  # Unmount in reverse order, then remove the copy only if nothing is
  # mounted beneath it any more.
  for m in $mounts; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done
  if awk -v d="$chroot_dir/" 'index($5 "/", d) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
    echo "test_deb_clean: something is still mounted under $chroot_dir; not removing it" >&2
  else
    rm -rf --one-file-system "$chroot_dir"
  fi
  if [ "$status" = 0 ]; then
    echo "test_deb_clean: PASS ($(($(date +%s) - started)) s)"
  else
    echo "test_deb_clean: FAIL (status $status, $(($(date +%s) - started)) s)" >&2
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

say "unpacking a fresh copy of the clean root"
tar -C "$chroot_dir" --numeric-owner -xf "$tarball"
# A root directory like any other (mktemp makes it private to root).
chmod 755 "$chroot_dir"
echo "$sources" | awk '{ print "deb", $1, $2, "main" }' >"$chroot_dir/etc/apt/sources.list"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
# No services start inside the chroot.
printf '#!/bin/sh\nexit 101\n' >"$chroot_dir/usr/sbin/policy-rc.d"
chmod 755 "$chroot_dir/usr/sbin/policy-rc.d"
cp "$deb" "$chroot_dir/tmp/"
cp "$root/examples/duel-pistols.json" "$chroot_dir/tmp/"

mount_in() { # TYPE SOURCE TARGET [OPTIONS]
  mkdir -p "$3"
  if [ "$1" = bind ]; then mount --bind "$2" "$3"; else mount -t "$1" ${4:+-o "$4"} "$2" "$3"; fi
  mounts="$3 $mounts"
}
mount_in proc proc "$chroot_dir/proc"
mount_in sysfs sysfs "$chroot_dir/sys" ro
mount_in tmpfs tmpfs "$chroot_dir/dev/shm" mode=1777
mount_in bind "$cache/apt-archives" "$chroot_dir/var/cache/apt/archives"
# debootstrap makes the basic device nodes; add any that are missing.
for node in null:1:3 zero:1:5 random:1:8 urandom:1:9 tty:5:0; do
  name=${node%%:*}; numbers=${node#*:}
  [ -e "$chroot_dir/dev/$name" ] || { mknod -m 666 "$chroot_dir/dev/$name" c "${numbers%:*}" "${numbers#*:}"; }
done

in_root() {
  chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
# The window is started as an ordinary user, as on a desktop.
in_user() {
  chroot --userspec=tester:tester "$chroot_dir" /usr/bin/env -i \
    PATH=/usr/local/bin:/usr/bin:/bin HOME=/home/tester USER=tester \
    LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp/runtime-tester "$@"
}

# --- 3. install and run -----------------------------------------------------
say "apt-get update in the chroot"
in_root apt-get update -q >/dev/null || fail "apt-get update failed in the chroot"
in_root dpkg-query -W -f '${Package}\n' | sort >"$chroot_dir/tmp/before"

say "installing the package alone (Depends only)"
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" \
  >"$chroot_dir/tmp/install.log" 2>&1 || { cat "$chroot_dir/tmp/install.log" >&2; fail "apt-get could not install the package"; }
in_root dpkg-query -W -f '${Package}\n' | sort >"$chroot_dir/tmp/after"
pulled=$(comm -13 "$chroot_dir/tmp/before" "$chroot_dir/tmp/after" | grep -vx saberline || true)
say "the package pulled in $(echo "$pulled" | grep -c .) packages:"
echo "$pulled" | tr '\n' ' ' | fold -s -w 100; echo

for file in /usr/bin/saberline /usr/bin/saberline-cli \
    /usr/share/applications/org.example.Saberline.desktop \
    /usr/share/metainfo/org.example.Saberline.metainfo.xml \
    /usr/share/icons/hicolor/32x32/apps/saberline.png; do
  [ -e "$chroot_dir$file" ] || fail "the package did not install $file"
done

plugins=/usr/lib/x86_64-linux-gnu/qt6/plugins
for file in /usr/bin/saberline /usr/bin/saberline-cli \
    $plugins/platforms/libqxcb.so $plugins/imageformats/libqjpeg.so; do
  [ -e "$chroot_dir$file" ] || fail "$file is missing after installing the package"
  missing=$(in_root ldd "$file" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$file: libraries not found: $missing"
done
say "every library of the programs and of the xcb and JPEG plugins resolves"

expected='{"InfoBM1":"30 | 30(4) | 24(6) | 24;","InfoBM2":"20 | 12(2) | -8(5) | убит: поражение;","ErrorText":""}'
got=$(in_root sh -c 'saberline-cli duel --json --clock 16,31 </tmp/duel-pistols.json')
if [ "$got" != "$expected" ]; then
  echo "expected: $expected" >&2; echo "got:      $got" >&2
  fail "saberline-cli gave the wrong answer for examples/duel-pistols.json"
fi
say "saberline-cli duel --json --clock 16,31: $got"

# Off screen, before any test tool is installed: the window is built (its
# pictures are read while it is built) and Qt must load its JPEG plugin.
status=0
in_root sh -c 'QT_QPA_PLATFORM=offscreen QT_DEBUG_PLUGINS=1 timeout 5 saberline' \
  >"$chroot_dir/tmp/offscreen.log" 2>&1 || status=$?
[ "$status" = 124 ] || { tail -30 "$chroot_dir/tmp/offscreen.log" >&2; fail "saberline (offscreen) ended by itself with status $status"; }
grep -q 'libqjpeg.so" loaded library' "$chroot_dir/tmp/offscreen.log" ||
  { grep -i 'jpeg\|image' "$chroot_dir/tmp/offscreen.log" >&2 || true; fail "Qt's JPEG plugin did not load: the pictures would be empty"; }
say "offscreen start: ran until stopped, JPEG image plugin loaded"

say "installing the test tools xvfb xauth x11-utils"
in_root apt-get install -y -q --no-install-recommends xvfb xauth x11-utils \
  >>"$chroot_dir/tmp/install.log" 2>&1 || { tail -30 "$chroot_dir/tmp/install.log" >&2; fail "could not install the test tools"; }

say "starting /usr/bin/saberline under xvfb-run as an ordinary user"
in_root useradd --create-home --user-group tester
in_root install -d -o tester -g tester -m 700 /tmp/runtime-tester
status=0
in_user xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  saberline 2>/tmp/saberline.err &
  pid=$!
  found=no
  for i in $(seq 1 100); do
    if xwininfo -root -tree | grep -q "\"Saberline 2.0\""; then found=yes; break; fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  xwininfo -root -tree | grep "Saberline" || true
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  [ $found = yes ]
' || status=$?
if [ -s "$chroot_dir/tmp/saberline.err" ]; then
  echo "-- saberline's standard error:"; cat "$chroot_dir/tmp/saberline.err"
fi
[ "$status" = 0 ] || fail "no window titled \"Saberline 2.0\" appeared"
if grep -Eiq 'image format|could not load|plugin|cannot find font|not found|cannot open' "$chroot_dir/tmp/saberline.err"; then
  fail "saberline warned about a missing plugin, image format or font"
fi
say "the installed program showed its window \"Saberline 2.0\""
