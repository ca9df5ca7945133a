"""The command protocol: identification, options, isready and the input reader."""

import re
import unittest

from engine import ONE_MOVE, ONE_MOVE_FEN, EngineCase

UCI_REPLY = [
    "id name Solvane 1.8.5",
    "id author Vesquin",
    "option name Pawn type spin default 100 min 0 max 1000",
    "option name Knight type spin default 300 min 0 max 1000",
    "option name Bishop type spin default 300 min 0 max 1000",
    "option name Rook type spin default 500 min 0 max 1000",
    "option name Queen type spin default 900 min 0 max 2000",
    "option name Mobility type spin default 1 min -9 max 9",
    "option name Draw type spin default 200 min -900 max 900",
    "option name Promote_in_uppercase type check default true",
    None,  # the build check box, matched by BUILD_LINE
    "uciok",
]
BUILD_LINE = re.compile(r"^option name Solvane 1\.8\.5 compile le \w{3} [ \d]\d \d{4} \d\d:\d\d:\d\d"
                        r" type check default false$")


class UciReply(EngineCase):
    def test_reply_shows_current_option_values(self):
        eng = self.start()
        expected = list(UCI_REPLY)
        for setoption in ("", "setoption name pawn value 120", "setoption name MOBILITY value -3",
                          "setoption name Draw value 0", "setoption name Promote_in_uppercase value false"):
            if setoption:
                eng.send(setoption)
                name, value = setoption.split()[2], setoption.split()[4]
                i = {"pawn": 2, "MOBILITY": 7, "Draw": 8}.get(name)
                if i:
                    expected[i] = re.sub(r"default -?\d+", "default " + value, expected[i])
            eng.send("uci")
            lines = eng.read_until("^uciok$")
            self.assertEqual(len(lines), 12, lines)
            self.assertRegex(lines[10], BUILD_LINE)
            self.assertEqual(lines[:10] + lines[11:], expected[:10] + expected[11:])
        self.assertEqual(self.end(eng), [])


class Reader(EngineCase):
    def test_silent_words(self):
        # None of these may print anything or end the engine; "debug" takes one word.
        eng = self.start()
        eng.send("", "foo", "Quit", "QUIT", "Uci", "Isready", "debug isready", "debug", "stop", "   ", "uci2",
                 "quitx", "z" * 1000, "y" * 300 + " isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        self.assertQuiet(eng)
        self.assertIsNone(eng.proc.poll(), "the engine ended")
        self.assertEqual(self.end(eng), [])

    def test_crlf_line_ends(self):
        eng = self.start()
        eng.send("uci", "isready", eol="\r\n")
        self.assertEqual(len(eng.read_until("^readyok$")), 13)
        # The carriage return must not stick to the last move or FEN field.
        eng.send("position fen k7/8/8/8/8/8/2q5/K7 b - - 0 1 moves c2b2", "go depth 1", eol="\r\n")
        self.assertEqual(eng.read_until("^bestmove")[-1].split()[:2], ["bestmove", ONE_MOVE])
        self.assertEqual(self.end(eng), [])

    def test_quit_and_end_of_input(self):
        for last in ("isready quit", "isready\nquit with more words", "isready\n", "isready"):
            with self.subTest(last):
                eng = self.start()
                eng.send_raw(last)
                self.assertEqual(self.end(eng, quit=False), ["readyok"])
        # A search requested at the very end still answers.
        eng = self.start()
        eng.send_raw("position fen %s\ngo depth 1" % ONE_MOVE_FEN)
        self.assertEqual(self.end(eng, quit=False), ["bestmove " + ONE_MOVE])


if __name__ == "__main__":
    unittest.main()
