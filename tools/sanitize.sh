#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan and runs them all (core, cli and the Qt window tests offscreen).
#
#   tools/sanitize.sh
#
# Any sanitizer report fails the test that raised it (UBSan does not
# recover). Leaks are checked everywhere; in the window tests the leaks that
# Qt's platform plugins, fontconfig and the system libraries keep until exit
# are silenced by tools/lsan-qt.supp, whose entries name only system
# libraries, never this project's code.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"

(cd "$root" && cmake --preset asan -B "$build" >/dev/null)
ninja -C "$build" -j2

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

status=0
# The page's tests (label web) drive the WebAssembly page, which no
# sanitizer sees, and two at a time would race each other's browsers:
# tools/dev.sh runs them, one after another.
ctest --test-dir "$build" -j2 --output-on-failure -E '^ui_' -LE web || status=1
LSAN_OPTIONS="suppressions=$root/tools/lsan-qt.supp:print_suppressions=0" \
    ctest --test-dir "$build" -j2 --output-on-failure -R '^ui_' || status=1
exit $status
