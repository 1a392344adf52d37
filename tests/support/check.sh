# Sourced by the test scripts: `check DESCRIPTION COMMAND...` runs the
# command, prints "ok: DESCRIPTION" or "FAILED: DESCRIPTION", and on a
# failure sets fail=1 (the script exits with it at the end).
fail=0
check() {
  what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}
