#!/usr/bin/python3
"""A dishonest referee's attempts on fair duels (saberline-fair-v3), each run
for real with saberline-cli and Python's own hmac and hashlib, and what each
gains.

  fair_attacks.py SABERLINE_CLI [--duels N] [--pool P] [--seed S]

1. Grinding 1,000 secrets against drawn words. For every simulated duel the
   referee grinds 1,000 secrets before committing, keeping the one that
   makes duellist 1 win for the most word pairs he can guess; the players
   then draw their words (64 random bits each). Over all the duels the
   favoured side's share must stay within the 99 % sampling interval of the
   exact odds (`saberline-cli odds --json`). For contrast: had the players'
   words been among his guesses (post numbers, say), his secret would have
   won nearly always.
2. A refused request cannot be committed, so a mend is always a new
   commitment, made in plain sight.
3. A commitment to request R does not verify a duel of request R'.
4. A refusal at step 2 comes before anyone can compute the ending: the
   referee's view then (secret, request, the players' commitments) leaves
   the ending at its exact odds. For contrast: with plain words the referee
   sees the ending first, and one refusal lifts the favoured side to
   1 - (1 - p)^2.

The readings are worked out here from the documented bytes (docs/fair-duels.md)
and handed to `saberline-cli duel --clock`, which fights; a sample is held to
`saberline-cli fair duel` first. The rules exist once, in saberline-cli.
Exits 1 if any attempt gains anything.
"""

import argparse
import hashlib
import hmac
import json
import math
import os
import random
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

VERSION = b"saberline-fair-v3"
WORD_TAG = VERSION + b"-word"
REFEREE_TAG = VERSION + b"-referee"
LOSER_END = " убит: поражение;"
DRAW_END = " убит: ничья;"
Z99 = 2.5758  # the normal quantile of a two-sided 99 % interval

# A pistol duel between equals: each side wins with 43.06 %.
EQUALS = {"TypeBattle": 1, "BP1": "30", "OgnOr1": "10", "HolOr1": "1", "StrZ1": "0",
          "BP2": "30", "OgnOr2": "10", "HolOr2": "1", "StrZ2": "0"}


def piece(data: bytes) -> bytes:
    return len(data).to_bytes(4, "big") + data


def int32(value: int) -> bytes:
    return value.to_bytes(4, "big", signed=True)


def duel_bytes(duel: dict) -> bytes:
    out = int32(duel["TypeBattle"])
    for key in ("duellist1", "duellist2"):
        d = duel[key]
        out += int32(d["health"])
        out += int32(d["firearm"]) if "firearm" in d else b""
        out += int32(d["cold"]) if "cold" in d else b""
        out += int32(d["armour"])
        if duel["TypeBattle"] != 1:
            out += int32(len(d["parrying"])) + b"".join(map(int32, d["parrying"] + d["scheme"]))
    return out


class Cli:
    def __init__(self, path):
        self.path = path

    def run(self, args, request=None):
        done = subprocess.run([self.path] + args, input=json.dumps(request or {}, ensure_ascii=False).encode(),
                              capture_output=True, check=False)
        out = done.stdout.decode()
        return done.returncode, json.loads(out) if out.strip() else None, done.stderr.decode()

    def fight(self, request, readings):
        """The ending of a duel fought with these readings: '1', '2', 'both' or 'none'."""
        clock = ",".join(str(r) for r in readings)
        status, out, err = self.run(["duel", "--json", "--clock", clock], request)
        if status != 0:
            raise SystemExit(f"duel --clock exited {status}: {err}")
        return ending(out)


def ending(texts):
    if texts["InfoBM1"].endswith(DRAW_END):
        return "both"
    if texts["InfoBM2"].endswith(LOSER_END):
        return "1"
    if texts["InfoBM1"].endswith(LOSER_END):
        return "2"
    return "none"


