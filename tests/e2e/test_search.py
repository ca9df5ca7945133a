"""Searches through the protocol: info and bestmove lines, time limits, stop,
ponder, and commands that arrive while a search runs."""

import time
import unittest

from engine import BESTMOVE_LINE, INFO_LINE, ONE_MOVE, ONE_MOVE_FEN, START_MOVES, EngineCase
from test_protocol import BUILD_LINE, UCI_REPLY

MATE_IN_ONE = "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1"  # back-rank mate: a1a8


class SearchCase(EngineCase):
    def assertNoBestmove(self, eng, seconds):
        self.assertFalse([x for x in eng.silent(seconds) if not x.startswith("info depth ")])

    def running(self):
        """An engine with a "go infinite" under way from the start position."""
        eng = self.start()
        eng.send("go infinite")
        eng.read_until("^info depth 1 ")
        return eng

    def timed(self, eng, *commands, timeout=10):
        t0 = time.monotonic()
        lines = eng.search(*commands, timeout=timeout)
        infos, best = self.parse_search(lines)
        return time.monotonic() - t0, best, infos


class Lines(SearchCase):
    def test_depth_alone_and_with_clock(self):
        # No position command: the start position is set up at start-up.
        eng = self.start()
        lines = eng.search("go depth 3")
        infos, _ = self.parse_search(lines)
        self.assertEqual([m.group(1) for m in infos], ["3"], "one iteration straight at depth 3")
        fixed = lines[-2]
        # With the side's clock the search deepens 1, 2, 3 instead.
        lines = eng.search("position startpos", "go depth 3 wtime 100000000 btime 100000000")
        infos, best = self.parse_search(lines)
        self.assertEqual([m.group(1) for m in infos], ["1", "2", "3"])
        for m in infos:
            pv = m.group(5).split()
            self.assertEqual(m.group(2), "cp")
            self.assertIn(pv[0], START_MOVES)
            self.assertGreaterEqual(len(pv), int(m.group(1)), m.group(0))
        # The search of one depth does not depend on the iterations before it.
        self.assertEqual(lines[-2], fixed)
        pv = infos[-1].group(5).split()
        self.assertEqual(best.group(0), "bestmove %s ponder %s" % (pv[0], pv[1]))
        self.assertEqual(self.end(eng), [])

    def test_mate_in_one(self):
        eng = self.start()
        # "go" alone has no limit but ends by itself at the first mate score.
        infos, best = self.parse_search(eng.search("position fen " + MATE_IN_ONE, "go"))
        self.assertEqual(infos[-1].group(2, 3, 5), ("mate", "1", "a1a8 "))
        self.assertEqual(best.group(0), "bestmove a1a8")
        self.assertEqual(self.end(eng), [])

    def test_no_legal_move(self):
        eng = self.start()
        for pos in ("fen %s moves a1a8" % MATE_IN_ONE, "fen k7/8/1Q6/8/8/8/8/7K b - - 0 1"):
            for go in ("go", "go depth 3", "go depth 0", "go wtime 5000 btime 5000"):
                with self.subTest(pos=pos, go=go):
                    self.assertEqual(eng.search("position " + pos, go, timeout=5)[-1], "bestmove (none)")
        self.assertEqual(self.end(eng), [])

    def test_depth_zero_answers_first_legal_move(self):
        eng = self.start()
        # The only capture comes first: exd5.
        self.assertEqual(eng.search("position startpos moves e2e4 d7d5", "go depth 0", timeout=2),
                         ["bestmove e4d5"])
        lines = eng.search("position startpos", "go depth 0", timeout=2)
        self.assertEqual(len(lines), 1)
        self.assertIn(self.parse_search(lines)[1].group(1), START_MOVES)
        self.assertNotIn("ponder", lines[0])
        self.assertEqual(self.end(eng), [])


class Clock(SearchCase):
    def idle(self, eng, position):
        # The clock runs from the moment "go" is read: the engine must be waiting for it.
        eng.send(position, "isready")
        eng.read_until("^readyok$")

    def test_movetime(self):
        eng = self.start()
        # Whole seconds from one second on; the budget itself below.
        for go, low, high in (("go movetime 1500", 0.95, 3.0), ("go movetime 500", 0.48, 1.5)):
            with self.subTest(go):
                self.idle(eng, "position startpos")
                elapsed, best, infos = self.timed(eng, go)
                self.assertTrue(low <= elapsed < high, "answered after %.2f s" % elapsed)
                self.assertEqual(best.group(1), infos[-1].group(5).split()[0], "the last completed depth")
        self.assertEqual(self.end(eng), [])

    def test_side_clock_keeps_a_margin(self):
        # One second on the clock of the side to move: the answer comes before it runs
        # out. Without the margin the clock would stop at 1 s, so no attempt could beat
        # it; a loaded machine only adds delay, hence the best of three attempts.
        eng = self.start()
        for pos, go in (("position startpos", "go wtime 1000 btime 100000 movestogo 1"),
                        ("position startpos moves e2e4", "go wtime 100000 btime 1000 movestogo 1")):
            with self.subTest(go):
                times = []
                while len(times) < 3 and (not times or times[-1] >= 1.0):
                    self.idle(eng, pos)
                    times.append(self.timed(eng, go)[0])
                self.assertTrue(0.85 <= min(times) < 1.0, "answered after %s s" % times)
        self.assertEqual(self.end(eng), [])


