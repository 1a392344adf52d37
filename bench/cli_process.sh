#!/usr/bin/env bash
# Times whole saberline-cli processes, from start to exit, with hyperfine.
# Usage: bench/cli_process.sh [path to saberline-cli]   (default: build/cli/saberline-cli)
# Build it in Release first, e.g.
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSABERLINE_BUILD_UI=OFF
#   ninja -C build-release saberline-cli && bench/cli_process.sh build-release/cli/saberline-cli
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$root/build/cli/saberline-cli}")
examples=$root/examples

# The duel reads its request from standard input, which needs a shell for
# the redirection; hyperfine measures the shell's own start-up and takes it
# off. The scheme needs no input and runs without a shell (-N).
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
hyperfine --warmup 20 --runs 200 --export-json "$results/duel.json" \
    --command-name "duel (cold weapons, real clock)" "$cli duel --json < $examples/duel-cold.json" \
    --command-name "duel (pistols, chosen clock)" "$cli duel --json --clock 16,31 < $examples/duel-pistols.json" \
    --command-name "calc" "$cli calc --json < $examples/calc.json"
hyperfine -N --warmup 20 --runs 200 --export-json "$results/scheme.json" \
    --command-name "scheme (real clock)" "$cli scheme"

# The duel once more without any shell: each run started straight from
# Python with its request file as standard input, timed from spawn to exit.
python3 - "$cli" "$examples" <<'PY'
import statistics, subprocess, sys, time
cli, examples = sys.argv[1:]
def run(args, request):
    with open(f"{examples}/{request}", "rb") as stdin:
        start = time.perf_counter()
        subprocess.run([cli, *args], stdin=stdin, stdout=subprocess.DEVNULL, check=True)
        return time.perf_counter() - start
for name, args, request in [("duel (cold weapons, real clock)", ["duel", "--json"], "duel-cold.json"),
                            ("duel (pistols, chosen clock)", ["duel", "--json", "--clock", "16,31"], "duel-pistols.json")]:
    for _ in range(20):
        run(args, request)
    times = sorted(run(args, request) for _ in range(200))
    print(f"spawned directly: {name:<34} median {statistics.median(times) * 1000:.2f} ms  (min {times[0] * 1000:.2f} ms)")
PY

# The medians, which the target of 5 ms is about.
python3 - "$results/duel.json" "$results/scheme.json" <<'PY'
import json, sys
print("median process times:")
for path in sys.argv[1:]:
    for r in json.load(open(path))["results"]:
        print(f"  {r['command']:<34} {r['median'] * 1000:6.2f} ms  (min {r['min'] * 1000:.2f} ms)")
PY
