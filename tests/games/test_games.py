"""Timed games against Stockfish through run_games.py, plus checks that the
runner itself notices each kind of fault.

The engine binary comes from $SOLVANE_BIN (else build/release/solvane). Tests
are skipped when Stockfish is not installed (apt-get install stockfish).
Real clocks: run this alone, not beside other CPU-heavy tests.
"""

import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import run_games  # noqa: E402

STOCKFISH = run_games.find_stockfish()
ENGINE = os.environ.get("SOLVANE_BIN") or os.path.join(HERE, "..", "..", "build", "release", "solvane")
FAKE = "%s %s" % (sys.executable, os.path.join(HERE, "fake_engine.py"))
NO_STOCKFISH = "stockfish is not installed (apt-get install stockfish); timed games skipped"


def play(*argv):
    return run_games.run(["--quiet", *argv])


@unittest.skipIf(STOCKFISH is None, NO_STOCKFISH)
class GamesAgainstStockfish(unittest.TestCase):
    def test_four_games_at_2_plus_0_1(self):
        self.assertTrue(os.access(ENGINE, os.X_OK), "engine binary not found: %s (set SOLVANE_BIN)" % ENGINE)
        with tempfile.TemporaryDirectory() as tmp:
            pgn = os.path.join(tmp, "games.pgn")
            match = play("--engine", ENGINE, "--opponent", "stockfish", "--games", "4",
                         "--tc", "2+0.1", "--max-plies", "160", "--seed", "7", "--pgn", pgn)
            with open(pgn) as f:
                text = f.read()
        summary = match.summary()
        print("\n" + summary, file=sys.stderr)
        for g in match.games:
            print("  game %d: %s (%s)" % (g["round"], g["result"], g["reason"]), file=sys.stderr)
        self.assertEqual(len(match.games), 4, summary)
        self.assertEqual(match.ours, {"crashes": 0, "hangs": 0, "illegal": 0, "time_forfeits": 0}, summary)
        self.assertEqual(sum(match.score.values()), 4)
        self.assertEqual(text.count("[Result "), 4)
        self.assertEqual(text.count('[White "Solvane'), 2, "colours alternate")
        for g in match.games:
            self.assertIn(g["termination"], ("normal", "adjudication"), g["reason"])
            self.assertGreater(len(g["moves"]), 10, g["reason"])


@unittest.skipIf(STOCKFISH is None, NO_STOCKFISH)
class RunnerCatchesFaults(unittest.TestCase):
    """Scripted engines that break the rules: each fault must be counted."""

    def fake_match(self, mode, from_ply=0, tc="3+0", opponent="stockfish"):
        return play("--engine", "%s %s %d" % (FAKE, mode, from_ply), "--opponent", opponent,
                    "--games", "1", "--tc", tc, "--random-plies", "0")

    def assert_one(self, match, kind, termination):
        expected = {"crashes": 0, "hangs": 0, "illegal": 0, "time_forfeits": 0}
        expected[kind] = 1
        self.assertEqual(match.ours, expected, match.games[0]["reason"])
        self.assertEqual(match.score, {"W": 0, "D": 0, "L": 1})
        self.assertEqual(match.games[0]["termination"], termination)

    def test_illegal_move(self):
        self.assert_one(self.fake_match("illegal", 2), "illegal", "rules infraction")

    def test_bestmove_none_with_legal_moves(self):
        self.assert_one(self.fake_match("none"), "illegal", "rules infraction")

    def test_crash(self):
        match = self.fake_match("crash", 3)
        self.assert_one(match, "crashes", "abandoned")
        self.assertIn("exit 3", match.games[0]["reason"])

    def test_hang(self):
        self.assert_one(self.fake_match("hang", 0, tc="0.3+0"), "hangs", "abandoned")

    def test_time_forfeit(self):
        match = self.fake_match("slow", 2, tc="1+0")
        self.assert_one(match, "time_forfeits", "time forfeit")
        self.assertEqual(match.theirs["time_forfeits"], 0)

    def test_fail_on_fault_exit_code(self):
        argv = ["--quiet", "--engine", FAKE + " illegal", "--games", "1", "--tc", "3+0", "--random-plies", "0"]
        self.assertEqual(run_games.main(argv + ["--fail-on-fault"]), 1)
        self.assertEqual(run_games.main(argv), 0)

    def test_threefold_repetition(self):
        match = self.fake_match("shuffle", 0, opponent="self")
        g = match.games[0]
        self.assertEqual((g["result"], g["reason"], len(g["moves"])), ("1/2-1/2", "threefold repetition", 8))
        self.assertEqual(match.faults(), 0)

    def test_checkmate_and_san(self):
        match = self.fake_match("fool", 0, opponent="self")
        g = match.games[0]
        self.assertEqual((g["result"], g["reason"]), ("0-1", "Black mates"))
        self.assertEqual(g["sans"], ["f3", "e5", "g4", "Qh4#"])


