# SPDX-License-Identifier: GPL-3.0-or-later
"""A long session: one engine takes thousands of mixed commands (positions,
searches of every kind, options, stops, ponder, d, perft) and answers every
search; its memory at the end is within a few megabytes of what it was after
the first thousand (SOLVANE_MEMORY: "rss" for a native build, "heap" for the
WebAssembly module's memory; unset under the sanitizers, whose leak check
then runs at the exit)."""

import os
import random
import tempfile
import unittest

from engine import EngineCase, opening_lines

COMMANDS = int(os.environ.get("SOLVANE_SOAK_COMMANDS", "1000"))
MEMORY = os.environ.get("SOLVANE_MEMORY", "")
SLACK = 4 << 20
LINES = opening_lines()


def session(rng, count):
    """(commands, whether to wait for readyok after them), about count commands in all."""
    made = 0
    while made < count:
        line = rng.choice(LINES)
        moves = line[:rng.randrange(len(line))]
        block = ["position startpos" + (" moves " + " ".join(moves) if moves else "")]
        block += rng.choice([
            ["go depth %d" % rng.randint(1, 3)], ["go nodes %d" % rng.randint(100, 5000)],
            ["go movetime %d" % rng.randint(5, 30)], ["go wtime 300 btime 300 winc 10 binc 10"], ["go mate 2"],
            ["go depth 2 searchmoves %s" % line[len(moves)]], ["go infinite", "stop"],
            ["go ponder wtime 400 btime 400", "ponderhit"], ["go perft %d" % rng.randint(1, 2)], ["d"],
            ["setoption name Threads value %d" % rng.randint(1, 4)], ["setoption name MultiPV value %d" % rng.randint(1, 3)],
            ["setoption name UCI_LimitStrength value %s" % rng.choice(["true", "false"]),
             "setoption name UCI_Elo value %d" % rng.randint(800, 1600)], ["ucinewgame"], ["stop"],
            ["setoption name Pawn value %d" % rng.randint(80, 120)],
            ["setoption name Hash value %d" % rng.randint(0, 2)], ["setoption name Clear Hash"],
        ])
        made += len(block)
        yield block


def rss(eng):
    with open("/proc/%d/status" % eng.proc.pid) as f:
        return next(int(x.split()[1]) << 10 for x in f if x.startswith("VmRSS:"))


class Soak(EngineCase):
    def memory(self, eng, heap):
        # The table holds what its option says (below): measured without one.
        eng.send("setoption name Hash value 0", "isready")
        eng.read_until("^readyok$")
        if MEMORY == "rss":
            return rss(eng)
        with open(heap) as f:
            return int(f.read())

    def test_a_long_session_answers_and_keeps_its_memory(self):
        heap = tempfile.NamedTemporaryFile(delete=False).name
        self.addCleanup(os.unlink, heap)
        os.environ["SOLVANE_HEAP_LOG"] = heap
        eng = self.start()
        sent, middle, rng = 0, None, random.Random(5)
        for block in session(rng, COMMANDS):
            eng.send(*block, "isready")
            eng.read_until("^readyok$", timeout=30)
            sent += len(block)
            if middle is None and sent >= min(1000, COMMANDS // 2) and MEMORY:
                middle = self.memory(eng, heap)
        if MEMORY:
            end = self.memory(eng, heap)
            self.assertLess(end - middle, SLACK, "memory grew from %d to %d bytes" % (middle, end))
        self.assertEqual(self.end(eng), [])

    @unittest.skipUnless(MEMORY == "rss", "the resident size of a native build")
    def test_the_table_holds_the_memory_it_is_given(self):
        eng = self.start()
        sizes = []
        for mb in (0, 64, 16, 0):
            eng.send("setoption name Hash value %d" % mb, "go depth 6", "isready")
            eng.read_until("^readyok$", timeout=30)
            sizes.append(rss(eng))
        grown = [size - sizes[0] for size in sizes]
        self.assertTrue(63 << 20 < grown[1] < (64 << 20) + SLACK and 15 << 20 < grown[2] < (16 << 20) + SLACK, grown)
        self.assertLess(grown[3], SLACK, grown)
        self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