class FairDuel:
    """One request, its canonical duel and rules' version as saberline-cli reads them."""

    def __init__(self, cli, request):
        self.cli = cli
        self.request = request
        secret = "00" * 32
        status, fought, err = cli.run(["fair", "duel", "--secret", secret, "--word1", "1", "--word2", "2"], request)
        if status != 0 or "verification" not in fought:
            raise SystemExit(f"fair duel: {status} {err}")
        posted = {k: fought[k] for k in ("verification", "commitment", "InfoBM1", "InfoBM2", "ErrorText")}
        status, verified, err = cli.run(["fair", "verify"], posted)
        if status != 0:
            raise SystemExit(f"fair verify: {status} {err}")
        self.duel = verified["duel"]
        self.rules = int(fought["verification"].split("&")[1].split("=")[1])
        self.bytes = duel_bytes(self.duel)

    def commitment(self, secret: bytes) -> str:
        return hashlib.sha256(piece(REFEREE_TAG) + int32(self.rules) + secret + self.bytes).hexdigest()

    def readings(self, secret: bytes, word1: str, word2: str):
        prefix = piece(VERSION) + int32(self.rules) + self.bytes + piece(word1.encode()) + piece(word2.encode())
        return [int.from_bytes(hmac.new(secret, prefix + n.to_bytes(4, "big"), hashlib.sha256).digest()[:8], "big")
                for n in range(1, 101)]

    def fight(self, secret: bytes, word1: str, word2: str) -> str:
        return self.cli.fight(self.request, self.readings(secret, word1, word2))


def drawn_word(rnd) -> str:
    """A word as `fair commit --player` draws it: 64 random bits in decimal."""
    return str(rnd.getrandbits(64))


def interval(p, n):
    half = Z99 * math.sqrt(p * (1 - p) / n)
    return p - half, p + half


def verdict(ok):
    return "nothing gained" if ok else "GAINED"


def held_to_fair_duel(cli, fair, rnd, samples=12):
    """The readings here are saberline-cli's own: a sample of duels fought both ways."""
    for _ in range(samples):
        secret = rnd.randbytes(32)
        w1, w2 = drawn_word(rnd), drawn_word(rnd)
        status, out, err = cli.run(["fair", "duel", "--secret", secret.hex(), "--word1", w1, "--word2", w2],
                                   fair.request)
        if status != 0 or ending(out) != fair.fight(secret, w1, w2):
            raise SystemExit("the readings worked out here are not saberline-cli's")


def grinding(cli, fair, p, rnd, duels, pool_size, workers):
    """Attack 1: the referee grinds 1,000 secrets per duel against words he guesses."""
    print("1. Grinding 1,000 secrets against drawn words")
    # What a referee can guess: the next post numbers of a thread, in either
    # order (the words v2 advised), three of them.
    posts = [str(n) for n in (1523, 1524, 1525)]
    guesses = [(a, b) for a in posts for b in posts if a != b]
    # Every secret is scored once against every guess; each duel's grind
    # draws its 1,000 from this pool (a secret's score never changes).
    pool = [rnd.randbytes(32) for _ in range(pool_size)]
    with ThreadPoolExecutor(workers) as ex:
        scores = list(ex.map(lambda s: sum(fair.fight(s, a, b) == "1" for a, b in guesses), pool))
    print(f"   pool: {pool_size} secrets, each fought against the {len(guesses)} guessed word pairs "
          f"(the next three post numbers in either order); {sum(s == len(guesses) for s in scores)} win all "
          f"{len(guesses)} (expected {pool_size * p ** len(guesses):.1f})")
    chosen = []
    for _ in range(duels):
        grind = rnd.sample(range(pool_size), 1000)
        chosen.append(max(grind, key=lambda i: scores[i]))
    words = [(drawn_word(rnd), drawn_word(rnd)) for _ in range(duels)]
    with ThreadPoolExecutor(workers) as ex:
        endings = list(ex.map(lambda k: fair.fight(pool[chosen[k]], *words[k]), range(duels)))
    wins = endings.count("1")
    share = wins / duels
    low, high = interval(p, duels)
    guessed = sum(scores[i] for i in chosen) / (duels * len(guesses))
    ok = low <= share <= high
    print(f"   {duels} simulated duels, each after grinding 1,000 secrets; duellist 1 favoured")
    print(f"   exact odds of duellist 1 (saberline-cli odds --json): {p:.4f}; 99 % sampling interval for "
          f"{duels} duels: [{low:.4f}, {high:.4f}]")
    print(f"   with drawn words duellist 1 won {wins} of {duels}: {share:.4f} -> {verdict(ok)}")
    print(f"   had the words been among his guesses, his chosen secret would have won {guessed:.4f} of them")
    return ok


