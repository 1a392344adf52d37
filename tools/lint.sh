#!/usr/bin/env bash
# Static checks over core/, cli/, ui/ and web/: clang-tidy (settings and the
# list of deliberately disabled checks with their reasons in .clang-tidy) and
# cppcheck. .ci/run runs it after the tests.
#
#   tools/lint.sh            both tools; exit 1 on any finding or failure
#
# clang-tidy reads the compile commands of build-tidy, configured here with
# clang (the window's generated headers are made first), and for web/*.cpp,
# which only emscripten builds, compile commands written here with the flags
# emscripten's em++ gives its clang (WebAssembly target, emscripten's
# headers). Only the project's own headers are checked, never generated ones
# (ui_Unit1.h). cppcheck runs with --enable=warning,performance,portability;
# a finding that is not a fault is silenced where it stands with a
# `// cppcheck-suppress <id>` comment that says why.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tidy"
cd "$root" || exit 1
started=$SECONDS

# The lint preset of CMakePresets.json (clang++; CXX chooses another).
cmake --preset lint -B "$build" ${CXX:+"-DCMAKE_CXX_COMPILER=$CXX"} >/dev/null || exit 1
# The window's generated headers (ui_Unit1.h from the stored layout, and the
# window's moc and resources): each target by its name relative to the build
# folder, one argument each. Finding none is an error, never a silent skip.
mapfile -t generated < <(ninja -C "$build" -t targets all | cut -d: -f1 |
    grep -E '^ui/(ui_[^/]+\.h|saberline_window_autogen)$')
if [ ${#generated[@]} -eq 0 ]; then
    echo "lint.sh: no target makes the window's generated headers (ui/ui_*.h) in $build" >&2
    exit 1
fi
ninja -C "$build" "${generated[@]}" >/dev/null || exit 1

# web/*.cpp as emscripten compiles them.
web_db="$build/web-commands"
mkdir -p "$web_db"
if ! em_flags=$(NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} em++ --cflags 2>/dev/null); then
    echo "lint.sh: em++ (Debian's emscripten) is needed to check web/*.cpp" >&2
    exit 1
fi
python3 - "$root" "$web_db/compile_commands.json" "$em_flags" <<'EOF' || exit 1
import glob, json, shlex, sys
root, out, flags = sys.argv[1], sys.argv[2], shlex.split(sys.argv[3])
entries = [{"directory": root, "file": source,
            "arguments": ["clang++", *flags, "-std=c++20", "-fwasm-exceptions", "-I" + root + "/core",
                          "-Wall", "-Wextra", "-Wpedantic", "-c", source]}
           for source in sorted(glob.glob(root + "/web/*.cpp"))]
json.dump(entries, open(out, "w"), indent=1)
EOF

status=0
# The project's own headers only: the folder names anchored at the source
# root, so that the generated ui_Unit1.h in the build folder is not one.
root_pattern=$(printf '%s' "$root" | sed 's/[][\.*^$+?(){}|]/\\&/g')
header_filter="^$root_pattern/(core|cli|ui|web)/[^/]+\.h\$"

echo "== clang-tidy"
tidy="$(command -v run-clang-tidy-14 || command -v run-clang-tidy)"
: >"$build/clang-tidy.log"
if ! "$tidy" -quiet -j 2 -p "$build" -header-filter "$header_filter" "^$root_pattern/(core|cli|ui)/[^/]+\.cpp\$" \
    >>"$build/clang-tidy.log" 2>&1; then
    status=1
fi
if ! "$tidy" -quiet -j 2 -p "$web_db" -header-filter "$header_filter" "^$root_pattern/web/[^/]+\.cpp\$" \
    >>"$build/clang-tidy.log" 2>&1; then
    status=1
fi
if sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E '(warning|error):' | sort -u; then
    status=1
elif [ $status -ne 0 ]; then
    echo "clang-tidy failed without a finding; see $build/clang-tidy.log"
else
    echo "clean"
fi

echo "== cppcheck"
mapfile -t sources < <(ls core/*.cpp cli/*.cpp ui/*.cpp web/*.cpp)
if cppcheck --enable=warning,performance,portability --error-exitcode=1 --inline-suppr --quiet \
    --std=c++20 --library=qt -I core -I cli -I ui -I web -I "$build/ui" --suppress=missingIncludeSystem \
    "${sources[@]}"; then
    echo "clean"
else
    status=1
fi
echo "== $((SECONDS - started)) s"
exit $status
