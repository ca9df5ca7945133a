# SPDX-License-Identifier: GPL-3.0-or-later
"""The input reader, the end of the engine, and the board it describes."""

import pathlib
import re
import subprocess
import unittest

from engine import ONE_MOVE, ONE_MOVE_FEN, STOCKFISH, Engine, EngineCase

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


class Reader(EngineCase):
    def test_crlf_line_ends(self):
        eng = self.start()
        eng.send("uci", "isready", eol="\r\n")
        self.assertEqual(eng.read_until("^readyok$")[-2:], ["uciok", "readyok"])
        # The carriage return must not stick to the last move or FEN field; a
        # promotion is written in the protocol's lower case.
        eng.send("position fen k7/4P3/8/8/8/8/8/1K6 b - - 0 1 moves a8b7", "go depth 1", eol="\r\n")
        self.assertEqual(eng.read_until("^bestmove")[-1].split()[:2], ["bestmove", "e7e8q"])
        self.assertEqual(self.end(eng), [])

    def test_quit_and_end_of_input(self):
        # The last line may lack its line end; a search requested at the very end still answers.
        for last, printed in (("isready quit", "readyok"), ("isready\nquit with more words", "readyok"),
                              ("isready\n", "readyok"), ("isready", "readyok"),
                              ("position fen %s\ngo depth 1" % ONE_MOVE_FEN, "bestmove " + ONE_MOVE)):
            with self.subTest(last):
                eng = self.start()
                eng.send(last, eol="")
                self.assertEqual(self.end(eng, quit=False), [printed])


class Options(EngineCase):
    def test_readme_lists_what_uci_announces(self):
        # Name, type, default and range, in order (a button has neither); the build stamp's date and time vary.
        eng = Engine()  # at its start-up values, whatever thread count the other tests use
        self.addCleanup(eng.kill)
        eng.send("uci")
        announced = []
        for line in eng.read_until("^uciok$"):
            if line.startswith("option "):
                m = re.match(r"option name (.+?) type (\w+)(?: default (\S+))?(?: min (-?\d+) max (-?\d+))?$", line)
                self.assertIsNotNone(m, line)
                name = re.sub(r" compile le .+", " compile le <date> <time>", m[1])
                announced.append((name, m[2], m[3] or "", "%s–%s" % (m[4], m[5]) if m[4] else ""))
        section = README.read_text().split("\n## Options\n")[1].split("\n## ")[0]
        rows = [[cell.strip().strip("`").replace("−", "-") for cell in line.split("|")[1:5]]
                for line in section.split("\n") if line.startswith("| `")]
        self.assertEqual([tuple(row) for row in rows], announced)


@unittest.skipIf(STOCKFISH is None, "stockfish is not installed (apt-get install stockfish)")
class Board(EngineCase):
    def test_fen_agrees_with_stockfish(self):
        # Placement, side to move and castling rights after moves of every kind, in Chess960 too.
        for chess960, position in ((False, "startpos moves e2e4 c7c5 g1f3 d7d6 f1b5 c8d7 e1g1 d7b5"),
                                   (False, "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1 "
                                           "moves e1c1 h3g2 d5e6 g2h1q"),
                                   (False, "startpos moves a2a4 b7b5 a4b5 a7a6 b5a6 c8b7 a6b7 e7e6 b7a8n"),
                                   (False, "fen 4k2r/8/8/8/8/8/8/R3K3 b Qk - 5 40 moves h8h1 e1d2"),
                                   (True, "fen rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w KQkq - 0 1 moves b1e1 a7a5 "
                                          "a2a4 a8a7 g1h1"),
                                   (True, "fen 1r4kr/pppppppp/8/8/8/8/PPPPPPP1/RK5R w HAhb - 0 1 moves h1h2 b8a8")):
            option = "setoption name UCI_Chess960 value %s" % str(chess960).lower()
            eng = self.start()
            eng.send(option, "position " + position, "d")
            ours = eng.read_until("^Fen: ")[-1].split()[1:4]
            self.assertEqual(self.end(eng), ["Side to move: " + ("white" if ours[1] == "w" else "black")])
            theirs = subprocess.run([STOCKFISH], input="%s\nposition %s\nd\nquit\n" % (option, position),
                                    capture_output=True, text=True, timeout=30).stdout
            self.assertEqual(ours, next(x for x in theirs.split("\n") if x.startswith("Fen: ")).split()[1:4], position)


if __name__ == "__main__":
    unittest.main()
