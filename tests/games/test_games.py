# SPDX-License-Identifier: GPL-3.0-or-later
"""Timed games through run_games.py at 2 s + 0.1 s, refereed by Stockfish:
against it, and the lowest strength level against full strength; skipped
without Stockfish. Real clocks: run this alone, not beside other CPU-heavy tests."""

import os
import shlex
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import run_games  # noqa: E402

NO_FAULTS = dict.fromkeys(run_games.FAULTS, 0)
# An engine that plays the moves of a script, then a move that is never legal.
CHEAT = ("import sys\nline = %r.split()\nn = 0\nfor l in sys.stdin:\n    w = l.split() or ['']\n"
         "    n = len(w) - 3 if w[0] == 'position' else n\n"
         "    r = {'isready': 'readyok', 'go': 'bestmove ' + (line[n] if 0 <= n < len(line) else 'a1a1')}.get(w[0])\n"
         "    print(r or '', flush=True)\n    if l.startswith('quit'): break\n")
# After the first opening line, White's h-pawn promotes on h8 at ply 17.
TO_PROMOTION = "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 h2h4 a8b8 h4h5 b8a8 h5h6 a8b8 h6g7 b8a8 g7h8"


@unittest.skipIf(run_games.STOCKFISH is None, "stockfish is not installed (apt-get install stockfish)")
class Games(unittest.TestCase):
    def test_four_games_against_stockfish_at_2_plus_0_1(self):
        match = run_games.run(["--games", "4", "--tc", "2+0.1", "--max-plies", "160", "--opening", "7"])
        print("\n" + match.summary(), file=sys.stderr)
        self.assertEqual(match.ours, NO_FAULTS, match.summary())
        self.assertEqual([g["white"] for g in match.games], ["Solvane", "Stockfish"] * 2, "colours alternate")
        for g in match.games:
            self.assertGreater(len(g["moves"]), 10, g["reason"])

    def test_the_lowest_level_loses_to_full_strength(self):
        match = run_games.run(["--opponent", "self", "--option", "UCI_LimitStrength=true", "--option", "UCI_Elo=800",
                               "--name", "Solvane 800", "--opponent-name", "Solvane", "--games", "2", "--tc", "2+0.1",
                               "--max-plies", "200", "--opening", "3"])
        print("\n" + match.summary(), file=sys.stderr)
        self.assertEqual(match.ours, NO_FAULTS, match.summary())
        self.assertEqual((match.score["W"], match.score["L"] >= 1), (0, True), match.summary())

    def test_an_illegal_move_is_caught(self):
        # The script ends on a move that is never legal; a promotion is legal
        # only in the protocol's lower case.
        for script, plies, score in (("", 8, "L"), (TO_PROMOTION + "Q", 16, "L"), (TO_PROMOTION + "q", 17, "W")):
            engine = "%s -c %s" % (sys.executable, shlex.quote(CHEAT % script))
            match = run_games.run(["--engine", engine, "--opponent", "self", "--games", "1"])
            game = match.games[0]
            self.assertEqual((match.ours, match.score[score], len(game["moves"])),
                             (dict(NO_FAULTS, illegal=1), 1, plies), game["reason"])


if __name__ == "__main__":
    unittest.main()
