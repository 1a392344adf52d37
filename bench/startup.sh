#!/usr/bin/env bash
# Start-up of the saberline window against its anchor, a bare Qt Widgets
# window of the same size with 60 line edits and 60 labels (bench/BareWindow.cpp),
# in one run under one Xvfb: the two alternate (A, B, A, B ...), each timed
# from just before its fork to the first turn of its event loop after show()
# (bench/StartupProbe.cpp, linked into bench builds of both, never into the
# program), with its peak resident memory up to that moment. Prints the
# medians and the median of the pairwise ratios.
#
#   bench/startup.sh [BUILD_DIR] [RUNS]      (default build-rel, 40)
#
# Build first, e.g. in Release:
#   cmake --preset release
#   cmake --build --preset release -j2 --target saberline_startup_probe bare_window spawn_peak
# Targets: at most 1.15 times the bare window, in time and in peak memory.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-rel}"
runs="${2:-40}"
for program in saberline_startup_probe bare_window spawn_peak; do
  [[ -x "$build/bench/$program" ]] || { echo "startup.sh: build $build/bench/$program first" >&2; exit 1; }
done
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null ||
  { echo "startup.sh: needs Xvfb and xwininfo (x11-utils)" >&2; exit 1; }

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
unset QT_QPA_PLATFORM  # the real X11 platform plugin, as on a desktop

# One X server for all runs, on a display number of its own.
display=170
while [[ -e "/tmp/.X11-unix/X$display" || -e "/tmp/.X$display-lock" ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=":$display"
for _ in $(seq 1 250); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.02; done
xwininfo -root >/dev/null 2>&1 || { echo "startup.sh: Xvfb did not start" >&2; exit 1; }

python3 "$root/bench/alternate.py" --spawner "$build/bench/spawn_peak" --probe --runs "$runs" --warmup 3 \
    "window" - "$build/bench/saberline_startup_probe" \
    "bare window" - "$build/bench/bare_window"
