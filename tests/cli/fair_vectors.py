#!/usr/bin/python3
"""Known-answer test of fair duels, independent of the program.

Computes each reseed's reading with Python's own hmac and hashlib from the
message layout the README documents (examples/fair_check.py), then checks
saberline-cli against it:

* `fair duel` gives exactly the logs that `duel --clock` gives with these
  readings (so every reading the duel uses is the documented one),
* its commitment is the SHA-256 of the secret,
* its verification text is the documented one, and `fair verify` accepts it.

Usage: fair_vectors.py SABERLINE_CLI [CASES [SEED]]
       fair_vectors.py --print     readings of the duel in FairCliTest.cpp
"""

import hashlib
import json
import pathlib
import random
import subprocess
import sys
import urllib.parse

# The documented layout, as the example checker anyone can run spells it
# out with the standard library alone.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "examples"))
import fair_check  # noqa: E402
from fair_check import FIELDS, readings  # noqa: E402

MAX_LENGTH = {name: 4 for name in FIELDS}
MAX_LENGTH.update({name: 1 for name in FIELDS if name.startswith("StrSt")})
MAX_LENGTH.update({"ShAtack1": 100, "ShAtack2": 100})
START_UP = {name: "" for name in FIELDS}
START_UP.update({"BP1": "30", "BP2": "30"})


def verification(secret: bytes, fields: dict, duel_type: int, word1: str, word2: str) -> str:
    def q(text):
        return urllib.parse.quote(text, safe="")
    items = [f"secret={secret.hex()}", f"word1={q(word1)}", f"word2={q(word2)}", f"TypeBattle={duel_type}"]
    items += [f"{name}={q(fields[name])}" for name in FIELDS]
    return "&".join([fair_check.VERSION] + items)


ALPHABET = ("abcxyzABCXYZ0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"
            "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЯЁ№«»—€\u00a0\u2028😀🗡")


def random_word(rng: random.Random) -> str:
    length = rng.choice([1, 2, 4, 7, 20, 99, 100, rng.randint(1, 100)])
    return "".join(rng.choice(ALPHABET) for _ in range(length))


def random_fields(rng: random.Random) -> dict:
    """Mostly valid long duels, some refused requests, some odd texts."""
    fields = dict(START_UP)
    for d in ("1", "2"):
        fields["BP" + d] = str(rng.choice([rng.randint(1, 60), rng.randint(500, 9999)]))
        fields["OgnOr" + d] = str(rng.randint(1, 20))
        fields["HolOr" + d] = str(rng.randint(1, 20))
        sides = rng.sample("123456", 4)
        fields["StrSt" + d + "1"], fields["StrSt" + d + "2"], fields["StrSt" + d + "3"] = sides[:3]
        if rng.random() < 0.3:
            fields["StrSt" + d + "4"] = sides[3]
            fields["StrZ" + d] = "0"
        else:
            fields["StrZ" + d] = str(rng.randint(-3, 6))
        fields["ShAtack" + d] = "".join(rng.choice("123456") for _ in range(rng.randint(1, 100)))
    if rng.random() < 0.15:  # an odd text somewhere: refused, or accepted as the integer rule allows
        name = rng.choice(FIELDS)
        fields[name] = "".join(rng.choice(ALPHABET) for _ in range(rng.randint(0, MAX_LENGTH[name])))
    return fields


def run(cli, args, stdin):
    return subprocess.run([cli] + args, input=stdin.encode("utf-8"), capture_output=True, check=False)


def check_case(cli, rng, index):
    secret = rng.randbytes(32)
    word1, word2 = random_word(rng), random_word(rng)
    fields = random_fields(rng)
    duel_type = rng.randint(1, 3)
    request = dict(fields, TypeBattle=duel_type)
    request_json = json.dumps(request, ensure_ascii=False)
    expected = readings(secret, fields, duel_type, word1, word2)
    problems = []

    fair = run(cli, ["fair", "duel", "--secret", secret.hex(), "--word1=" + word1, "--word2=" + word2], request_json)
    if fair.returncode != 0:
        return [f"fair duel exited {fair.returncode}: {fair.stderr.decode(errors='replace')}"]
    got = json.loads(fair.stdout)
    clock = ",".join(str(r) for r in expected)
    plain = run(cli, ["duel", "--json", "--clock", clock], request_json)
    want = json.loads(plain.stdout)
    for key in ("InfoBM1", "InfoBM2", "ErrorText"):
        if got[key] != want[key]:
            problems.append(f"{key}: fair duel {got[key]!r}, readings from Python {want[key]!r}")
    if got["commitment"] != hashlib.sha256(secret).hexdigest():
        problems.append(f"commitment {got['commitment']} is not SHA-256 of the secret")
    if got["verification"] != verification(secret, fields, duel_type, word1, word2):
        problems.append(f"verification {got['verification']!r} is not the documented text")
    # The dice the logs show are the dice of the readings.
    for log, which in ((got["InfoBM1"], 0), (got["InfoBM2"], 1)):
        for n, (number, mark) in enumerate(fair_check.logged_dice(log), start=1):
            die = fair_check.move_dice(expected[n - 1])[which]
            if (number and int(number) != die) or (mark and mark != "-=+"[(die > 1) + (die == 6)]):
                problems.append(f"move {n}: the log shows {number or mark}, the reading gives {die}")
    posted = {k: got[k] for k in ("verification", "commitment", "InfoBM1", "InfoBM2", "ErrorText")}
    verify = run(cli, ["fair", "verify"], json.dumps(posted))
    if verify.returncode != 0:
        problems.append(f"fair verify exited {verify.returncode}: {verify.stdout!r} {verify.stderr!r}")
    return [f"case {index} (words {word1!r}, {word2!r}, type {duel_type}): {p}" for p in problems]


def main():
    if sys.argv[1:] == ["--print"]:
        fields = dict(START_UP, OgnOr1="5")
        r = readings(bytes(range(32)), fields, 2, "1523", "Пост 1524")
        for n in (1, 2, 100):
            print(f"reading {n}: 0x{r[n - 1]:016x}")
        return 0
    cli = sys.argv[1]
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 120
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 13
    rng = random.Random(seed)
    problems = []
    for index in range(cases):
        problems += check_case(cli, rng, index)
    for p in problems:
        print("FAIL", p)
    print(f"{cases} fair duels checked against readings computed in Python: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