class StopAndPonder(SearchCase):
    def test_infinite_until_stop(self):
        eng = self.start()
        eng.send("go infinite")
        self.assertNoBestmove(eng, 1.0)
        elapsed, best, _ = self.timed(eng, "stop", timeout=3)
        self.assertLess(elapsed, 1.0)
        self.assertIn(best.group(1), START_MOVES)
        self.assertQuiet(eng)
        self.assertEqual(self.end(eng), [])

    def test_ponder_then_stop(self):
        eng = self.start()
        # The clock times of a pondering "go" arm no clock.
        eng.send("position startpos moves e2e4 e7e5", "go ponder wtime 1000 btime 1000")
        self.assertNoBestmove(eng, 1.2)
        self.assertLess(self.timed(eng, "stop", timeout=3)[0], 1.0)
        self.assertEqual(self.end(eng), [])

    def test_ponderhit_takes_the_last_budget(self):
        eng = self.start()
        # 15000 / 30 = 500 ms: the budget that ponderhit reuses. The pondering "go"
        # computes none, though its 60000 would give 2000 ms.
        self.assertLess(self.timed(eng, "go wtime 15000 btime 15000")[0], 2.0)
        eng.send("position startpos moves e2e4 e7e5", "go ponder wtime 60000 btime 60000")
        self.assertNoBestmove(eng, 0.8)
        elapsed = self.timed(eng, "ponderhit", timeout=5)[0]
        self.assertTrue(0.48 <= elapsed < 1.5, "answered %.2f s after ponderhit" % elapsed)
        self.assertQuiet(eng)
        self.assertEqual(self.end(eng), [])

    def test_isready_waits_for_bestmove(self):
        eng = self.running()
        eng.send("isready", "isready")
        self.assertNoBestmove(eng, 0.7)
        eng.send("stop")
        lines = eng.read_until("^readyok$", timeout=3)
        self.assertRegex(lines[-2], "^bestmove ")
        self.assertQuiet(eng)  # one answer owed, not a count
        self.assertEqual(self.end(eng), [])

    def test_go_while_searching_is_absorbed(self):
        eng = self.running()
        eng.send("go depth 1")
        self.assertNoBestmove(eng, 0.6)
        eng.search("stop", timeout=3)
        self.assertQuiet(eng)
        self.assertEqual(self.end(eng), [])

    def test_end_during_search(self):
        for quit in (True, False):
            with self.subTest(quit=quit):
                eng = self.running()
                t0 = time.monotonic()
                tail = self.end(eng, quit=quit)
                self.assertLess(time.monotonic() - t0, 3.0)
                self.assertIn(self.parse_search(tail)[1].group(1), START_MOVES)


class CommandsDuringSearch(SearchCase):
    def test_position_and_setoption_stop_the_search(self):
        eng = self.running()
        lines = eng.search("position fen " + ONE_MOVE_FEN, timeout=3)
        self.assertIn(self.parse_search(lines)[1].group(1), START_MOVES)
        # The new position is in place for the next search.
        self.assertEqual(eng.search("go depth 1")[-1].split()[1], ONE_MOVE)
        eng.send("position startpos", "go infinite")
        eng.read_until("^info depth 1 ")
        lines = eng.search("setoption name Pawn value 120", timeout=3)
        self.assertIn(self.parse_search(lines)[1].group(1), START_MOVES)
        eng.send("uci")
        self.assertIn("option name Pawn type spin default 120 min 0 max 1000", eng.read_until("^uciok$"))
        self.assertEqual(self.end(eng), [])

    def test_lines_stay_whole(self):
        # The uci replies printed by the input thread must not cut search lines.
        eng = self.running()
        eng.send(*["uci"] * 20, "stop", "isready")
        lines = eng.read_until("^readyok$", timeout=5)
        for line in lines:
            self.assertTrue(line in UCI_REPLY or line == "readyok" or BUILD_LINE.match(line)
                            or INFO_LINE.match(line) or BESTMOVE_LINE.match(line), "broken line %r" % line)
        self.assertEqual(lines.count("uciok"), 20)
        self.assertEqual(sum(x.startswith("bestmove") for x in lines), 1)
        self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
