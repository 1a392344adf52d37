#!/bin/sh
# The two programs as a user starts them: --version and --help answer on
# standard output with status 0 and need no display, or fail in one line when
# the answer cannot be written; saberline without a display says so in one
# line on standard error and exits with status 1, and with a platform that
# does not exist lets the toolkit name it; saberline-cli tells a standard
# input it cannot read from bad JSON.
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

  # An answer that cannot be written is a failure, said in one line.
  run "$name-help-full" sh -c '"$0" --help >/dev/full' "$program"
  check "$name --help into a full disk exits non-zero" test "$(status "$name-help-full")" != 0
  check "$name --help into a full disk says so in one line" test "$(wc -l <"$scratch/$name-help-full.err")" = 1
  run "$name-version-closed" sh -c '"$0" --version >&-' "$program"
  check "$name --version into a closed output exits non-zero" test "$(status "$name-version-closed")" != 0
  check "$name --version into a closed output says so in one line" \
    test "$(wc -l <"$scratch/$name-version-closed.err")" = 1
done

# Standard input that cannot be read: a read failure (3), or bad input when
# it is plainly no file (a folder, 2); never a complaint about the JSON.
run cli-closed-input sh -c '"$0" duel --json <&-' "$cli"
check "saberline-cli with a closed standard input exits 3" test "$(status cli-closed-input)" = 3
check "saberline-cli with a closed standard input says it could not be read" \
  grep -q "^saberline-cli: standard input could not be read" "$scratch/cli-closed-input.err"
run cli-folder-input sh -c '"$0" odds <"$1"' "$cli" "$scratch"
check "saberline-cli with a folder on standard input exits 2" test "$(status cli-folder-input)" = 2
check "saberline-cli with a folder on standard input says so" \
  grep -q "^saberline-cli: standard input is a folder, not a file$" "$scratch/cli-folder-input.err"

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

# A platform that does not exist is not a missing display: the toolkit's
# own words name it, and the program ends with status 1 (no abort).
run bogus-platform env QT_QPA_PLATFORM=bogus "$saberline"
check "with a platform that does not exist saberline exits 1" test "$(status bogus-platform)" = 1
check "with a platform that does not exist the toolkit names it" grep -q '"bogus"' "$scratch/bogus-platform.err"
check "with a platform that does not exist no display is blamed" \
  sh -c '! grep -q "no display" "$1"' - "$scratch/bogus-platform.err"
# The same under a working display, whose toolkit lists a plugin named
# "vkkhrdisplay" among those it has.
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a env QT_QPA_PLATFORM=bogus "$saberline" >"$scratch/bogus-x.out" 2>"$scratch/bogus-x.err"
  echo $? >"$scratch/bogus-x.status"
  check "under a working display a platform that does not exist exits 1" test "$(status bogus-x)" = 1
  check "under a working display no display is blamed" sh -c '! grep -q "no display" "$1"' - "$scratch/bogus-x.err"
  check "under a working display the toolkit names the platform" grep -q '"bogus"' "$scratch/bogus-x.err"
fi

[ $fail = 0 ] || { for f in "$scratch"/*.err; do echo "== $f"; cat "$f"; done; }
exit $fail
