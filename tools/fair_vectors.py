#!/usr/bin/python3
"""Known-answer vectors of fair duels (format saberline-fair-v3).

docs/fair-vectors.json holds the rules' version its answers were made
under, and for each case the secret, the players' words and salts, the
request's field texts as typed, and what follows from them: the canonical
request and the integers the rules read, the readings' message and the
referee's commitment's message in hexadecimal, the 100 readings, the
referee's and players' commitments, the verification and the logs. A
refused request has its message alone: no commitment binds it, no readings,
no verification.

The layout of the message and of a player's commitment is written out here a
second time, from docs/fair-duels.md, with Python's own hmac and hashlib,
so that the file checks saberline-cli and saberline-cli checks the file.
The rules themselves (which integers a request makes the referee read) come
from saberline-cli alone: there is no second copy of them here.

  fair_vectors.py make SABERLINE_CLI OUT.json   write the file
  fair_vectors.py recompute VECTORS.json        every message, reading and
                                                commitment from the file's values
  fair_vectors.py cli VECTORS.json SABERLINE_CLI   saberline-cli agrees with the file
"""

import hashlib
import hmac
import json
import subprocess
import sys

VERSION = b"saberline-fair-v3"
WORD_TAG = VERSION + b"-word"
REFEREE_TAG = VERSION + b"-referee"
FIELDS = [name for d in "12" for name in (
    f"BP{d}", f"OgnOr{d}", f"HolOr{d}", f"StrZ{d}",
    f"StrSt{d}1", f"StrSt{d}2", f"StrSt{d}3", f"StrSt{d}4", f"ShAtack{d}")]
RESEEDS = 100


# --- The layout ---------------------------------------------------------------

def piece(data: bytes) -> bytes:
    """A piece: its byte count, 4 bytes big-endian, then the bytes."""
    return len(data).to_bytes(4, "big") + data


def int32(value: int) -> bytes:
    """An integer: 4 bytes, big-endian two's complement."""
    return value.to_bytes(4, "big", signed=True)


def duel_bytes(duel: dict) -> bytes:
    """The canonical duel: the type, then per duellist health, firearm (if
    read), cold (if read), armour, and in a duel with cold moves the number
    of parrying sides, the sides, the attack digit of every cold move."""
    out = int32(duel["TypeBattle"])
    for key in ("duellist1", "duellist2"):
        d = duel[key]
        out += int32(d["health"])
        if "firearm" in d:
            out += int32(d["firearm"])
        if "cold" in d:
            out += int32(d["cold"])
        out += int32(d["armour"])
        if duel["TypeBattle"] != 1:
            out += int32(len(d["parrying"])) + b"".join(map(int32, d["parrying"]))
            out += b"".join(map(int32, d["scheme"]))
    return out


def message_prefix(rules: int, duel: dict, word1: str, word2: str) -> bytes:
    """Reseed n's message is this followed by n, 4 bytes big-endian."""
    return piece(VERSION) + int32(rules) + duel_bytes(duel) + piece(word1.encode("ascii")) \
        + piece(word2.encode("ascii"))


def referee_message(rules: int, secret: bytes, duel: dict) -> bytes:
    """What the referee's commitment hashes: it binds the secret, the duel and the rules' version."""
    return piece(REFEREE_TAG) + int32(rules) + secret + duel_bytes(duel)


def readings(secret: bytes, prefix: bytes) -> list:
    """The readings of reseeds 1 to 100, 16 hexadecimal digits each."""
    return [hmac.new(secret, prefix + n.to_bytes(4, "big"), hashlib.sha256).digest()[:8].hex()
            for n in range(1, RESEEDS + 1)]


def player_commitment(salt: bytes, word: str) -> str:
    return hashlib.sha256(piece(WORD_TAG) + salt + piece(word.encode("ascii"))).hexdigest()


# --- The cases ----------------------------------------------------------------

def derived(name: str) -> str:
    """32 bytes that anyone can derive again, in hexadecimal."""
    return hashlib.sha256(("saberline fair vector " + name).encode()).hexdigest()


