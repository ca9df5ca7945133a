"""Timed games through run_games.py: against Stockfish at 2 s + 0.1 s, and
(SOLVANE_SOAK=1 only) self-play at 40 moves in 20 s. Skipped without
Stockfish. Real clocks: run this alone, not beside other CPU-heavy tests."""

import os
import shlex
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import run_games  # noqa: E402

ENGINE = os.environ.get("SOLVANE_BIN") or os.path.join(os.path.dirname(__file__), "..", "..", "build", "release",
                                                       "solvane")
NO_FAULTS = dict.fromkeys(run_games.FAULTS, 0)
# An engine that answers every "go" with a move that is never legal.
CHEAT = "import sys\nfor l in sys.stdin:\n    r = {'isready': 'readyok', 'go': 'bestmove a1a1'}.get(l.split()[0])\n" \
        "    print(r or '', flush=True)\n    if l.startswith('quit'): break\n"


@unittest.skipIf(run_games.find_stockfish() is None, "stockfish is not installed (apt-get install stockfish)")
class Games(unittest.TestCase):
    def test_four_games_against_stockfish_at_2_plus_0_1(self):
        with tempfile.TemporaryDirectory() as tmp:
            pgn = os.path.join(tmp, "games.pgn")
            match = run_games.run(["--engine", ENGINE, "--games", "4", "--tc", "2+0.1", "--max-plies", "160",
                                   "--seed", "7", "--pgn", pgn])
            with open(pgn) as f:
                text = f.read()
        print("\n" + match.summary(), file=sys.stderr)
        self.assertEqual(match.ours, NO_FAULTS, match.summary())
        self.assertEqual(sum(match.score.values()), 4)
        self.assertEqual((text.count("[Result "), text.count('[White "Solvane"]')), (4, 2), "colours alternate")
        for g in match.games:
            self.assertGreater(len(g["moves"]), 10, g["reason"])

    def test_an_illegal_move_is_caught(self):
        match = run_games.run(["--engine", "%s -c %s" % (sys.executable, shlex.quote(CHEAT)), "--games", "1"])
        self.assertEqual(match.ours, dict(NO_FAULTS, illegal=1), match.games[0]["reason"])
        self.assertEqual(match.score["L"], 1)

    @unittest.skipUnless(os.environ.get("SOLVANE_SOAK"), "soak only: set SOLVANE_SOAK=1 (make soak)")
    def test_self_play_40_moves_in_20_s(self):
        # movestogo counts down to 1 and the clock is refilled, which short games never reach.
        match = run_games.run(["--engine", ENGINE, "--opponent", "self", "--games", "4", "--tc", "20",
                               "--moves-per-tc", "40", "--max-plies", "300", "--seed", "3"])
        print("\n" + match.summary(), file=sys.stderr)
        self.assertEqual(match.ours, NO_FAULTS, match.summary())


if __name__ == "__main__":
    unittest.main()
