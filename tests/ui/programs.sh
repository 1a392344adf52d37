#!/bin/sh
# The two programs as a user starts them: --version and --help answer on
# standard output with status 0 and need no display; saberline without a
# display says so in one line on standard error and exits with status 1.
#   programs.sh SABERLINE SABERLINE_CLI VERSION
set -u
saberline=$1
cli=$2
version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
. "$(dirname "$0")/../support/check.sh"  # check DESCRIPTION COMMAND..., fail
# run NAME PROGRAM ARGS...: status, standard output and standard error, with
# no display of any kind in the environment.
run() {
  slot=$1
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$scratch/$slot.out" 2>"$scratch/$slot.err"
  echo $? >"$scratch/$slot.status"
}
status() { cat "$scratch/$1.status"; }
first_line() { head -n 1 "$scratch/$1.out"; }

for program in "$saberline" "$cli"; do
  name=$(basename "$program")
  run "$name-version" "$program" --version
  check "$name --version exits 0" test "$(status "$name-version")" = 0
  check "$name --version begins \"$name $version\"" test "$(first_line "$name-version")" = "$name $version"
  check "$name --version names the MIT licence" grep -q "License: MIT" "$scratch/$name-version.out"
  check "$name --version writes nothing on standard error" test ! -s "$scratch/$name-version.err"

  run "$name-help" "$program" --help
  check "$name --help exits 0" test "$(status "$name-help")" = 0
  check "$name --help gives the usage" grep -q "^Usage: $name " "$scratch/$name-help.out"
  check "$name --help lists --version" grep -q -- "--version" "$scratch/$name-help.out"
  check "$name --help writes nothing on standard error" test ! -s "$scratch/$name-help.err"
done

expected="saberline: no display could be opened; saberline-cli referees duels without one"
run no-display "$saberline"
check "without a display saberline exits 1" test "$(status no-display)" = 1
check "without a display standard error is one line" test "$(wc -l <"$scratch/no-display.err")" = 1
check "without a display the line says so" test "$(cat "$scratch/no-display.err")" = "$expected"
check "without a display nothing goes to standard output" test ! -s "$scratch/no-display.out"

# A display that is named but not there (no X server on :97).
if [ ! -e /tmp/.X11-unix/X97 ]; then
  run dead-display env DISPLAY=:97 "$saberline"
  check "with an unreachable display saberline exits 1" test "$(status dead-display)" = 1
  check "with an unreachable display the one line is the same" \
    test "$(cat "$scratch/dead-display.err")" = "$expected"
fi

[ $fail = 0 ] || { for f in "$scratch"/*.err; do echo "== $f"; cat "$f"; done; }
exit $fail