PISTOLS = {"TypeBattle": 1, "BP1": "30", "OgnOr1": "12", "HolOr1": "1", "StrZ1": "3",
           "BP2": "20", "OgnOr2": "9", "HolOr2": "1", "StrZ2": "4"}
COLD = {"TypeBattle": 2, "BP1": "30", "OgnOr1": "12", "HolOr1": "10", "StrZ1": "2",
        "StrSt11": "1", "StrSt12": "2", "StrSt13": "3", "ShAtack1": "4",
        "BP2": "25", "OgnOr2": "9", "HolOr2": "8", "StrZ2": "0",
        "StrSt21": "4", "StrSt22": "5", "StrSt23": "6", "StrSt24": "1", "ShAtack2": "5"}
MIXED = {"TypeBattle": 3, "BP1": "40", "OgnOr1": "6", "HolOr1": "8", "StrZ1": "2",
         "StrSt11": "1", "StrSt12": "3", "StrSt13": "5", "ShAtack1": "246135",
         "BP2": "35", "OgnOr2": "7", "HolOr2": "6", "StrZ2": "0",
         "StrSt21": "2", "StrSt22": "4", "StrSt23": "6", "StrSt24": "1", "ShAtack2": "531"}
# 246135 repeated to 100 digits, with other digits at the pistol moves 1, 5, 10, ..., 100.
MIXED_SCHEME_100 = "".join("6" if n == 1 or n % 5 == 0 else "246135"[(n - 1) % 6] for n in range(1, 101))
LONG_MIXED = dict(MIXED, BP1="9999", OgnOr1="3", HolOr1="4", StrZ1="1", BP2="9998", OgnOr2="2", HolOr2="5")
UNDECIDED = dict(PISTOLS, BP1="9999", OgnOr1="1", StrZ1="5", BP2="9999", OgnOr2="2", StrZ2="5")

# name, secret's name, word1, word2, salts (None, 1, 2 or both), request
CASES = [
    ("pistol duel", "pistols", "1523", "1524", (), PISTOLS),
    ("pistol duel respelled: the same duel", "pistols", "1523", "1524", (),
     dict(PISTOLS, BP1="030", OgnOr1="$C", HolOr1="77", StrZ1=" +3", BP2="x14", StrSt11="q", StrSt14="9",
          ShAtack1="12")),
    ("pistol duel, 100 moves, undecided", "undecided", "7", "0", (), UNDECIDED),
    ("cold-weapon duel, duellist 2 in the noble costume", "cold", "0", "18446744073709551615", (), COLD),
    ("cold-weapon duel respelled: sides in another order, scheme repeated, unread firearm points",
     "cold", "0", "18446744073709551615", (),
     dict(COLD, OgnOr1="1", StrZ1="$2", StrSt11="3", StrSt13="1", StrSt21="1", StrSt24="4", ShAtack1="44",
          ShAtack2="5" * 100, OgnOr2="0x10")),
    ("cold-weapon duel, negative armour", "negative", "42", "43", ("salt1",),
     dict(COLD, StrZ1="-$F", StrZ2="-3", StrSt24="", ShAtack1="163", ShAtack2="2")),
    ("mixed duel, both players committed", "mixed", "1523", "1524", ("salt1", "salt2"), MIXED),
    ("mixed duel respelled: other digits where only pistol moves fall", "mixed", "1523", "1524",
     ("salt1", "salt2"), dict(MIXED, ShAtack1=MIXED_SCHEME_100, ShAtack2="531531")),
    ("mixed duel of 100 moves, one player committed", "long", "99", "100", ("salt2",), LONG_MIXED),
    ("refused: the screen at start-up", "refused", "1", "2", (), {}),
    ("refused: health 0", "refused", "1", "2", (), dict(PISTOLS, BP2="0")),
    ("refused: the noble costume over armour", "refused", "1", "2", ("salt1",), dict(COLD, StrZ2="1")),
    ("refused: duellist 2 repeats a strong side", "refused", "1", "2", (), dict(COLD, StrSt23="4")),
    ("refused: duellist 1's scheme empty", "refused", "1", "2", (), dict(MIXED, ShAtack1="")),
    ("refused: a bad character in duellist 2's scheme", "refused", "1", "2", (), dict(COLD, ShAtack2="57")),
]
PLAYER_WORDS = ["0", "7", "1523", "18446744073709551615"]


