#!/usr/bin/env bash
# Runs the built saberline-cli on the example requests and on a few bad
# inputs, checking standard output, standard error and the exit status.
# Usage: run_examples.sh <saberline-cli> <examples folder>
set -u
cli=$1
examples=$2
failures=0
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# check <name> <expected status> <expected stdout or - to skip> <stdin file> <args...>
check() {
    local name=$1 status=$2 expected=$3 input=$4
    shift 4
    "$cli" "$@" <"$input" >"$out" 2>"$err"
    local got=$?
    if [[ $got -ne $status ]]; then
        echo "FAIL $name: exit status $got, expected $status"; cat "$err"; failures=$((failures + 1)); return
    fi
    if [[ $status -eq 0 ]]; then
        if [[ -s $err ]]; then
            echo "FAIL $name: unexpected standard error:"; cat "$err"; failures=$((failures + 1)); return
        fi
        if [[ $expected != - && "$(cat "$out")" != "$expected" ]]; then
            echo "FAIL $name: standard output"; echo "  got:      $(cat "$out")"; echo "  expected: $expected"
            failures=$((failures + 1)); return
        fi
    else
        if [[ -s $out ]]; then
            echo "FAIL $name: standard output not empty on bad input"; failures=$((failures + 1)); return
        fi
        if [[ $(wc -l <"$err") -ne 1 ]]; then
            echo "FAIL $name: standard error is not one line:"; cat "$err"; failures=$((failures + 1)); return
        fi
    fi
    echo "ok   $name"
}

check "pistol duel, chosen clock" 0 \
    '{"InfoBM1":"30 | 30(4) | 24(6) | 24;","InfoBM2":"20 | 12(2) | -8(5) | убит: поражение;","ErrorText":""}' \
    "$examples/duel-pistols.json" duel --json --clock 16,31

check "cold duel, chosen clock" 0 \
    $'InfoBM1: 30 | 24(4+/X) | 18(4+/X) | 12(4+/X) | 12;\nInfoBM2: 25 | 15(5=/4) | 5(5=/4) | -5(5=/4) | убит: поражение;\nErrorText: ' \
    "$examples/duel-cold.json" duel --clock 27

check "cold duel, real clock" 0 - "$examples/duel-cold.json" duel --json
if ! grep -q '^{"InfoBM1":"30 | .*","InfoBM2":"25 | .*","ErrorText":".*"}$' "$out"; then
    echo "FAIL cold duel, real clock: unexpected output: $(cat "$out")"; failures=$((failures + 1))
fi

check "calculator" 0 \
    '{"FOgnOr1":"14","FHolOr1":"9","FStrZ1":"5","FOgnOr2":"12","FHolOr2":"8","FStrZ2":"4"}' \
    "$examples/calc.json" calc --json

check "odds of the pistol duel" 0 - "$examples/duel-pistols.json" odds --json
if ! grep -q '^{"ErrorText":"","duellist1":0\.[0-9].*,"expected_moves":[0-9.]*}$' "$out"; then
    echo "FAIL odds of the pistol duel: unexpected output: $(cat "$out")"; failures=$((failures + 1))
fi

check "scheme, clock 0" 0 "$(printf '1%.0s' {1..100})" /dev/null scheme --clock 0

check "duel request given to the calculator" 2 - "$examples/duel-pistols.json" calc --json
check "calculator request given to the duel" 2 - "$examples/calc.json" duel --json
check "malformed clock" 2 - "$examples/duel-pistols.json" duel --clock 1,,2
check "empty input" 2 - /dev/null duel --json
check "unknown command" 2 - /dev/null fight

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed"
    exit 1
fi