def refused_commitment(cli):
    """Attack 2: a refused request cannot be committed."""
    print("2. A refused request cannot be committed")
    refused = dict(EQUALS, TypeBattle=2, StrSt11="1", StrSt12="2", StrSt13="2", ShAtack1="123",
                   StrSt21="4", StrSt22="5", StrSt23="6", ShAtack2="321")
    status, out, err = cli.run(["fair", "commit"], refused)
    ok = status == 2 and out is None and "rules refuse" in err
    print(f"   duellist 1's strong sides 1, 2, 2: fair commit exits {status}, prints "
          f"{'nothing' if out is None else out} on standard output and on standard error:\n     {err.strip()}")
    # Four mends of the duplicate side: each is another duel, so another
    # commitment; the secret committed for one opens none of the others.
    mends = [dict(refused, StrSt13=side) for side in ("3", "4", "5", "6")]
    status, made, err = cli.run(["fair", "commit"], mends[0])
    opened = [cli.run(["fair", "check-secret", "--secret", made["secret"], "--commitment", made["commitment"]], m)[0]
              for m in mends]
    ok = ok and opened == [0, 1, 1, 1]
    print(f"   committed to the mend 1, 2, 3: the secret opens the commitment for that mend and for none of the "
          f"mends 1, 2, 4 / 1, 2, 5 / 1, 2, 6 (check-secret exits {opened}) -> {verdict(ok)}")
    return ok


def other_request(cli, fair, rnd):
    """Attack 3: a commitment to R does not verify a duel of R'."""
    print("3. A commitment to request R does not verify a duel of request R'")
    status, made, err = cli.run(["fair", "commit"], fair.request)
    secret = made["secret"]
    other = dict(fair.request, BP2="29")
    w1, w2 = drawn_word(rnd), drawn_word(rnd)
    status, fought, err = cli.run(["fair", "duel", "--secret", secret, "--word1", w1, "--word2", w2], other)
    posted = {k: fought[k] for k in ("verification", "InfoBM1", "InfoBM2", "ErrorText")}
    posted["commitment"] = made["commitment"]
    verified_status, verified, _ = cli.run(["fair", "verify"], posted)
    duel_status, refused, _ = cli.run(["fair", "duel", "--secret", secret, "--commitment", made["commitment"],
                                       "--word1", w1, "--word2", w2], other)
    check_status, _, _ = cli.run(["fair", "check-secret", "--secret", secret, "--commitment", made["commitment"]],
                                 other)
    ok = verified_status == 1 and verified["differs"] == ["commitment"] and duel_status == 1 and \
        refused["differs"] == ["commitment"] and "InfoBM1" not in refused and check_status == 1
    print(f"   committed to R (duellist 2's health 30), fought R' (health 29) with the same secret:")
    print(f"   fair verify exits {verified_status}, \"differs\": {verified['differs']}; fair duel with the "
          f"commitment exits {duel_status}, \"differs\": {refused['differs']}, no logs; fair check-secret on R' "
          f"exits {check_status} -> {verdict(ok)}")
    return ok