def full_request(given: dict) -> dict:
    """Every field's text as typed: what the case does not name stands as at start-up."""
    request = {"TypeBattle": given.get("TypeBattle", 1)}
    for name in FIELDS:
        request[name] = given.get(name, "30" if name.startswith("BP") else "")
    return request


def run(cli, args, stdin=""):
    done = subprocess.run([cli] + args, input=stdin.encode("utf-8"), capture_output=True, check=False)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


def duel_args(case):
    """fair duel with everything posted: a salt goes with its player's commitment."""
    args = ["fair", "duel", "--secret", case["secret"], "--word1", case["word1"], "--word2", case["word2"]]
    if "commitment" in case:
        args += ["--commitment", case["commitment"]]
    for k in ("1", "2"):
        if "salt" + k in case:
            args += ["--salt" + k, case["salt" + k], "--commitment" + k, case["commitment" + k]]
    return args


def rules_of(verification: str) -> int:
    """The rules' version a verification names, right after the format."""
    second = verification.split("&")[1]
    if not second.startswith("rules="):
        raise SystemExit(f"no rules' version in {verification}")
    return int(second[len("rules="):])


# The keys of a case, in the file's order.
CASE_KEYS = ("name", "secret", "word1", "word2", "salt1", "salt2", "request", "canonical_request", "duel",
             "commitment_message", "commitment", "commitment1", "commitment2", "message", "readings",
             "verification", "InfoBM1", "InfoBM2", "ErrorText")
POSTED_KEYS = ("verification", "commitment", "commitment1", "commitment2", "InfoBM1", "InfoBM2", "ErrorText")
DUEL_KEYS = ("InfoBM1", "InfoBM2", "ErrorText", "commitment", "commitment1", "commitment2", "verification")


