# SPDX-License-Identifier: GPL-3.0-or-later
"""Limited strength (UCI_LimitStrength, UCI_Elo, Seed): a seed replays a game
move for move and another seed varies it, and every level obeys stop,
ponderhit and the clock."""

import time
import unittest

from engine import BESTMOVE_LINE, EngineCase

LEVELS = (800, 1200, 1500)


class Levels(EngineCase):
    def limited(self, elo, seed=0):
        eng = self.start()
        eng.send("setoption name UCI_LimitStrength value true", "setoption name UCI_Elo value %d" % elo,
                 "setoption name Seed value %d" % seed)
        return eng

    def game(self, elo, seed, plies=16):
        """The moves of a game the level plays against itself from the start."""
        eng, moves = self.limited(elo, seed), []
        for _ in range(plies):
            best = eng.search("position startpos moves " + " ".join(moves), "go wtime 60000 btime 60000")[-1]
            moves.append(best.split()[1])
        self.end(eng)
        return moves

    def test_a_seed_replays_a_game_and_another_seed_varies_it(self):
        first, again, other = self.game(800, 1), self.game(800, 1), self.game(800, 2)
        self.assertEqual(first, again)
        self.assertNotEqual(first, other)

    def test_every_level_obeys_stop_ponderhit_and_the_clock(self):
        for elo in LEVELS:
            with self.subTest(elo=elo):
                eng = self.limited(elo)
                # A search the level ends by itself still waits for "stop", or for "ponderhit".
                for go, end in (("go infinite", "stop"), ("go ponder wtime 3000 btime 3000", "ponderhit")):
                    eng.send("position startpos", go)
                    self.assertFalse([x for x in eng.silent(0.5) if x.startswith("bestmove")], go)
                    self.assertIsNotNone(BESTMOVE_LINE.match(eng.search(end, timeout=2)[-1]), end)
                # Within its clock: a second left, a tenth of it or so to spend.
                t0 = time.monotonic()
                eng.search("position startpos moves e2e4 e7e5", "go wtime 1000 btime 1000", timeout=2)
                self.assertLess(time.monotonic() - t0, 1.0)
                self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