def step_two(cli, fair, p, rnd, duels, workers):
    """Attack 4: the referee's refusal at step 2 comes before the ending can be known."""
    print("4. A refusal at step 2 comes before anyone can compute the ending")
    status, made, _ = cli.run(["fair", "commit"], fair.request)
    players = [cli.run(["fair", "commit", "--player"])[1] for _ in range(2)]
    secret = bytes.fromhex(made["secret"])
    # The referee's view at step 2: his secret, the request, the players'
    # commitments. A word is hidden by its 256-bit salt: not even the true
    # word opens its commitment with any salt but the player's.
    salts = [rnd.randbytes(32) for _ in range(10000)]
    opened = sum(hashlib.sha256(piece(WORD_TAG) + salt + piece(c["word"].encode())).hexdigest() == c["commitment"]
                 for c in players for salt in salts)
    print(f"   the players' commitments: {players[0]['commitment'][:16]}..., {players[1]['commitment'][:16]}...; "
          f"each player's true word tried with {len(salts)} salts other than the player's opens it {opened} times: "
          f"the words (2^64 each) stay hidden until step 3")
    # What the referee can work out is the ending over the words he cannot
    # know: the exact odds, whatever his secret.
    pairs = [(drawn_word(rnd), drawn_word(rnd)) for _ in range(duels)]
    with ThreadPoolExecutor(workers) as ex:
        endings = list(ex.map(lambda pair: fair.fight(secret, *pair), pairs))
    share = endings.count("1") / duels
    low, high = interval(p, duels)
    ok = low <= share <= high and opened == 0
    print(f"   with his secret and {duels} word pairs he cannot tell from the real ones, duellist 1 wins "
          f"{share:.4f} (exact odds {p:.4f}, 99 % interval [{low:.4f}, {high:.4f}]): he learns nothing to refuse "
          f"on -> {verdict(ok)}")
    actual = fair.fight(secret, players[0]["word"], players[1]["word"])
    status, fought, _ = cli.run(["fair", "duel", "--secret", made["secret"], "--commitment", made["commitment"],
                                 "--word1", players[0]["word"], "--salt1", players[0]["salt"], "--commitment1",
                                 players[0]["commitment"], "--word2", players[1]["word"], "--salt2",
                                 players[1]["salt"], "--commitment2", players[1]["commitment"]], fair.request)
    ok = ok and status == 0 and ending(fought) == actual
    print(f"   steps 3 and 4: the words revealed, fair duel with all three commitments exits {status}, "
          f"ending {actual}")
    # For contrast, plain words: the referee fights after the words are out
    # and sees the ending first; refusing once when duellist 1 loses is a
    # re-roll.
    tries = [[(rnd.randbytes(32), drawn_word(rnd), drawn_word(rnd)) for _ in range(2)] for _ in range(duels)]

    def reroll(two):
        first = fair.fight(*two[0])
        return first if first == "1" else fair.fight(*two[1])
    with ThreadPoolExecutor(workers) as ex:
        rerolled = list(ex.map(reroll, tries))
    q = 1 - (1 - p) ** 2
    share = rerolled.count("1") / duels
    low, high = interval(q, duels)
    print(f"   contrast, plain words: a referee who sees the ending and refuses once when duellist 1 loses: "
          f"{share:.4f} over {duels} duels (1 - (1 - p)^2 = {q:.4f}, 99 % interval [{low:.4f}, {high:.4f}]); "
          f"why plain words suit only friendly duels")
    return ok


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("cli")
    ap.add_argument("--duels", type=int, default=1000, help="simulated duels per attempt (default 1000)")
    ap.add_argument("--pool", type=int, default=2000, help="secrets scored for the grinding (default 2000)")
    ap.add_argument("--seed", type=int, default=None, help="seed of the simulation's own random choices")
    a = ap.parse_args(argv)
    if a.pool < 1000:
        ap.error("--pool must be at least 1000: each duel's grind draws 1,000 secrets from it")
    seed = a.seed if a.seed is not None else int.from_bytes(os.urandom(4), "big")
    rnd = random.Random(seed)
    cli = Cli(a.cli)
    workers = max(1, min(4, os.cpu_count() or 1))
    fair = FairDuel(cli, EQUALS)
    status, odds, err = cli.run(["odds", "--json"], EQUALS)
    p = odds["duellist1"]
    print(f"saberline-cli: {a.cli}; rules' version {fair.rules}; simulation seed {seed}")
    print(f"request: a pistol duel between equals (health 30, firearm points 10, armour 0), each side "
          f"{odds['duellist1']:.4f}, both fall {odds['both_fell']:.4f}")
    held_to_fair_duel(cli, fair, rnd)
    print("the readings worked out here agree with saberline-cli fair duel on 12 duels\n")
    results = [grinding(cli, fair, p, rnd, a.duels, a.pool, workers), refused_commitment(cli),
               other_request(cli, fair, rnd), step_two(cli, fair, p, rnd, a.duels, workers)]
    print(f"\n{sum(results)} of {len(results)} attempts gained nothing")
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
