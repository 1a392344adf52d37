#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a bounded time: the libFuzzer
# targets in build-fuzz, and page_links, the page's link handling under
# random links (web/test/links.test.js in the system's Chromium).
#
#   tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60; TARGET defaults to every target.
# FUZZ_PARALLEL=2 runs two libFuzzer targets at once. Each starts from the
# seed corpus in fuzz/corpus/<target> and grows a working corpus in
# build-fuzz/corpus/<target> (not committed); a failing input is written to
# build-fuzz/artifacts/ and the script exits 1. page_links needs the page
# (built here with the web preset when build-web has none) and web/test's
# packages (npm ci); its failing case is in build-fuzz/logs/page_links.log
# with the seed that repeats it (SABERLINE_PROPERTY_SEED).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds="${1:-60}"
shift || true
parallel="${FUZZ_PARALLEL:-1}"
all=(fuzz_int_text fuzz_duel_request fuzz_duel_link fuzz_cli_json fuzz_fair_verification fuzz_fair_link
     fuzz_cli_stdin fuzz_cli_args fuzz_json_value page_links)

# The fuzz preset of CMakePresets.json (clang++; CXX chooses another).
(cd "$root" && cmake --preset fuzz -B "$build" ${CXX:+"-DCMAKE_CXX_COMPILER=$CXX"} >/dev/null)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    # Read whole before it is searched: grep -q stopping early would break
    # ninja's pipe and, with pipefail, leave a target out.
    built=$(ninja -C "$build" -t targets all)
    for t in "${all[@]}"; do
        if [ "$t" = page_links ] || grep -q "^$t:" <<<"$built"; then targets+=("$t"); fi
    done
fi
fuzzers=()
links=false
for t in "${targets[@]}"; do
    if [ "$t" = page_links ]; then links=true; else fuzzers+=("$t"); fi
done
# page_links compares the page with this build's saberline-cli.
build_targets=("${fuzzers[@]}")
if $links; then build_targets+=(saberline-cli); fi
ninja -C "$build" -j2 "${build_targets[@]}" >"$build/build.log" 2>&1 || { cat "$build/build.log"; exit 1; }

mkdir -p "$build/artifacts" "$build/logs"
run_one() {
    local t="$1"
    local work="$build/corpus/$t"
    mkdir -p "$work"
    # Short inputs: field texts and requests are small.
    if "$build/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$t-" "$work" "$root/fuzz/corpus/$t" \
        >"$build/logs/$t.log" 2>&1; then
        echo "$t: ok, $(grep -E '^stat::number_of_executed_units' "$build/logs/$t.log" | awk '{print $2}') executions in ${seconds}s"
    else
        echo "$t: FAILED (see $build/logs/$t.log and $build/artifacts/)"
        grep -m5 -E 'ERROR|fuzz_|SUMMARY' "$build/logs/$t.log" || true
        return 1
    fi
}

# The page's link handling: both properties of links.test.js, each for the
# given time.
run_links() {
    local page="$root/build-web/web/saberline.html"
    if [ ! -f "$page" ]; then
        export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
        (cd "$root" && cmake --preset web -B "$root/build-web" >/dev/null && cmake --build "$root/build-web" -j2) \
            >"$build/logs/page_links-build.log" 2>&1 || { echo "page_links: the page did not build"; return 1; }
    fi
    if [ ! -d "$root/web/test/node_modules" ]; then
        (cd "$root/web/test" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error) \
            >"$build/logs/page_links-npm.log" 2>&1 || { echo "page_links: npm ci failed"; return 1; }
    fi
    if (cd "$root/web/test" && SABERLINE_PAGE="$page" SABERLINE_CLI="$build/cli/saberline-cli" \
        SABERLINE_PROPERTY_SECONDS="$seconds" node --test links.test.js) >"$build/logs/page_links.log" 2>&1; then
        echo "page_links: ok, $(grep -oE '[0-9]+ links opened' "$build/logs/page_links.log") and" \
             "$(grep -oE '[0-9]+ pasted texts' "$build/logs/page_links.log") in ${seconds}s each"
    else
        echo "page_links: FAILED (see $build/logs/page_links.log)"
        grep -m3 -E 'seed [0-9]+, case' "$build/logs/page_links.log" || true
        return 1
    fi
}

status=0
pids=()
for t in "${fuzzers[@]}"; do
    run_one "$t" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$parallel" ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
if $links; then run_links || status=1; fi
exit $status