def make(cli, out_path):
    cases = []
    rules_seen = set()
    for name, secret_name, word1, word2, salts, given in CASES:
        secret = derived("secret " + secret_name)
        case = {"name": name, "secret": secret, "word1": word1, "word2": word2}
        for salt in salts:
            case[salt] = derived(salt + " " + secret_name)
            word = word1 if salt == "salt1" else word2
            case["commitment" + salt[-1]] = player_commitment(bytes.fromhex(case[salt]), word)
        case["request"] = full_request(given)
        # Fought first without the referee's commitment, which binds the
        # canonical duel that saberline-cli then shows.
        status, out, err = run(cli, duel_args(case), json.dumps(case["request"], ensure_ascii=False))
        if status != 0:
            raise SystemExit(f"{name}: fair duel exited {status}: {err}{out}")
        fought = json.loads(out)
        for key in ("commitment1", "commitment2"):
            if fought.get(key) != case.get(key) and "verification" in fought:
                raise SystemExit(f"{name}: {key} {fought.get(key)} is not {case.get(key)}")
        if "verification" in fought:
            rules = rules_of(fought["verification"])
            rules_seen.add(rules)
            posted = {k: v for k, v in dict(case, **fought).items() if k in POSTED_KEYS}
            status, out, err = run(cli, ["fair", "verify"], json.dumps(posted, ensure_ascii=False))
            if status != 0:
                raise SystemExit(f"{name}: fair verify exited {status}: {err}{out}")
            verified = json.loads(out)
            case["canonical_request"] = verified["request"]
            case["duel"] = verified["duel"]
            commitment_message = referee_message(rules, bytes.fromhex(secret), verified["duel"])
            case["commitment_message"] = commitment_message.hex()
            case["commitment"] = hashlib.sha256(commitment_message).hexdigest()
            if fought["commitment"] != case["commitment"]:
                raise SystemExit(f"{name}: saberline-cli's commitment is not that of the layout")
            prefix = message_prefix(rules, verified["duel"], word1, word2)
            case["message"] = prefix.hex()
            case["readings"] = readings(bytes.fromhex(secret), prefix)
            if case["readings"] != verified["readings"]:
                raise SystemExit(f"{name}: the readings of saberline-cli are not those of the layout")
            case["verification"] = fought["verification"]
        else:
            for k in ("1", "2"):
                case.pop("salt" + k, None)
                case.pop("commitment" + k, None)
        for key in ("InfoBM1", "InfoBM2", "ErrorText"):
            case[key] = fought[key]
        cases.append({k: case[k] for k in CASE_KEYS if k in case})
    if len(rules_seen) != 1:
        raise SystemExit(f"the verifications name rules' versions {sorted(rules_seen)}")
    players = []
    for word in PLAYER_WORDS:
        salt = derived("player salt " + word)
        players.append({"word": word, "salt": salt, "commitment": player_commitment(bytes.fromhex(salt), word)})
    document = {
        "format": VERSION.decode(),
        "rules": rules_seen.pop(),
        "about": "Known answers of fair duels: docs/fair-duels.md describes every field and byte. "
                 "Reseed n's message is `message` followed by n as 4 bytes big-endian; its reading is the "
                 "first 8 bytes of HMAC-SHA-256 keyed with the secret's 32 bytes. The referee's commitment "
                 "is SHA-256 of `commitment_message`. The answers hold for the rules' version `rules` alone. "
                 "Made by tools/fair_vectors.py.",
        "cases": cases,
        "player_commitments": players,
    }
    with open(out_path, "w", encoding="utf-8") as f:
        json.dump(document, f, ensure_ascii=False, indent=1)
        f.write("\n")
    print(f"{out_path}: {len(cases)} cases, {len(players)} player commitments")
    return 0


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def recompute(path):
    """Every reading and commitment from the file's values, with hmac and hashlib."""
    document = load(path)
    problems = []
    if document["format"] != VERSION.decode():
        problems.append(f"format {document['format']}")
    rules = document["rules"]
    for case in document["cases"]:
        name = case["name"]
        secret = bytes.fromhex(case["secret"])
        for k in ("1", "2"):
            if ("salt" + k in case) != ("commitment" + k in case):
                problems.append(f"{name}: salt{k} and commitment{k} come together")
            elif "salt" + k in case and player_commitment(bytes.fromhex(case["salt" + k]), case["word" + k]) \
                    != case["commitment" + k]:
                problems.append(f"{name}: commitment{k} is not the hash of its salt and word")
        if "verification" not in case:
            if case["InfoBM1"] or case["InfoBM2"] or not case["ErrorText"] or "readings" in case \
                    or "commitment" in case:
                problems.append(f"{name}: a refused request has its message alone")
            continue
        duel = case["duel"]
        if rules_of(case["verification"]) != rules:
            problems.append(f"{name}: the verification names another rules' version than the file")
        commitment_message = referee_message(rules, secret, duel)
        if commitment_message.hex() != case["commitment_message"] or \
                hashlib.sha256(commitment_message).hexdigest() != case["commitment"]:
            problems.append(f"{name}: the commitment is not SHA-256 of the tag, rules, secret and duel")
        cold_moves = {1: 0, 2: 100, 3: 79}[duel["TypeBattle"]]
        for key in ("duellist1", "duellist2"):
            if len(duel[key].get("scheme", [])) != cold_moves:
                problems.append(f"{name}: {key} has {len(duel[key].get('scheme', []))} scheme digits")
        prefix = message_prefix(rules, duel, case["word1"], case["word2"])
        if prefix.hex() != case["message"]:
            problems.append(f"{name}: the message is not the layout of the values")
        if readings(secret, prefix) != case["readings"]:
            problems.append(f"{name}: the readings are not the HMACs of the message")
    for player in document["player_commitments"]:
        if player_commitment(bytes.fromhex(player["salt"]), player["word"]) != player["commitment"]:
            problems.append(f"player commitment of {player['word']}")
    # Respelled requests are the same duel: the same message and verification.
    by_duel = {}
    for case in document["cases"]:
        if "verification" in case:
            by_duel.setdefault(json.dumps(case["duel"]) + case["word1"] + case["word2"], []).append(case)
    same = [group for group in by_duel.values() if len(group) > 1]
    for group in same:
        if len({(c["message"], c["verification"]) for c in group}) != 1:
            problems.append("respellings of one duel: " + ", ".join(c["name"] for c in group))
    if len(same) < 3:
        problems.append(f"{len(same)} groups of respellings of one duel, not one per duel type")
    for p in problems:
        print("FAIL", p)
    accepted = sum("verification" in c for c in document["cases"])
    print(f"{path}: {accepted} duels' messages, readings and referee's commitments, "
          f"{len(document['player_commitments'])} more players' commitments recomputed, "
          f"{len(same)} groups of respellings: {len(problems)} problem(s)")
    return 1 if problems else 0


