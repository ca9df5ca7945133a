# SPDX-License-Identifier: GPL-3.0-or-later
"""Searches in time: the clock, stop, ponder, and commands that arrive while a
search runs."""

import os
import re
import time
import unittest

from engine import BESTMOVE_LINE, INFO_LINE, ONE_MOVE, ONE_MOVE_FEN, START_MOVES, TIME_SCALE, EngineCase, run_tool


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
        """(seconds until bestmove, bestmove match, info matches)."""
        t0 = time.monotonic()
        infos, best = self.parse_search(eng.search(*commands, timeout=timeout))
        return time.monotonic() - t0, best, infos

    def idle(self, eng, *commands):
        # The clock runs from the moment "go" is read: the engine must be waiting for it.
        eng.send(*commands, "isready")
        eng.read_until("^readyok$")


class Clock(SearchCase):
    def test_movetime_and_move_overhead(self):
        # movetime in whole seconds from one second on (below, the budget itself);
        # then a whole-second budget of 1 s, cut to the side's clock less Move
        # Overhead (50 ms by default). A loaded machine only adds delay: the best of three.
        eng = self.start()
        for overhead, go, low, high in ((50, "go movetime 1500", 0.95, 3.0), (50, "go movetime 500", 0.48, 1.5),
                                        (50, "go wtime 1000 btime 100000 movestogo 1", 0.85, 1.0),
                                        (1000, "go wtime 1500 btime 100000 movestogo 1", 0.45, 0.8),
                                        (0, "go wtime 1500 btime 100000 movestogo 1", 0.95, 1.3)):
            times = []
            while len(times) < 3 and (not times or not low <= times[-1] < high * TIME_SCALE):
                self.idle(eng, "setoption name Move Overhead value %d" % overhead, "position startpos")
                elapsed, best, infos = self.timed(eng, go)
                times.append(elapsed)
                self.assertEqual(best.group(1), infos[-1].group(5).split()[0], "the last completed depth")
            self.assertTrue(low <= min(times) < high * TIME_SCALE,
                            "%s, overhead %d: answered after %s s" % (go, overhead, times))
        self.assertEqual(self.end(eng), [])


class StopAndPonder(SearchCase):
    def test_stop_and_ponderhit(self):
        eng = self.start()
        # 15000 / 30 = 500 ms: the budget that ponderhit reuses, and that neither
        # "go infinite" nor a pondering "go" arms (its 60000 would give 2000 ms).
        self.idle(eng, "position startpos")
        self.assertLess(self.timed(eng, "go wtime 15000 btime 15000")[0], 2.0 * TIME_SCALE)
        for go, end, low, high in (("go infinite", "stop", 0, 1.0),
                                   ("go ponder wtime 60000 btime 60000", "ponderhit", 0.48, 1.5),
                                   ("go ponder wtime 60000 btime 60000", "stop", 0, 1.0)):
            eng.send("position startpos", go)
            self.assertNoBestmove(eng, 1.2)
            elapsed, best, _ = self.timed(eng, end, timeout=5)
            self.assertTrue(low <= elapsed < high * TIME_SCALE, "%s: answered %.2f s after %s" % (go, elapsed, end))
            self.assertIn(best.group(1), START_MOVES)
            self.assertQuiet(eng)
        self.assertEqual(self.end(eng), [])

    def test_end_during_search(self):
        for quit in (True, False):
            with self.subTest(quit=quit):
                eng = self.running()
                t0 = time.monotonic()
                tail = self.end(eng, quit=quit)
                self.assertLess(time.monotonic() - t0, 3.0 * TIME_SCALE)
                self.assertIn(self.parse_search(tail)[1].group(1), START_MOVES)


START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
E4_FEN = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"
# A match runner's check of a new engine, step by step: (commands, what they
# answer, the position searched). A 100 ms clock gives a budget of a few
# milliseconds, which may run out before the search has begun.
COMPLIANCE = (
    (["isready"], "readyok", None),
    (["uci"], "uciok", None),
    (["ucinewgame", "position startpos", "isready"], "readyok", None),
    (["position fen 3r2k1/p5n1/1pq1p2p/2p3p1/2P1P1n1/1P1P2pP/PN1Q2K1/5R2 w - - 0 27", "isready"], "readyok", None),
    (["go wtime 100"], "bestmove", "3r2k1/p5n1/1pq1p2p/2p3p1/2P1P1n1/1P1P2pP/PN1Q2K1/5R2 w - - 0 27"),
    (["position fen " + E4_FEN, "go btime 100"], "bestmove", E4_FEN),
    (["go wtime 100 winc 100 btime 100 binc 100"], "bestmove", E4_FEN),
    (["go btime 100 binc 100 wtime 100 winc 100"], "bestmove", E4_FEN),
    (["ucinewgame", "position startpos", "go wtime 100 btime 100"], "bestmove", START_FEN),
    (["position startpos moves e2e4 e7e5", "go wtime 100 btime 100"], "bestmove",
     "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2"),
)
COMPLIANCE_RUNS = int(os.environ.get("SOLVANE_COMPLIANCE_RUNS", "50"))


