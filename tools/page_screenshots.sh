#!/usr/bin/env bash
# Screenshots of the web page at 1280x900 and 360x740:
#   tools/page_screenshots.sh [PAGE] [OUT_DIR]
# (defaults: build-web/web/saberline.html, docs/screenshots). Needs the page
# built (tools/dev.sh web build) and web/test's npm packages (npm ci).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
conf="$(mktemp --suffix=.conf)"
trap 'rm -f "$conf"' EXIT
# The machine's fonts, and Wine's Tahoma (package fonts-wine) when present.
cat > "$conf" <<'XML'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir>/usr/share/wine/fonts</dir>
</fontconfig>
XML
FONTCONFIG_FILE="$conf" node "$root/tools/page_screenshots.js" "$@"
