"""The protocol on a foreign build (Windows under Wine, 32-bit Linux under
qemu): each line must reach the interface whole and at once, and the basic
commands must behave as on the native build. SOLVANE_BIN names the wrapper
that starts the foreign binary."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from engine import BESTMOVE_LINE, START_MOVES, EngineCase  # noqa: E402

# Black plays c2b2; White then has a1b2 only.
ONE_REPLY = "position fen k7/8/8/8/8/8/2q5/K7 b - - 0 1 moves c2b2"


class Wire(EngineCase):
    def idle(self, eng):
        eng.send("isready")
        eng.read_until("^readyok$")

    def test_lines_end_with_the_systems_line_ending(self):
        # The reader takes off exactly LINE_END (CR LF on Windows, where output
        # is in text mode, a bare LF elsewhere): any other ending shows here.
        eng = self.start()
        eng.send("uci")
        lines = eng.read_until("^uciok")
        self.assertEqual([x for x in lines if "\r" in x or "<no " in x], [])
        self.assertEqual(self.end(eng), [])

    def test_uci_reply_arrives_while_input_is_open(self):
        # A buffered stream would hold the reply until the process ends.
        eng = self.start()
        eng.send("uci")
        lines = eng.read_until("^uciok$", timeout=10)
        self.assertIsNone(eng.proc.poll(), "the engine ended")
        self.assertEqual(lines[0], "id name Solvane 1.8.5")
        self.assertEqual(len(lines), 12, lines)
        self.assertEqual(self.end(eng), [])

    def test_isready(self):
        eng = self.start()
        eng.send("isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        eng.send("isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        self.assertEqual(self.end(eng), [])

    def test_position_with_moves_then_go_depth_5(self):
        eng = self.start()
        infos, best = self.parse_search(eng.search(ONE_REPLY, "go depth 5", timeout=30))
        self.assertEqual([m.group(1) for m in infos], ["5"], "one iteration straight at depth 5")
        self.assertEqual(best.group(1), "a1b2")
        # The moves change the side to move: Black answers after 1. e4 e5 2. Nf3.
        infos, best = self.parse_search(eng.search("position startpos moves e2e4 e7e5 g1f3", "go depth 5",
                                                   timeout=60))
        self.assertEqual([m.group(1) for m in infos], ["5"])
        self.assertIn(best.group(1)[1], "78", "not a Black move: %s" % best.group(0))
        self.assertEqual(best.group(1), infos[0].group(5).split()[0])
        self.assertEqual(self.end(eng), [])

    def test_go_movetime_1000(self):
        eng = self.start()
        self.idle(eng)
        t0 = time.monotonic()
        infos, best = self.parse_search(eng.search("position startpos", "go movetime 1000", timeout=10))
        elapsed = time.monotonic() - t0
        self.assertTrue(0.95 <= elapsed < 2.0, "answered after %.2f s" % elapsed)
        self.assertTrue(infos, "no depth completed in a second")
        self.assertEqual(best.group(1), infos[-1].group(5).split()[0], "the last completed depth")
        self.assertEqual(self.end(eng), [])

    def test_stop_ends_an_infinite_search(self):
        eng = self.start()
        eng.send("go infinite")
        # The first info line comes while the search runs, not at its end.
        eng.read_until("^info depth 1 ", timeout=10)
        self.assertFalse([x for x in eng.silent(0.5) if not x.startswith("info depth ")], "ended by itself")
        t0 = time.monotonic()
        lines = eng.search("stop", timeout=5)
        self.assertLess(time.monotonic() - t0, 1.5)
        self.assertIn(self.parse_search(lines)[1].group(1), START_MOVES)
        self.assertEqual(eng.silent(0.3), [])
        self.assertEqual(self.end(eng), [])

    def test_quit(self):
        eng = self.start()
        self.idle(eng)
        self.assertEqual(self.end(eng, quit=True), [])
        # During a search: the bestmove line still comes, then the exit.
        eng = self.start()
        eng.send("go infinite")
        eng.read_until("^info depth 1 ", timeout=10)
        tail = self.end(eng, quit=True)
        self.assertTrue(tail and BESTMOVE_LINE.match(tail[-1]), tail)

    def test_end_of_input(self):
        eng = self.start()
        self.idle(eng)
        self.assertEqual(self.end(eng, quit=False), [])
        eng = self.start()
        eng.send("go infinite")
        eng.read_until("^info depth 1 ", timeout=10)
        tail = self.end(eng, quit=False)
        self.assertTrue(tail and BESTMOVE_LINE.match(tail[-1]), tail)


if __name__ == "__main__":
    unittest.main()
