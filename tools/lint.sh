#!/usr/bin/env bash
# Static checks over core/, cli/ and ui/: clang-tidy (settings and the list of
# deliberately disabled checks with their reasons in .clang-tidy) and cppcheck.
#
#   tools/lint.sh            both tools; exit 1 on any finding
#
# clang-tidy reads the compile commands of build-tidy, configured here with
# clang (the Qt window's generated headers are made first). cppcheck runs
# with --enable=warning,performance,portability; a finding that is not a
# fault is silenced where it stands with a `// cppcheck-suppress <id>`
# comment that says why.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tidy"
cd "$root" || exit 1

# The lint preset of CMakePresets.json (clang++; CXX chooses another).
cmake --preset lint -B "$build" ${CXX:+"-DCMAKE_CXX_COMPILER=$CXX"} >/dev/null || exit 1
# The window's generated headers (ui_Unit1.h); Ninja may name the target
# with its folder in front.
autogen=$(ninja -C "$build" -t targets all | grep -o '^\([^:]*/\)\?saberline_window_autogen:' | tr -d :)
if [ -n "$autogen" ]; then
    ninja -C "$build" "$autogen" >/dev/null || exit 1
fi

status=0
sources=$(ls core/*.cpp cli/*.cpp ui/*.cpp 2>/dev/null)

echo "== clang-tidy"
tidy="$(command -v run-clang-tidy-14 || command -v run-clang-tidy)"
if ! "$tidy" -quiet -j 2 -p "$build" "^$root/(core|cli|ui)/[^/]+\.cpp\$" >"$build/clang-tidy.log" 2>&1; then
    status=1
fi
if sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E '(warning|error):' | sort -u; then
    status=1
else
    echo "clean"
fi

echo "== cppcheck"
# shellcheck disable=SC2086
if cppcheck --enable=warning,performance,portability --error-exitcode=1 --inline-suppr --quiet \
    --std=c++20 --library=qt -I core -I cli -I ui --suppress=missingIncludeSystem $sources; then
    echo "clean"
else
    status=1
fi
exit $status
