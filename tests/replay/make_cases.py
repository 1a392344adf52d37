#!/usr/bin/env python3
"""Writes cases.txt: saberline-cli requests with chosen clock readings whose
outputs are kept in expected.txt and compared by replay.sh after every change.

One case a line: the arguments, a tab, the request (one line of JSON, or
empty for no input). The cases come from a fixed seed, so running this again
gives the same file.

    tests/replay/make_cases.py > tests/replay/cases.txt
"""
import json
import random

rng = random.Random(20261208)

NUMBER_FORMS = [
    lambda: str(rng.randint(1, 40)),
    lambda: str(rng.randint(1, 9999)),
    lambda: str(rng.randint(-999, 0)),
    lambda: "$" + format(rng.randint(1, 0xFFF), "X"),
    lambda: "0x" + format(rng.randint(1, 0xFF), "x"),
    lambda: " " + str(rng.randint(1, 99)),
    lambda: "0" + str(rng.randint(1, 99)),
    lambda: rng.choice(["", "-", "+7", "1e3", "12a", "$", " ", "-0", "x1F"]),
]


def number(field_max=4):
    for _ in range(20):
        text = rng.choices(NUMBER_FORMS, weights=[30, 25, 6, 5, 4, 3, 3, 4])[0]()
        if len(text) <= field_max:
            return text
    return "1"


def scheme():
    kind = rng.random()
    if kind < 0.9:
        return "".join(rng.choice("123456") for _ in range(rng.randint(1, 100)))
    if kind < 0.96:
        text = list("".join(rng.choice("123456") for _ in range(rng.randint(1, 100))))
        text[rng.randrange(len(text))] = rng.choice("07a -+")
        return "".join(text)
    return ""


def strong_sides(duel_type):
    if rng.random() < 0.85:
        sides = rng.sample(range(1, 7), 4)
        texts = [str(s) for s in sides[:3]]
        fourth = str(sides[3]) if rng.random() < 0.4 else ""
    else:
        texts = [rng.choice(["1", "2", "3", "4", "5", "6", "7", "0", "", "$"]) for _ in range(3)]
        fourth = rng.choice(["", "1", "6", "9", "0"])
    return texts + [fourth]


def duellist(n, duel_type, long_duel, clean):
    health = str(rng.randint(1000, 9999)) if long_duel else number() if not clean else str(rng.randint(1, 60))
    if clean:
        number_or_plain = lambda: str(rng.randint(1, 40))
    else:
        number_or_plain = number
    armour = str(rng.randint(0, 3)) if not long_duel else "9999"
    if rng.random() < 0.3:
        armour = number() if not clean else str(rng.randint(-5, 30))
    sides = strong_sides(duel_type)
    if sides[3] and rng.random() < 0.7:
        armour = "0"
    fields = {
        f"BP{n}": health,
        f"OgnOr{n}": number_or_plain(),
        f"HolOr{n}": number_or_plain(),
        f"StrZ{n}": armour,
        f"StrSt{n}1": sides[0], f"StrSt{n}2": sides[1], f"StrSt{n}3": sides[2], f"StrSt{n}4": sides[3],
        f"ShAtack{n}": scheme(),
    }
    # Some requests leave fields as they stand at start-up.
    for key in list(fields):
        if not clean and rng.random() < 0.05:
            del fields[key]
    return fields


def clock():
    kind = rng.random()
    if kind < 0.4:
        bits = rng.choice([32, 64])
        readings = [rng.getrandbits(bits) for _ in range(100)]
    elif kind < 0.8:
        readings = [rng.getrandbits(32) for _ in range(rng.randint(1, 30))]
    else:
        start = rng.getrandbits(20)
        readings = [start + i for i in range(rng.randint(1, 100))]
    return ",".join(str(r) for r in readings)


def duel_request():
    duel_type = rng.choice([1, 2, 3])
    long_duel = rng.random() < 0.25
    clean = rng.random() < 0.7
    request = {**duellist(1, duel_type, long_duel, clean), **duellist(2, duel_type, long_duel, clean),
               "TypeBattle": duel_type}
    return json.dumps(request, ensure_ascii=False)


def forum_request():
    request = {
        "SumPostsBM1": str(rng.choice([rng.randint(0, 99999), rng.randint(0, 3000)])),
        "SumRBM1": str(rng.randint(-200, 9999) if rng.random() < 0.5 else rng.randint(0, 300)),
        "SumPostsBM2": str(rng.randint(0, 99999)),
        "SumRBM2": str(rng.randint(-999, 9999)),
    }
    if rng.random() < 0.1:
        request[rng.choice(list(request))] = rng.choice(["", "abc", "-", "$FF", " 5"])
    for d in (1, 2):
        for m in range(1, 6):
            if rng.random() < 0.7:
                request[f"ChM{d}{m}"] = rng.random() < 0.3
    return json.dumps(request, ensure_ascii=False)


cases = []
for _ in range(900):
    args = "duel --json" if rng.random() < 0.6 else "duel"
    cases.append((f"{args} --clock {clock()}", duel_request()))
for _ in range(150):
    cases.append((f"scheme --clock {clock()}", ""))
for _ in range(250):
    cases.append((rng.choice(["calc --json", "calc"]), forum_request()))
for _ in range(250):
    # Odds over small healths, so that every ending has a real chance.
    request = json.loads(duel_request())
    for n in (1, 2):
        if rng.random() < 0.8:
            request[f"BP{n}"] = str(rng.randint(1, 60))
    cases.append((rng.choice(["odds --json", "odds"]), json.dumps(request, ensure_ascii=False)))
bad = [
    ("duel --json", "[]"), ("duel --json", "{"), ("duel --json", '{"BP1": 30}'), ("duel --json", '{"Nope": "1"}'),
    ("duel --json", '{"BP1": "12345"}'), ("duel --json", '{"TypeBattle": 4}'), ("duel --json", '{"TypeBattle": 1.5}'),
    ("duel --json", '{"BP1": "1", "BP1": "2"}'), ("duel --json --clock 1,,2", "{}"), ("duel --json --clock -1", "{}"),
    ("duel --json --clock 18446744073709551616", "{}"), ("calc --json", '{"ChM16": true}'),
    ("calc --json", '{"ChM11": 1}'), ("odds --json", '{"StrSt11": "12"}'), ("fight", ""), ("duel --nope", "{}"),
    ("scheme --clock x", ""), ("duel --json", '{"ShAtack1": "\\u0000"}'), ("calc --json", "1E400"),
    ("duel --json --clock 18446744073709551615", "{}"), ("duel --clock 0", "{}"),
]
cases.extend(bad)
for args, request in cases:
    assert "\t" not in args and "\t" not in request and "\n" not in request
    print(f"{args}\t{request}")
