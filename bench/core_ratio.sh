#!/usr/bin/env bash
# The 100-move undecided cold duel request against its anchor, 100 readings
# of the same machine clock, in one run: the two benchmarks' repetitions are
# interleaved, and the script prints both medians and the median of the
# pairwise ratios (repetition i of the duel over repetition i of the reads).
#
#   bench/core_ratio.sh [BUILD_DIR] [REPETITIONS]     (default build-rel, 30)
#
# Build it in Release first:
#   cmake --preset release && cmake --build --preset release -j2 --target core_bench
# Target: the duel request at most 1.5 times its 100 clock readings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-rel}"
repetitions="${2:-30}"
bench="$build/bench/core_bench"
[[ -x "$bench" ]] || { echo "core_ratio.sh: build $bench first" >&2; exit 1; }
results=$(mktemp)
trap 'rm -f "$results"' EXIT
"$bench" --benchmark_filter='^BM_(UndecidedColdDuel|HundredClockReads)$' \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.05 --benchmark_format=json >"$results" 2>/dev/null
python3 - "$results" <<'PY'
import json, statistics, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") == "iteration"]
def times(name, key):
    return [b[key] for b in sorted((b for b in runs if b["run_name"] == name), key=lambda b: b["repetition_index"])]
for key, label in (("real_time", "wall"), ("cpu_time", "CPU")):
    duel, reads = times("BM_UndecidedColdDuel", key), times("BM_HundredClockReads", key)
    ratio = statistics.median(d / r for d, r in zip(duel, reads))
    print(f"{label:>4} time: duel request median {statistics.median(duel) / 1000:.2f} us, "
          f"100 clock reads median {statistics.median(reads) / 1000:.2f} us, "
          f"median of pairwise ratios {ratio:.2f} ({len(duel)} repetitions, interleaved)")
PY
