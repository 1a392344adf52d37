#!/bin/sh
# Runs one of the page's test files (web/test/*.test.js) for CTest.
#   run_page_test.sh DEFAULT_PAGE TEST_FILE
# The page is $SABERLINE_PAGE when set, else DEFAULT_PAGE; SABERLINE_CLI
# comes from CTest. A missing page or missing test packages is a failure,
# never a skip: the page's tests cannot pass without the page.
set -u
page=${SABERLINE_PAGE:-$1}
file=$2
dir=$(dirname "$file")
if [ ! -f "$page" ]; then
  echo "FAILED: no page at $page (build it with: tools/dev.sh web build, or set SABERLINE_PAGE)"
  exit 1
fi
if [ ! -d "$dir/node_modules" ]; then
  echo "FAILED: no $dir/node_modules (run: npm ci in $dir)"
  exit 1
fi
export SABERLINE_PAGE="$page"
cd "$dir" || exit 1
exec node --test --test-concurrency=1 "$(basename "$file")"
