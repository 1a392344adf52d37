#!/usr/bin/env bash
# Replays every case of cases.txt through saberline-cli and compares standard
# output, standard error and exit status, byte for byte, with expected.txt
# (captured from the program before its speed work; the duel, scheme,
# calculator and odds outputs must never change).
#
#   replay.sh CLI CASES EXPECTED   compare; exits 1 and shows the first difference
#   replay.sh CLI CASES            print the outputs (how expected.txt was made)
set -u
cli=$1
cases=$2
expected=${3:-}

replay() {
    local n=0 args request status out err
    out=$(mktemp) err=$(mktemp)
    while IFS=$'\t' read -r args request; do
        n=$((n + 1))
        # shellcheck disable=SC2086  # the arguments are words without spaces
        if [[ -n $request ]]; then
            printf '%s' "$request" | "$cli" $args >"$out" 2>"$err"
        else
            "$cli" $args </dev/null >"$out" 2>"$err"
        fi
        status=$?
        printf '=== case %d: %s: status %d\n' "$n" "${args:0:40}" "$status"
        cat "$out"
        printf -- '--- standard error\n'
        cat "$err"
    done <"$cases"
    rm -f "$out" "$err"
}

if [[ -z $expected ]]; then
    replay
    exit 0
fi
got=$(mktemp)
trap 'rm -f "$got"' EXIT
replay >"$got"
if cmp -s "$got" "$expected"; then
    echo "ok: $(grep -c '^=== case' "$got") cases replayed, every output byte for byte as expected"
    exit 0
fi
echo "FAIL: the outputs differ from $expected; first differences:"
diff "$expected" "$got" | head -20
echo "A change to the rules' output on purpose also takes the next rules' version (kRulesVersion in"
echo "core/DuelRules.h) and new known answers of fair duels (tools/fair_vectors.py make)."
exit 1
