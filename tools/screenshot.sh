#!/usr/bin/env bash
# Screenshots of Saberline's window under Xvfb.
#
#   tools/screenshot.sh [BUILD_DIR] [OUT_DIR]
#
# BUILD_DIR (default: build) must hold ui/saberline and ui/saberline_screenshot.
# Writes into OUT_DIR (default: docs/screenshots):
#   window.png      the real program `saberline` as the X server shows it
#                   right after start-up (taken with ImageMagick's import);
#   duel.png, calculator.png, help.png, about.png
#                   the four screens of the same window, walked with its own
#                   buttons by saberline_screenshot.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="${2:-$root/docs/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

for tool in xvfb-run xwininfo import; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
[[ -x "$build/ui/saberline" && -x "$build/ui/saberline_screenshot" ]] ||
  { echo "screenshot.sh: build $build first (ui/saberline, ui/saberline_screenshot)" >&2; exit 1; }

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

# The real program: wait until its window is mapped, then grab that window.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  "$1" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  id=""
  for _ in $(seq 1 200); do
    id=$(xwininfo -root -tree 2>/dev/null | awk "/\"Saberline 2.0\"/ {print \$1; exit}")
    [[ -n "$id" ]] && xwininfo -id "$id" | grep -q "IsViewable" && break
    id=""
    sleep 0.05
  done
  [[ -n "$id" ]] || { echo "screenshot.sh: the window did not appear" >&2; exit 1; }
  sleep 0.3
  import -window "$id" "$2/window.png"
  echo "$2/window.png"
' _ "$build/ui/saberline" "$out"

# The four screens.
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/ui/saberline_screenshot" "$out"
