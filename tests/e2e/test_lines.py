# SPDX-License-Identifier: GPL-3.0-or-later
"""Several best lines (MultiPV): on positions from random games, with mates
and with few legal moves, each line's score is the score its move gets
searched alone, no other move beats the last line, and the lines come in
order, numbered, with one node count."""

import random
import re
import unittest

from engine import EngineCase

LINE = re.compile(r"^info depth (\d+) multipv (\d+) score (cp|mate) (-?\d+) nodes (\d+) pv ((?:\S+ )*)$")
ALONE = re.compile(r"^info depth (\d+) score (cp|mate) (-?\d+) nodes \d+ pv ")
FIXED = ["fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1",          # mate in one, and quieter moves
         "fen k7/8/8/8/8/8/1q6/K7 w - - 0 1",              # one legal move
         "fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",              # no legal move: stalemate
         "fen 6k1/5ppp/8/8/8/8/5PPP/r5K1 w - - 0 1",        # mated
         "fen 4k3/8/8/8/8/8/3r4/4K3 w - - 0 1",             # two legal moves
         "fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4"]


def value(kind, score):
    """The engine's own order: every mate is worth the same, its distance aside."""
    return int(score) if kind == "cp" else 50000 if int(score) > 0 else -50000


class Lines(EngineCase):
    def legal_moves(self, eng, position):
        eng.send("position " + position, "go perft 1")
        return [line.split(":")[0] for line in eng.read_until("^Nodes searched")[:-2]]

    def check(self, eng, position, k, depth):
        moves = self.legal_moves(eng, position)
        eng.send("setoption name MultiPV value %d" % k)
        lines = eng.search("go depth %d" % depth)[:-1]
        got = [LINE.match(line) for line in lines]
        self.assertTrue(all(got), lines)
        self.assertEqual([int(m[2]) for m in got], list(range(1, max(1, min(k, len(moves))) + 1)), lines)
        self.assertEqual({(m[1], m[5]) for m in got}, {(str(depth), got[0][5])}, "one depth, one node count")
        eng.send("setoption name MultiPV value 1")
        alone = {move: ALONE.match(eng.search("go depth %d searchmoves %s" % (depth, move))[-2]).group(2, 3)
                 for move in moves}
        if not moves:
            return
        shown = [(m[6].split()[0], (m[3], m[4])) for m in got]
        for move, (kind, score) in shown:
            # A mate's distance counts the deepest mate the search met anywhere.
            self.assertEqual((kind, score if kind == "cp" else int(score) > 0),
                             (alone[move][0], alone[move][1] if kind == "cp" else int(alone[move][1]) > 0),
                             "%s: %s" % (position, move))
        values = [value(*score) for _, score in shown]
        self.assertEqual(values, sorted(values, reverse=True), lines)
        last, last_move = values[-1], shown[-1][0]
        for move in moves:
            if move not in dict(shown):
                v = value(*alone[move])
                # Equal scores keep the order of the root's moves.
                self.assertTrue(v < last or (v == last and moves.index(move) > moves.index(last_move)),
                                "%s: %s scores %s alone, above line %d" % (position, move, alone[move], len(shown)))

    def test_lines_are_exact(self):
        rng = random.Random(20261207)
        eng = self.start()
        positions = list(FIXED)
        while len(positions) < 24:
            played = []
            for _ in range(rng.randrange(4, 40)):
                moves = self.legal_moves(eng, "startpos moves " + " ".join(played))
                if not moves:
                    break
                played.append(rng.choice(moves))
            positions.append("startpos moves " + " ".join(played))
        for i, position in enumerate(positions):
            with self.subTest(position=position):
                self.check(eng, position, (3, 5)[i % 2], 3)
        self.end(eng)


if __name__ == "__main__":
    unittest.main()
