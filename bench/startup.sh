#!/usr/bin/env bash
# Start-up of the saberline window, timed as a whole process under Xvfb.
#
#   bench/startup.sh [BUILD_DIR] [RUNS]
#
# For each run: start ui/saberline, poll the X server until the window
# "Saberline 2.0" is mapped and viewable, take that moment as the start-up
# time, wait a little for the first paint, read the resident memory (VmRSS)
# and end the process. Prints every run and the medians.
# Targets: median start-up at most 200 ms, resident memory at most 60 MB.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-15}"
program="$build/ui/saberline"
[[ -x "$program" ]] || { echo "startup.sh: build $program first" >&2; exit 1; }
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null ||
  { echo "startup.sh: needs Xvfb and xwininfo (x11-utils)" >&2; exit 1; }

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

# One X server for all runs, on a display number of its own.
display=170
while [[ -e "/tmp/.X11-unix/X$display" || -e "/tmp/.X$display-lock" ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 1 250); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.02; done
xwininfo -root >/dev/null 2>&1 || { echo "startup.sh: Xvfb did not start" >&2; exit 1; }
pid=""
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

viewable() { xwininfo -name "Saberline 2.0" 2>/dev/null | grep -q "Map State: IsViewable"; }

# One unmeasured start so that the program and its libraries are in the page cache.
"$program" & pid=$!
for _ in $(seq 1 400); do viewable && break; sleep 0.01; done
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""

times=()
rss=()
for run in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  "$program" & pid=$!
  shown=""
  for _ in $(seq 1 4000); do
    if viewable; then shown=$(date +%s%N); break; fi
  done
  [[ -n "$shown" ]] || { echo "startup.sh: the window did not appear" >&2; exit 1; }
  sleep 0.3
  kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""
  ms=$(( (shown - start) / 1000000 ))
  times+=("$ms")
  rss+=("$kb")
  printf 'run %2d: start-up %4d ms, resident %6d kB\n' "$run" "$ms" "$kb"
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }
t=$(median "${times[@]}")
m=$(median "${rss[@]}")
printf 'median start-up to shown window: %d ms (target <= 200 ms)\n' "$t"
awk -v kb="$m" 'BEGIN {printf "median resident memory after start-up: %.1f MB (target <= 60 MB)\n", kb / 1024}'
