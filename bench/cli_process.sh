#!/usr/bin/env bash
# One saberline-cli process against its anchor, an empty C program
# (int main(void) { return 0; }, bench/empty.c), in one run: the two
# alternate (A, B, A, B ...), each timed from just before its fork to its
# reaping, with its peak resident memory (bench/spawn_peak.c); prints the
# medians and the median of the pairwise ratios.
#
#   bench/cli_process.sh [BUILD_DIR] [RUNS]      (default build-rel, 400)
#
# Build it in Release first:
#   cmake --preset release
#   cmake --build --preset release -j2 --target saberline-cli empty_program spawn_peak
# Target: `saberline-cli duel --json` at most 1.5 times the empty program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-rel}"
runs="${2:-400}"
for program in cli/saberline-cli bench/empty_program bench/spawn_peak; do
  [[ -x "$build/$program" ]] || { echo "cli_process.sh: build $build/$program first" >&2; exit 1; }
done
alternate() {
  python3 "$root/bench/alternate.py" --spawner "$build/bench/spawn_peak" --runs "$runs" --warmup 20 "$@" \
      "empty C program" - "$build/bench/empty_program"
}
# The duel of the example request on the machine's clock, as a forum bot runs it.
alternate "duel --json" "$root/examples/duel-cold.json" "$build/cli/saberline-cli duel --json"
# The calculator, for comparison.
alternate "calc --json" "$root/examples/calc.json" "$build/cli/saberline-cli calc --json"