@unittest.skipUnless(os.environ.get("SOLVANE_SOAK"), "soak only: set SOLVANE_SOAK=1 (make soak)")
@unittest.skipIf(STOCKFISH is None, NO_STOCKFISH)
class SelfPlaySoak(unittest.TestCase):
    """Self-play at 40 moves in 20 s, repeating: movestogo counts down to 1 and
    the clock is refilled, which short games never reach. Several minutes."""

    def test_self_play_40_moves_in_20_s(self):
        games = os.environ.get("SOLVANE_SOAK_GAMES", "4")
        match = play("--engine", ENGINE, "--opponent", "self", "--games", games, "--tc", "20",
                     "--moves-per-tc", "40", "--max-plies", "300", "--seed", "3")
        print("\n" + match.summary(), file=sys.stderr)
        self.assertEqual(match.faults(), 0, match.summary())
        self.assertEqual(len(match.games), int(games))


class PositionHelpers(unittest.TestCase):
    def test_insufficient_material(self):
        self.assertTrue(run_games.insufficient_material("8/8/4k3/8/8/3K4/8/8 w - - 0 1"))
        self.assertTrue(run_games.insufficient_material("8/8/4k3/8/8/3KN3/8/8 w - - 0 1"))
        self.assertTrue(run_games.insufficient_material("8/8/4kb2/8/8/3K4/8/8 b - - 0 1"))
        self.assertFalse(run_games.insufficient_material("8/8/4kb2/8/8/3KN3/8/8 w - - 0 1"))
        self.assertFalse(run_games.insufficient_material("8/8/4k3/8/8/3KNN2/8/8 w - - 0 1"))
        self.assertFalse(run_games.insufficient_material("8/8/4k3/8/8/3K4/4P3/8 w - - 0 1"))
        self.assertFalse(run_games.insufficient_material("8/8/4k3/8/8/3K4/8/7R w - - 0 1"))

    def test_repetition_key_ignores_clocks(self):
        a = run_games.repetition_key("4k3/8/8/8/8/8/8/4K2R w K - 3 40")
        self.assertEqual(a, run_games.repetition_key("4k3/8/8/8/8/8/8/4K2R w K - 7 42"))
        self.assertNotEqual(a, run_games.repetition_key("4k3/8/8/8/8/8/8/4K2R w - - 3 40"))
        self.assertNotEqual(a, run_games.repetition_key("4k3/8/8/8/8/8/8/4K2R b K - 3 40"))

    def test_san(self):
        fen = "r3k2r/8/8/8/8/8/3P4/R3K1NR w KQkq - 0 1"
        legal = ["a1b1", "a1c1", "a1d1", "e1c1", "e1d1", "g1f3", "g1e2", "h1h8", "d2d4"]
        self.assertEqual(run_games.san(fen, "e1c1", legal), "O-O-O")
        self.assertEqual(run_games.san(fen, "h1h8", legal), "Rxh8")
        self.assertEqual(run_games.san(fen, "g1f3", legal), "Nf3")
        self.assertEqual(run_games.san(fen, "d2d4", legal), "d4")
        twin = "4k3/8/8/8/8/8/8/R3K2R w - - 0 1"
        self.assertEqual(run_games.san(twin, "a1d1", ["a1d1", "h1d1"]), "Rad1")
        rooks = "R7/4k3/8/8/8/8/8/R3K3 w - - 0 1"
        self.assertEqual(run_games.san(rooks, "a1a4", ["a1a4", "a8a4"]), "R1a4")
        promo = "3r3k/2P5/8/8/8/8/8/4K3 w - - 0 1"
        self.assertEqual(run_games.san(promo, "c7d8n", ["c7d8n"]), "cxd8=N")


if __name__ == "__main__":
    unittest.main()
