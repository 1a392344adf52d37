#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz and runs each for a bounded time.
#
#   tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60; TARGET defaults to every target built.
# FUZZ_PARALLEL=2 runs two targets at once. Each target starts from the seed
# corpus in fuzz/corpus/<target> and grows a working corpus in
# build-fuzz/corpus/<target> (not committed); a failing input is written to
# build-fuzz/artifacts/ and the script exits 1.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds="${1:-60}"
shift || true
parallel="${FUZZ_PARALLEL:-1}"

# The fuzz preset of CMakePresets.json (clang++; CXX chooses another).
(cd "$root" && cmake --preset fuzz -B "$build" ${CXX:+"-DCMAKE_CXX_COMPILER=$CXX"} >/dev/null)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for t in fuzz_int_text fuzz_duel_request fuzz_duel_link fuzz_cli_json fuzz_fair_verification fuzz_fair_link; do
        if ninja -C "$build" -t targets all | grep -q "^$t:"; then targets+=("$t"); fi
    done
fi
ninja -C "$build" -j2 "${targets[@]}" >"$build/build.log" 2>&1 || { cat "$build/build.log"; exit 1; }

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

status=0
pids=()
for t in "${targets[@]}"; do
    run_one "$t" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$parallel" ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
