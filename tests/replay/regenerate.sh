#!/usr/bin/env bash
# Writes the replay's golden files again: cases.txt from make_cases.py (a
# fixed seed, so the same cases unless make_cases.py changed), then
# expected.txt from what the given saberline-cli prints for them.
#
#   tests/replay/regenerate.sh build/cli/saberline-cli
#   cmake --build build --target replay_golden      (the same, with the built program)
#
# Only when the rules' output is meant to change; review the diff of
# expected.txt before committing it (tests/README.md).
set -euo pipefail
cli=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python3 "$here/make_cases.py" >"$here/cases.txt.new"
mv "$here/cases.txt.new" "$here/cases.txt"
bash "$here/replay.sh" "$cli" "$here/cases.txt" >"$here/expected.txt.new"
mv "$here/expected.txt.new" "$here/expected.txt"
echo "Wrote $here/cases.txt ($(wc -l <"$here/cases.txt") cases) and $here/expected.txt; review: git diff --stat -- $here"
