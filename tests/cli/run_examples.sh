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
# (program=OTHER check ... runs OTHER instead of saberline-cli)
check() {
    local name=$1 status=$2 expected=$3 input=$4
    shift 4
    "${program:-$cli}" "$@" <"$input" >"$out" 2>"$err"
    local got=$?
    if [[ $got -ne $status ]]; then
        echo "FAIL $name: exit status $got, expected $status"; cat "$err"; failures=$((failures + 1)); return
    fi
    if [[ $status -ne 2 ]]; then
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
if ! grep -q '^{"ErrorText":"","duellist1":0\.[0-9].*,"expected_moves":[0-9.]*,"by_move":\[{"duellist1":.*}\]}$' "$out"; then
    echo "FAIL odds of the pistol duel: unexpected output: $(cat "$out")"; failures=$((failures + 1))
fi

check "scheme, clock 0" 0 "$(printf '1%.0s' {1..100})" /dev/null scheme --clock 0

# Fair duels: the example duel of examples/README.md, step by step: the
# revealed secret checked, the duel fought again from what was posted, and
# verified.
fair_secret=d408b2f92e4fa34dad2207f26feac52b3be765bbfeca08ebe0b1eaa67eea5f60
fair_commitment=92660f4820c4deff7fa8feb988ebef7149ad5a5c4428ab201ffd593d2bcb13eb
fair_word1=13321678047011436875
fair_salt1=0f96a26973698950907d39170f0ea8aac2665f20740a8e8aacc64071cc40e38e
fair_commitment1=953d9a5cd82560bd1cfbf8bb7b5455e862fb096c5032aae8f8aefad915763345
fair_word2=17923635407178963529
fair_salt2=de8f53b50d63198dc088b5e9038f9d0e5d9fd761c264722d58619a4ef40a64ae
fair_commitment2=6e1869e3d606f654aafa79ab28a60fc03ef64c72afefc059a21aff305804bb8b
check "fair check-secret, the example's revealed secret" 0 - "$examples/fair-duel.json" \
    fair check-secret --secret "$fair_secret" --commitment "$fair_commitment"
if ! grep -q '^{"verified":true,"differs":\[\],' "$out"; then
    echo "FAIL fair check-secret, the example's revealed secret: $(cat "$out")"; failures=$((failures + 1))
fi
check "fair check-secret, another request" 1 - "$examples/duel-cold.json" \
    fair check-secret --secret "$fair_secret" --commitment "$fair_commitment"
check "fair duel, the example" 0 - "$examples/fair-duel.json" \
    fair duel --secret "$fair_secret" --commitment "$fair_commitment" \
    --word1 "$fair_word1" --salt1 "$fair_salt1" --commitment1 "$fair_commitment1" \
    --word2 "$fair_word2" --salt2 "$fair_salt2" --commitment2 "$fair_commitment2"
if ! python3 -c 'import json, sys; fought, posted = json.load(open(sys.argv[1])), json.load(open(sys.argv[2])); sys.exit(fought != posted)' \
    "$out" "$examples/fair-posted.json"; then
    echo "FAIL fair duel, the example: not what fair-posted.json holds: $(cat "$out")"; failures=$((failures + 1))
fi
check "fair duel, the players' commitments swapped" 1 - "$examples/fair-duel.json" \
    fair duel --secret "$fair_secret" --commitment "$fair_commitment" \
    --word1 "$fair_word1" --salt1 "$fair_salt1" --commitment1 "$fair_commitment2" \
    --word2 "$fair_word2" --salt2 "$fair_salt2" --commitment2 "$fair_commitment1"
check "fair verify, the example as posted" 0 - "$examples/fair-posted.json" fair verify
if ! grep -q '^{"verified":true,"differs":\[\],' "$out"; then
    echo "FAIL fair verify, the example as posted: $(cat "$out")"; failures=$((failures + 1))
fi
tampered=$(mktemp)
sed 's/| 20;/| 21;/' "$examples/fair-posted.json" >"$tampered"
check "fair verify, a posted log changed" 1 - "$tampered" fair verify
if ! grep -q '"differs":\["InfoBM1"\]' "$out"; then
    echo "FAIL fair verify, a posted log changed: $(cat "$out")"; failures=$((failures + 1))
fi
# The same check with nowhere to write its answer fails as a program (3),
# not as a duel that does not verify (1).
"$cli" fair verify <"$tampered" >/dev/full 2>"$err"
status=$?
if [[ $status -ne 3 || $(wc -l <"$err") -ne 1 ]]; then
    echo "FAIL fair verify, output not written: exit status $status, expected 3"; cat "$err"; failures=$((failures + 1))
else
    echo "ok   fair verify, output not written"
fi
sed "s/word1=$fair_word1/word1=0$fair_word1/" "$examples/fair-posted.json" >"$tampered"
check "fair verify, a word respelled" 2 - "$tampered" fair verify
sed 's/&rules=1&/\&rules=2\&/' "$examples/fair-posted.json" >"$tampered"
check "fair verify, other rules" 2 - "$tampered" fair verify
if ! grep -q 'rules version 2; this program fights by rules version 1' "$err"; then
    echo "FAIL fair verify, other rules: $(cat "$err")"; failures=$((failures + 1))
fi
rm -f "$tampered"
check "fair commit" 0 - "$examples/fair-duel.json" fair commit
if ! grep -qE '^\{"secret":"[0-9a-f]{64}","commitment":"[0-9a-f]{64}"\}$' "$out"; then
    echo "FAIL fair commit: $(cat "$out")"; failures=$((failures + 1))
fi
check "fair commit, a request the rules refuse" 2 - /dev/null fair commit
check "fair commit, a player's drawn word" 0 - /dev/null fair commit --player
if ! grep -qE '^\{"word":"(0|[1-9][0-9]{0,19})","salt":"[0-9a-f]{64}","commitment":"[0-9a-f]{64}"\}$' "$out"; then
    echo "FAIL fair commit, a player's drawn word: $(cat "$out")"; failures=$((failures + 1))
fi
# A chosen word is committed too, with one line of warning.
"$cli" fair commit --word 1523 </dev/null >"$out" 2>"$err"
if [[ $? -ne 0 || $(wc -l <"$err") -ne 1 ]] || ! grep -qE '^\{"word":"1523",' "$out" || ! grep -q 'can be guessed' "$err"; then
    echo "FAIL fair commit, a chosen word: $(cat "$out") $(cat "$err")"; failures=$((failures + 1))
else
    echo "ok   fair commit, a chosen word"
fi
check "fair duel, short secret" 2 - "$examples/fair-duel.json" fair duel --secret 1234 --word1 1 --word2 2
check "fair duel, a word with a zero-width space" 2 - "$examples/fair-duel.json" \
    fair duel --secret "$fair_secret" --word1 $'101\u200b' --word2 2

check "duel request given to the calculator" 2 - "$examples/duel-pistols.json" calc --json
check "calculator request given to the duel" 2 - "$examples/calc.json" duel --json
check "malformed clock" 2 - "$examples/duel-pistols.json" duel --clock 1,,2
check "empty input" 2 - /dev/null duel --json
check "unknown command" 2 - /dev/null fight

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed"
    exit 1
fi