class Compliance(SearchCase):
    def test_a_runners_check_passes_every_time(self):
        # Every timed "go" answers with at least its depth-1 move, after its info line.
        legal = {fen: [x.split(":")[0] for x in run_tool("perft", "1", fen)[1].split("\n") if x.endswith(": 1")]
                 for _, _, fen in COMPLIANCE if fen}
        for run in range(COMPLIANCE_RUNS):
            eng = self.start()
            for commands, answer, fen in COMPLIANCE:
                eng.send(*commands)
                lines = eng.read_until(r"^%s\b" % answer, timeout=5)
                if answer == "uciok":
                    self.assertEqual([x.split()[:2] for x in lines[:2]], [["id", "name"], ["id", "author"]])
                if fen:
                    infos, best = self.parse_search(lines)
                    self.assertTrue(infos, "run %d, %s: no info line before %r" % (run, commands[-1], lines[-1]))
                    self.assertEqual(best.group(1), infos[-1].group(5).split()[0])
                    self.assertIn(best.group(1), legal[fen])
            self.assertEqual(self.end(eng), [])


class CommandsDuringSearch(SearchCase):
    def test_position_and_setoption_stop_the_search(self):
        eng = self.running()
        lines = eng.search("position fen " + ONE_MOVE_FEN, timeout=3)
        self.assertIn(self.parse_search(lines)[1].group(1), START_MOVES)
        self.assertEqual(eng.search("go depth 1")[-1].split()[1], ONE_MOVE, "the new position is in place")
        eng.send("position startpos", "go infinite")
        eng.read_until("^info depth 1 ")
        lines = eng.search("setoption name Pawn value 120", timeout=3)
        self.assertIn(self.parse_search(lines)[1].group(1), START_MOVES)
        eng.send("uci")
        self.assertIn("option name Pawn type spin default 120 min 0 max 1000", eng.read_until("^uciok$"))
        self.assertEqual(self.end(eng), [])

    def test_isready_go_d_and_uci_during_search(self):
        # "isready" waits for the bestmove; "go" starts no second search; "d" shows
        # the game; the replies printed by the input thread must not cut search lines.
        eng = self.running()
        eng.send(*["uci", "d"] * 10, "isready", "go depth 1", "isready")
        lines = eng.silent(0.7)
        self.assertFalse([x for x in lines if x.startswith("bestmove") or x == "readyok"])
        eng.send("stop")
        lines += eng.read_until("^readyok$", timeout=5)
        self.assertRegex(lines[-2], "^bestmove ")
        whole = re.compile(r"^(id (name|author) \S.*|option name \S.*|uciok|readyok||[1-8] ([.a-zA-Z] ){8}|"
                           r"  a b c d e f g h|Fen: \S.*|Side to move: white)$")
        for line in lines:
            self.assertTrue(whole.match(line) or INFO_LINE.match(line) or BESTMOVE_LINE.match(line),
                            "broken line %r" % line)
        self.assertEqual((lines.count("uciok"), lines.count("Fen: " + "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"
                                                                    " KQkq - 0 1")), (10, 10))
        self.assertQuiet(eng)  # one answer owed, not a count, and no second search
        self.assertEqual(self.end(eng), [])


# 1983 moves: the record's capacity. Knights out and back, then one more out.
LONG_GAME = "position startpos moves " + " ".join(["g1f3 g8f6 f3g1 f6g8"] * 495) + " g1f3 g8f6 f3g1"


class WorstMoments(SearchCase):
    """Commands an interface may send at the worst moment: each leaves an
    engine that answers, or one that ends at once when it is told to."""

    def test_commands_at_the_worst_moment(self):
        cases = [  # (threads, started, the command at the worst moment, what must follow)
            (1, ["go perft 7"], "quit", "ends"),
            (4, ["go infinite"], "setoption name Threads value 1", "answers"),
            (2, ["go infinite"], LONG_GAME, "answers"),
        ]
        # Under Node a closed pipe shows only at the next write: the native engine
        # polls for it, and it is the one interfaces start.
        if "SOLVANE_WASM_JS" not in os.environ:
            cases.append((2, ["go infinite"], None, "ends when its output is closed"))
        for threads, started, worst, then in cases:
            with self.subTest(started=started, worst=(worst or "")[:40], then=then):
                eng = self.start()
                eng.send("setoption name Threads value %d" % threads, *started)
                if started != ["go perft 7"]:
                    eng.read_until("^info depth 2 ")
                else:
                    time.sleep(0.3)
                if then == "ends":
                    eng.send(worst)
                    self.assertEqual(self.end(eng, quit=False), [], "a count given up prints nothing")
                elif then == "answers":
                    self.assertRegex(eng.search(worst, timeout=5)[-1], "^bestmove ")
                    self.assertRegex(eng.search("go depth 2", timeout=5)[-1], "^bestmove ")
                    self.assertEqual(self.end(eng), [])
                else:
                    eng.proc.stdout.close()
                    t0 = time.monotonic()
                    eng.proc.wait(timeout=5)
                    self.assertLess(time.monotonic() - t0, 2.0 * TIME_SCALE)


if __name__ == "__main__":
    unittest.main()
