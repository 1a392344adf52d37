#!/usr/bin/env python3
"""Runs a program and its anchor alternately (A, B, A, B ...) and reports, for
wall time and peak resident memory, the median of each and the median of the
pairwise ratios A/B. Only a ratio taken in one run means anything on a shared
machine: both sides see the same noise.

    alternate.py --spawner SPAWN_PEAK [--runs N] [--warmup N] [--probe] \
        NAME_A STDIN_A COMMAND_A NAME_B STDIN_B COMMAND_B

STDIN is a file for standard input, or - for /dev/null. COMMAND is one
string, split into words like a shell would (no redirections).

Each process is started by SPAWN_PEAK (bench/spawn_peak.c), which times it
from just before the fork to its reaping and takes its peak resident memory
from wait4. With --probe, each process instead prints "first-turn
<CLOCK_MONOTONIC ns>" on standard output (bench/StartupProbe.cpp), and its
time is from just before the fork to that moment.
"""
import argparse
import os
import shlex
import statistics
import subprocess
import sys
import tempfile

spawner = None


def run_once(command, stdin, probe, out_path):
    report = subprocess.run([spawner, stdin, out_path, *command], check=True, capture_output=True, text=True)
    start, end, status, peak = (int(word) for word in report.stdout.split())
    if probe:
        with open(out_path) as out:
            words = out.read().split()
        if len(words) < 2 or words[0] != "first-turn":
            sys.exit(f"alternate.py: {command[0]} printed no probe time (status {status})")
        end = int(words[1])
    elif status != 0:
        sys.exit(f"alternate.py: {shlex.join(command)} exited with {status}")
    return (end - start) / 1e6, peak  # ms, KiB


def main():
    global spawner
    parser = argparse.ArgumentParser()
    parser.add_argument("--spawner", required=True)
    parser.add_argument("--runs", type=int, default=200)
    parser.add_argument("--warmup", type=int, default=10)
    parser.add_argument("--probe", action="store_true")
    parser.add_argument("sides", nargs=6)
    args = parser.parse_args()
    spawner = os.path.realpath(args.spawner)
    sides = []
    for name, stdin, command in zip(args.sides[0::3], args.sides[1::3], args.sides[2::3]):
        words = shlex.split(command)
        words[0] = os.path.realpath(words[0])
        sides.append((name, "/dev/null" if stdin == "-" else stdin, words))

    with tempfile.NamedTemporaryFile() as out:
        for _ in range(args.warmup):
            for _, stdin, command in sides:
                run_once(command, stdin, args.probe, out.name)
        times = [[], []]
        memory = [[], []]
        for _ in range(args.runs):
            for i, (_, stdin, command) in enumerate(sides):
                ms, kib = run_once(command, stdin, args.probe, out.name)
                times[i].append(ms)
                memory[i].append(kib)

    (name_a, _, _), (name_b, _, _) = sides
    width = max(len(name_a), len(name_b))
    print(f"{args.runs} runs each, alternating {name_a} and {name_b}")
    for i, (name, _, _) in enumerate(sides):
        print(f"  {name:<{width}}  time median {statistics.median(times[i]):7.3f} ms"
              f"  (min {min(times[i]):.3f})   peak memory median {statistics.median(memory[i]) / 1024:6.2f} MiB")
    time_ratio = statistics.median(a / b for a, b in zip(*times))
    memory_ratio = statistics.median(a / b for a, b in zip(*memory))
    print(f"  median of pairwise ratios {name_a} / {name_b}: time {time_ratio:.3f}, peak memory {memory_ratio:.3f}")


if __name__ == "__main__":
    main()
