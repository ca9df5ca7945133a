# SPDX-License-Identifier: GPL-3.0-or-later
"""The table of best moves (Hash) only orders moves: every completed depth
scores what it scores without the table, a best move changes only for one
that scores the same, the lines are the same on any number of threads, and
"Clear Hash" and "ucinewgame" empty the table."""

import os
import re
import unittest

from engine import EngineCase, run_tool
from test_reference import DATA_DIR, read_blocks

SEARCH = re.compile(r"^info depth (\d+) (?:multipv (\d+) )?score (cp|mate) (-?\d+) nodes (\d+) pv (\S+)")


def scores(lines):
    """(depth, line, score) of each info line; a mate's distance may change with the tree searched."""
    got = []
    for m in filter(None, map(SEARCH.match, lines)):
        got.append((int(m[1]), m[2], ("cp", int(m[4])) if m[3] == "cp" else ("mate", int(m[4]) > 0)))
    return got


def bench(depth, threads, hash_mb):
    """The lines of each bench position, by position."""
    status, out, err = run_tool("bench", str(depth), str(threads), str(hash_mb), timeout=600)
    assert (status, err) == (0, ""), err
    positions = re.split(r"^Position \d+/\d+: (.*)$", out.split("\n\nTotal time")[0], flags=re.M)[1:]
    return dict(zip(positions[::2], (p.strip().split("\n") for p in positions[1::2])))


class Hash(EngineCase):
    def assertSameScores(self, plain, ordered, position, eng):
        self.assertEqual(scores(ordered), scores(plain), position)
        # A best move changes only for one that scores the same searched alone.
        for a, b in zip(plain, ordered):
            ma, mb = SEARCH.match(a), SEARCH.match(b)
            if ma and ma[6] != mb[6] and ma[3] == "cp":
                for move in (ma[6], mb[6]):
                    eng.send("position " + position)
                    alone = eng.search("go depth %s searchmoves %s" % (ma[1], move))[-2]
                    self.assertEqual(SEARCH.match(alone)[4], ma[4], "%s depth %s: %s" % (position, ma[1], move))

    def test_bench_scores_and_threads(self):
        plain, ordered = bench(5, 1, 0), bench(5, 1, 16)
        eng = self.start()
        for position, lines in plain.items():
            self.assertSameScores(lines, ordered[position], position, eng)
        self.assertLess(sum(int(m[5]) for ls in ordered.values() for m in map(SEARCH.match, ls) if m),
                        sum(int(m[5]) for ls in plain.values() for m in map(SEARCH.match, ls) if m) / 2)
        for threads in (2, 3, 4):
            self.assertEqual(bench(5, threads, 16), ordered, "%d threads" % threads)
        self.assertEqual(self.end(eng), [])

    def test_recorded_searches(self):
        # Each recorded search with a table, on one and on three threads; a
        # strength level does not use it.
        for name in ("golden-searches.txt", "search-reference.txt"):
            for number, commands, expected in read_blocks(os.path.join(DATA_DIR, name)):
                if not expected or not expected[-1].startswith("bestmove"):
                    continue
                position = next(c for c in reversed(commands) if c.startswith("position "))[len("position "):]
                runs = []
                for threads in (1, 3):
                    with self.subTest(file=name, block_at_line=number, threads=threads):
                        eng = self.start()
                        eng.send("setoption name Threads value %d" % threads, "setoption name Hash value 16")
                        runs.append(eng.search(*commands, timeout=120))
                        self.assertSameScores(expected, runs[-1], position, eng)
                        self.assertEqual(self.end(eng), [])
                self.assertEqual(runs[1], runs[0], "%s, block at line %d: lines on 3 threads" % (name, number))
        eng = self.start()
        level = ("setoption name UCI_LimitStrength value true", "setoption name UCI_Elo value 1000",
                 "setoption name Seed value 7", "position startpos moves e2e4", "go depth 4")
        without = eng.search(*level)
        self.assertEqual(eng.search("setoption name Hash value 16", *level), without)
        self.assertEqual(self.end(eng), [])

    def test_the_table_is_kept_until_emptied(self):
        eng = self.start()
        go = ("position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", "go depth 5")
        eng.send("setoption name Hash value 4")
        first = eng.search(*go)
        again = eng.search(*go)
        self.assertEqual(scores(again), scores(first))
        self.assertNotEqual(again, first, "the table the first search filled orders the second")
        for empty in ("setoption name Clear Hash", "ucinewgame", "setoption name Hash value 4"):
            self.assertEqual(eng.search(empty, *go), first, empty)
        self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
