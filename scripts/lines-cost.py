#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What several lines (MultiPV) cost against one: for each position and depth,
"go depth D" searched with 1, 3 and 5 lines in turn, several rounds; prints the
nodes of the depth and the median time of each, and their ratios to one line.
Usage: scripts/lines-cost.py ENGINE [ROUNDS]"""
import statistics
import subprocess
import sys
import time

POSITIONS = {
    "start": "startpos",
    "kiwipete": "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "middlegame": "fen r2q1rk1/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R2QK2R w KQ - 0 9",
    "endgame": "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
}


def search(engine, position, depth, lines):
    """(nodes, seconds) of one fixed-depth search in a fresh engine."""
    proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    proc.stdin.write("setoption name MultiPV value %d\nposition %s\nisready\n" % (lines, position))
    proc.stdin.flush()
    while proc.stdout.readline().strip() != "readyok":
        pass
    start = time.monotonic()
    proc.stdin.write("go depth %d\n" % depth)
    proc.stdin.flush()
    nodes = 0
    for line in proc.stdout:
        if line.startswith("info depth"):
            nodes = int(line.split(" nodes ")[1].split()[0])
        if line.startswith("bestmove"):
            break
    seconds = time.monotonic() - start
    proc.stdin.write("quit\n")
    proc.stdin.close()
    proc.wait()
    return nodes, seconds


def main():
    engine, rounds = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 3
    print("| Position | Depth | Nodes, 1 line | 3 lines | 5 lines | Time, 1 line | 3 lines | 5 lines |")
    print("|---|---|---|---|---|---|---|---|")
    for name, position in POSITIONS.items():
        for depth in (5, 6, 7):
            times = {k: [] for k in (1, 3, 5)}
            nodes = {}
            for _ in range(rounds):
                for k in (1, 3, 5):
                    nodes[k], seconds = search(engine, position, depth, k)
                    times[k].append(seconds)
            t = {k: statistics.median(v) for k, v in times.items()}
            print("| %s | %d | %d | %d (%.2f) | %d (%.2f) | %.3f s | %.3f s (%.2f) | %.3f s (%.2f) |" % (
                name, depth, nodes[1], nodes[3], nodes[3] / nodes[1], nodes[5], nodes[5] / nodes[1],
                t[1], t[3], t[3] / t[1], t[5], t[5] / t[1]), flush=True)


if __name__ == "__main__":
    main()
