#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   tools/dev.sh run    install what is missing, build, start the program
#   tools/dev.sh test   install what is missing, build, run every test
#                       (the web page's tests in Chromium included)
#   tools/dev.sh web build   build the one-file page build-web/web/saberline.html
#   tools/dev.sh web         build it and serve it at http://127.0.0.1:8080/
# Installing needs root (apt-get); everything else runs as whoever calls it.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${SABERLINE_BUILD_DIR:-$here/build}"
build_web="${SABERLINE_WEB_BUILD_DIR:-$here/build-web}"
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev
  libssl-dev python3
  fonts-wine
  xvfb xauth x11-utils imagemagick
  desktop-file-utils appstream dpkg-dev file
  qt6-translations-l10n help2man man-db lintian
  emscripten chromium nodejs
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# The configure presets of CMakePresets.json; -B after --preset keeps
# SABERLINE_BUILD_DIR and SABERLINE_WEB_BUILD_DIR working.
configure_and_build() {
  (cd "$here" && cmake --preset dev -B "$build")
  cmake --build "$build" -j "$jobs"
}

# The page's tests drive Chromium through playwright-core, pinned by
# web/test/package-lock.json. Debian's nodejs may come without npm (a
# nodejs from elsewhere brings its own, which Debian's npm would conflict
# with): install Debian's npm only when there is none.
install_page_test_tools() {
  if ! command -v npm >/dev/null 2>&1; then
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm
  fi
  (cd "$here/web/test" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
}

# emscripten's JavaScript optimiser runs under the installed node, which
# does not look in Debian's node module folder by itself (the web preset
# sets NODE_PATH for configuring; the build runs here).
build_page() {
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  (cd "$here" && cmake --preset web -B "$build_web" >/dev/null)
  cmake --build "$build_web" -j "$jobs"
  echo "Page: $build_web/web/saberline.html"
}

# The page's tests, registered in the native build's CTest with the label
# web; a build without them runs web/test's files with Node's runner.
test_page() {
  install_page_test_tools
  export SABERLINE_CLI="$build/cli/saberline-cli"
  export SABERLINE_PAGE="$build_web/web/saberline.html"
  # The list is read whole before it is searched: grep -q stopping early
  # would break ctest's pipe and, with pipefail, read as no tests at all.
  local listed
  listed=$(ctest --test-dir "$build" -N -L web)
  if ! grep -q '^ *Test *#' <<<"$listed"; then
    echo "dev.sh: the build registers no page tests (label web)" >&2
    return 1
  fi
  ctest --test-dir "$build" --output-on-failure -L web
}

case "${1:-}" in
  run)
    install_missing
    configure_and_build
    exec "$build/ui/saberline"
    ;;
  test)
    install_missing
    configure_and_build
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE web
    build_page
    test_page
    ;;
  web)
    install_missing
    build_page
    if [ "${2:-}" != build ]; then
      echo "Serving the page at http://127.0.0.1:8080/ (Ctrl+C stops)"
      cd "$build_web/web"
      cp saberline.html index.html
      exec python3 -m http.server 8080 --bind 127.0.0.1
    fi
    ;;
  *)
    echo "usage: tools/dev.sh run|test|web [build]" >&2
    exit 2
    ;;
esac
