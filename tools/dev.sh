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

configure_and_build() {
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSABERLINE_WERROR=ON "$@"
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
# does not look in Debian's node module folder by itself.
build_page() {
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  emcmake cmake -S "$here" -B "$build_web" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DSABERLINE_WERROR=ON >/dev/null
  cmake --build "$build_web" -j "$jobs"
  echo "Page: $build_web/web/saberline.html"
}

test_page() {
  install_page_test_tools
  (cd "$here/web/test" && SABERLINE_CLI="$build/cli/saberline-cli" \
    SABERLINE_PAGE="$build_web/web/saberline.html" node --test --test-concurrency=1)
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
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
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
