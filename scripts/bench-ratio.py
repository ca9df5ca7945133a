#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs bench commands in turn (A B C A B C ...) and compares the positions
per second each prints ("Nodes/second"): the median of each, and the median
of its ratios to the first command's run of the same round. Taking turns
keeps the ratios fair on a machine whose load drifts. Every command must
count the same nodes, or the comparison is refused."""

import argparse
import re
import statistics
import subprocess
import sys


def run(command):
    out = subprocess.run(command, shell=True, capture_output=True, text=True, check=True).stdout
    return [int(re.search(r"^%s: (\d+)" % key, out, re.M).group(1)) for key in ("Nodes searched", "Nodes/second")]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=9, help="rounds (default 9)")
    parser.add_argument("commands", nargs="+", help="shell commands; the first is the yardstick")
    args = parser.parse_args()
    speeds, counted = {c: [] for c in args.commands}, set()
    for _ in range(args.runs):
        for command in args.commands:
            nodes, speed = run(command)
            counted.add(nodes)
            if len(counted) > 1:
                sys.exit("%s counted %d nodes, another command %d" % (command, nodes, min(counted - {nodes})))
            speeds[command].append(speed)
    first = speeds[args.commands[0]]
    for command, values in speeds.items():
        ratios = [v / f for v, f in zip(values, first)]
        print("%6.2f M positions/s  %.3f of the first (rounds %.2f to %.2f)  %s" % (
            statistics.median(values) / 1e6, statistics.median(ratios), min(ratios), max(ratios), command))
    return 0

if __name__ == "__main__":
    sys.exit(main())
