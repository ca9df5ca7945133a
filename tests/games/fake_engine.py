#!/usr/bin/env python3
"""A scripted UCI engine that misbehaves on purpose, to prove the game runner
notices each fault.

Usage: fake_engine.py MODE [FROM_PLY]
Until ply FROM_PLY (default 0) of the game it plays the first legal move (asked
from Stockfish). From then on, MODE:
  legal    keep playing the first legal move
  illegal  a move that is never legal (a1a1)
  none     "bestmove (none)"
  crash    exit with status 3 without answering
  hang     never answer
  slow     wait 1.5 s, then play a legal move
  shuffle  knights out and back (g1f3 g8f6 f3g1 f6g8 ...), for repetitions
  fool     f2f3 e7e5 g2g4 d8h4, a mate in two plies each
"""

import os
import subprocess
import sys
import time

SHUFFLE = ["g1f3", "g8f6", "f3g1", "f6g8"]
FOOL = ["f2f3", "e7e5", "g2g4", "d8h4"]


def first_legal(stockfish, moves):
    stockfish.stdin.write("position startpos%s\ngo perft 1\n" % (" moves " + " ".join(moves) if moves else ""))
    stockfish.stdin.flush()
    legal = []
    for line in stockfish.stdout:
        if line.startswith("Nodes searched"):
            break
        head, sep, _ = line.partition(":")
        if sep and 4 <= len(head.strip()) <= 5:
            legal.append(head.strip())
    return sorted(legal)[0] if legal else "(none)"


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else "legal"
    from_ply = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    stockfish = subprocess.Popen([os.environ.get("FAKE_STOCKFISH", "/usr/games/stockfish")],
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    moves = []
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        out = None
        if words[0] == "uci":
            out = "id name Fake %s\nuciok" % mode
        elif words[0] == "isready":
            out = "readyok"
        elif words[0] == "position":
            moves = words[words.index("moves") + 1:] if "moves" in words else []
        elif words[0] == "quit":
            break
        elif words[0] == "go":
            ply = len(moves)
            act = mode if ply >= from_ply else "legal"
            if act == "crash":
                os._exit(3)
            if act == "hang":
                continue
            if act == "slow":
                time.sleep(1.5)
            if act == "illegal":
                move = "a1a1"
            elif act == "none":
                move = "(none)"
            elif act == "shuffle":
                move = SHUFFLE[ply % 4]
            elif act == "fool":
                move = FOOL[ply]
            else:
                move = first_legal(stockfish, moves)
            out = "info depth 1 score cp 0 nodes 1 pv %s\nbestmove %s" % (move, move)
        if out:
            sys.stdout.write(out + "\n")
            sys.stdout.flush()
    stockfish.stdin.close()
    stockfish.wait()


if __name__ == "__main__":
    main()
