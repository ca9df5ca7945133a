#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The Chess960 perft table, tests/data/chess960.epd, counted by an independent
engine (Stockfish with UCI_Chess960): the 960 start positions in their standard
numbering, then positions built to make castling hard, each with its counts to
the depth given. With --check ENGINE, the per-move counts of ENGINE's
"go perft" are compared with the referee's for every line of the table at its
deepest depth instead, and the lines that differ are printed.
Usage: scripts/chess960-perft.py [--referee PATH] [--check ENGINE]"""
import argparse
import pathlib
import subprocess
import sys

TABLE = pathlib.Path(__file__).resolve().parents[1] / "tests" / "data" / "chess960.epd"
START_DEPTH = 4
# Castling made hard, with the depth each is counted to: the back rank empty
# between king and rooks, with both castlings on one list; king and rook each
# on the other's last square; the king already on its last square; a rook
# already on its own; a transit square attacked; the king in check; a rook
# that shields the king's last square from an enemy rook; a piece on the
# rook's path only; the inner of two rooks on one side; the same for Black.
CASTLING = [
    ("1r4kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w HAhb - 0 1", 5),
    ("4k3/8/8/8/8/8/8/2RK3R w HC - 0 1", 5),
    ("k7/8/8/8/8/8/8/4RKR1 w GE - 0 1", 5),
    ("6k1/8/8/8/8/8/8/R5KR w HA - 0 1", 5),
    ("4k3/8/8/8/8/8/8/R3KR2 w FA - 0 1", 5),
    ("4k3/8/8/8/8/8/8/3RK3 w D - 0 1", 5),
    ("4r1k1/8/8/8/8/8/8/RK5R w HA - 0 1", 5),
    ("1r3k2/8/8/8/8/8/8/RK5R w HA - 0 1", 5),
    ("6k1/8/8/8/8/8/8/rR1K4 w B - 0 1", 5),
    ("4k3/8/8/8/8/8/8/RN3K1R w HA - 0 1", 5),
    ("4k3/8/8/8/8/8/8/R1R1K3 w C - 0 1", 5),
    ("rk2r3/8/8/8/8/8/8/7K b ea - 0 1", 5),
    ("1r1k1r2/8/8/1B6/8/8/8/4K3 b fb - 0 1", 5),
    ("r1k1r2q/p1ppp1pp/8/1p3p2/8/P6P/1PPPPPP1/RQK1R2B w EAea - 0 1", 4),
]
KNIGHTS = [(0, 1), (0, 2), (0, 3), (0, 4), (1, 2), (1, 3), (1, 4), (2, 3), (2, 4), (3, 4)]


def start_position(n):
    """The FEN of start position n (0 to 959; 518 is standard chess), castling in Shredder-FEN."""
    rank = [None] * 8
    rank[2 * (n % 4) + 1] = "B"
    n //= 4
    rank[2 * (n % 4)] = "B"
    n //= 4
    empty = [i for i in range(8) if rank[i] is None]
    rank[empty[n % 6]] = "Q"
    n //= 6
    empty = [i for i in range(8) if rank[i] is None]
    for k in KNIGHTS[n]:
        rank[empty[k]] = "N"
    for i, piece in zip([i for i in range(8) if rank[i] is None], "RKR"):
        rank[i] = piece
    back = "".join(rank)
    rooks = [i for i in range(8) if back[i] == "R"]
    files = "".join("abcdefgh"[i] for i in reversed(rooks))
    return "%s/pppppppp/8/8/8/8/PPPPPPPP/%s w %s%s - 0 1" % (back.lower(), back, files.upper(), files)


class Engine:
    def __init__(self, path):
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.send("setoption name UCI_Chess960 value true")

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def divide(self, fen, depth):
        """{move: count} of "go perft depth" and the total."""
        self.send("position fen " + fen)
        self.send("go perft %d" % depth)
        counts = {}
        for line in self.proc.stdout:
            if line.startswith("Nodes searched:"):
                return counts, int(line.split()[2])
            move, _, count = line.strip().partition(": ")
            if count.isdigit():
                counts[move] = int(count)
        sys.exit("the engine ended")

    def close(self):
        self.send("quit")
        self.proc.wait()


def lines():
    return [(start_position(n), START_DEPTH) for n in range(960)] + CASTLING


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--referee", default="/usr/games/stockfish")
    parser.add_argument("--check")
    args = parser.parse_args()
    assert start_position(518).startswith("rnbqkbnr/"), start_position(518)
    referee = Engine(args.referee)
    if args.check:
        engine, differ = Engine(args.check), 0
        for fen, depth in lines():
            if engine.divide(fen, depth) != referee.divide(fen, depth):
                print("differs:", fen, "depth", depth)
                differ += 1
        print("%d positions, %d differ" % (len(lines()), differ))
        sys.exit(1 if differ else 0)
    with open(TABLE, "w") as out:
        for fen, depth in lines():
            out.write(fen + "".join(" ;D%d %d" % (d, referee.divide(fen, d)[1]) for d in range(1, depth + 1)) + "\n")
    referee.close()


if __name__ == "__main__":
    main()
