#!/usr/bin/env python3
"""Check a fair Saberline duel with Python's standard library alone.

Reads what the referee posted, as one JSON object
  {"verification": ..., "commitment": ..., "InfoBM1": ..., "InfoBM2": ..., "ErrorText": ...}
from standard input (or the file named as the first argument), then:

1. compares SHA-256 of the revealed secret with the posted commitment;
2. rebuilds each reseed's message from the documented layout
   (format saberline-fair-v1) and its reading, the first 8 bytes of
   HMAC-SHA-256(secret, message), big-endian;
3. throws the two dice of every move from the reading's low 32 bits and
   compares them with the dice the posted logs show (a pistol entry shows
   its die, a cold entry its mark: - for 1, = for 2 to 5, + for 6);
4. prints the readings as a --clock list, so that
   `saberline-cli duel --json --clock LIST` replays the whole duel.

Exit status 0 when the commitment and every die agree, 1 otherwise.
"""

import hashlib
import hmac
import json
import re
import sys
import urllib.parse

VERSION = "saberline-fair-v1"
# The duel screen's fields in canonical order.
FIELDS = [name for d in "12" for name in (
    f"BP{d}", f"OgnOr{d}", f"HolOr{d}", f"StrZ{d}",
    f"StrSt{d}1", f"StrSt{d}2", f"StrSt{d}3", f"StrSt{d}4", f"ShAtack{d}")]


def piece(data: bytes) -> bytes:
    """A piece of the message: its byte count, 4 bytes big-endian, then the bytes."""
    return len(data).to_bytes(4, "big") + data


def reseed_message(fields, duel_type, word1, word2, n):
    out = piece(VERSION.encode())
    for name in FIELDS:
        out += piece(fields[name].encode("utf-8"))
    out += piece(str(duel_type).encode())
    out += piece(word1.encode("utf-8")) + piece(word2.encode("utf-8"))
    return out + n.to_bytes(4, "big")


def readings(secret, fields, duel_type, word1, word2):
    """The readings of reseeds 1 to 100 (one reseed per move)."""
    return [int.from_bytes(hmac.new(secret, reseed_message(fields, duel_type, word1, word2, n),
                                    hashlib.sha256).digest()[:8], "big")
            for n in range(1, 101)]


def move_dice(reading):
    """The two dice thrown after a reseed: seed = low 32 bits; each throw
    steps seed = seed * 134775813 + 1 (mod 2^32) and gives floor(seed * 6 / 2^32) + 1."""
    seed = reading & 0xFFFFFFFF
    dice = []
    for _ in range(2):
        seed = (seed * 134775813 + 1) % 2**32
        dice.append(seed * 6 // 2**32 + 1)
    return dice


def parse_verification(text):
    items = text.split("&")
    if items[0] != VERSION:
        raise ValueError(f"not a {VERSION} verification")
    values = dict(item.split("=", 1) for item in items[1:])
    values = {k: urllib.parse.unquote(v, errors="strict") for k, v in values.items()}
    secret = bytes.fromhex(values["secret"])
    fields = {name: values[name] for name in FIELDS}
    return secret, values["word1"], values["word2"], int(values["TypeBattle"]), fields


def logged_dice(log):
    """The die of every entry of a move log: a number for a pistol entry,
    the mark for a cold entry."""
    return re.findall(r" -?\d+\((\d)\) \||\(\d([-=+])/", log)


def main():
    posted = json.load(open(sys.argv[1], encoding="utf-8") if len(sys.argv) > 1 else sys.stdin)
    secret, word1, word2, duel_type, fields = parse_verification(posted["verification"])
    good = True

    commitment = hashlib.sha256(secret).hexdigest()
    same = commitment == posted["commitment"].lower()
    good &= same
    print(f"commitment: SHA-256 of the secret is {commitment}: {'agrees' if same else 'DIFFERS'}")
    print(f"words: {word1!r} and {word2!r}; duel type {duel_type}")
    print("request:", json.dumps(fields, ensure_ascii=False))

    values = readings(secret, fields, duel_type, word1, word2)
    entries = [logged_dice(posted["InfoBM1"]), logged_dice(posted["InfoBM2"])]
    for n, (a, b) in enumerate(zip(*entries), start=1):
        dice = move_dice(values[n - 1])
        shown = []
        for die, (number, mark) in zip(dice, (a, b)):
            expected_mark = "-" if die == 1 else "+" if die == 6 else "="
            ok = int(number) == die if number else mark == expected_mark
            good &= ok
            shown.append(f"{die}{'' if ok else ' (log DIFFERS)'}")
        print(f"move {n}: reading {values[n - 1]:016x}, seed {values[n - 1] & 0xFFFFFFFF}, "
              f"dice {shown[0]} and {shown[1]}")
    if len(entries[0]) != len(entries[1]):
        print("the two logs have different numbers of moves")
        good = False
    print("replay: saberline-cli duel --json --clock " + ",".join(str(v) for v in values))
    print("the commitment and every die agree" if good else "NOT VERIFIED")
    return 0 if good else 1


if __name__ == "__main__":
    sys.exit(main())