def cli_agrees(path, cli):
    """saberline-cli fights, verifies and commits as the file says."""
    document = load(path)
    problems = []
    for case in document["cases"]:
        name = case["name"]
        status, out, err = run(cli, duel_args(case), json.dumps(case["request"], ensure_ascii=False))
        if status != 0:
            problems.append(f"{name}: fair duel exited {status}: {err}")
            continue
        fought = json.loads(out)
        expected = {k: case[k] for k in DUEL_KEYS if k in case}
        if fought != expected or list(fought) != [k for k in DUEL_KEYS if k in expected]:
            problems.append(f"{name}: fair duel printed {out}")
        if "verification" not in case:
            # No commitment binds a request the rules refuse.
            status, out, err = run(cli, ["fair", "commit"], json.dumps(case["request"], ensure_ascii=False))
            if status != 2 or out or case["ErrorText"] not in err:
                problems.append(f"{name}: fair commit exited {status}: {out}{err}")
            continue
        status, out, err = run(cli, ["fair", "check-secret", "--secret", case["secret"], "--commitment",
                                     case["commitment"]], json.dumps(case["request"], ensure_ascii=False))
        checked = json.loads(out) if out else {}
        if status != 0 or not checked.get("verified") or checked.get("request") != case["canonical_request"]:
            problems.append(f"{name}: fair check-secret exited {status}: {err}{out}")
        posted = {k: case[k] for k in POSTED_KEYS if k in case}
        status, out, err = run(cli, ["fair", "verify"], json.dumps(posted, ensure_ascii=False))
        verified = json.loads(out) if out else {}
        if status != 0 or not verified.get("verified"):
            problems.append(f"{name}: fair verify exited {status}: {err}{out}")
            continue
        for key, mine in (("request", "canonical_request"), ("duel", "duel"), ("readings", "readings")):
            if verified[key] != case[mine]:
                problems.append(f"{name}: fair verify's {key} is not the file's {mine}")
    salts = set()
    words = set()
    for word in PLAYER_WORDS + [None] * 4:
        args = ["fair", "commit"] + (["--word", word] if word is not None else ["--player"])
        status, out, err = run(cli, args)
        made = json.loads(out) if status == 0 else {}
        drawn = made.get("word", "")
        if status != 0 or (word is not None and drawn != word) or \
                not (drawn == "0" or (drawn[:1] in "123456789" and drawn.isdigit())) or int(drawn) >= 2 ** 64 or \
                player_commitment(bytes.fromhex(made["salt"]), drawn) != made["commitment"] or \
                (word is None) == bool(err):
            problems.append(f"fair {' '.join(args[1:])}: {status} {out}{err}")
        else:
            salts.add(made["salt"])
            words.add(drawn)
    if len(salts) != len(PLAYER_WORDS) + 4 or len(words) != len(PLAYER_WORDS) + 4:
        problems.append("fair commit gave a salt or a drawn word twice")
    for p in problems:
        print("FAIL", p)
    print(f"{path}: saberline-cli on {len(document['cases'])} cases, {len(PLAYER_WORDS)} chosen and 4 drawn "
          f"players' commitments: "
          f"{len(problems)} problem(s)")
    return 1 if problems else 0


def main(argv):
    if len(argv) == 3 and argv[0] == "make":
        return make(argv[1], argv[2])
    if len(argv) == 2 and argv[0] == "recompute":
        return recompute(argv[1])
    if len(argv) == 3 and argv[0] == "cli":
        return cli_agrees(argv[1], argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
