#!/usr/bin/env python3
"""Runs two commands alternately, RUNS pairs after WARMUP pairs, and prints
for each command the median wall seconds, the median CPU seconds (user and
system) and the median peak resident size in KiB, as one line:
"wall1 wall2 cpu1 cpu2 rss1 rss2". Alternating the two commands spreads
what other programs on a busy machine do over both sides alike.

Usage: pairs.py RUNS WARMUP -- COMMAND1 [ARGS] -- COMMAND2 [ARGS]"""
import os
import statistics
import subprocess
import sys
import time


def run(command):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit("%s ended with %d" % (" ".join(command), child.returncode))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def main():
    runs, warmup = int(sys.argv[1]), int(sys.argv[2])
    rest = sys.argv[3:]
    split = rest.index("--", 1)
    commands = [rest[1:split], rest[split + 1:]]
    samples = [[], []]
    for i in range(warmup + runs):
        for side, command in enumerate(commands):
            measured = run(command)
            if i >= warmup:
                samples[side].append(measured)
    medians = [[statistics.median(s[k] for s in side) for side in samples] for k in range(3)]
    print("%.6f %.6f %.6f %.6f %d %d" % (*medians[0], *medians[1], *medians[2]))


main()
