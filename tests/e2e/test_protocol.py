"""The command protocol: identification, options, isready, the input reader and
the refusal of bad positions and moves."""

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
    def check_reply(self, lines, expected):
        self.assertEqual(len(lines), 12, lines)
        for got, want in zip(lines, expected):
            if want is None:
                self.assertRegex(got, BUILD_LINE)
            else:
                self.assertEqual(got, want)

    def test_reply_and_option_defaults(self):
        eng = self.start()
        eng.send("uci")
        self.check_reply(eng.read_until("^uciok$"), UCI_REPLY)
        # Each spin option announces its current value; names ignore case.
        eng.send("setoption name pawn value 120", "setoption name MOBILITY value -3",
                 "setoption name Draw value 0", "setoption name Promote_in_uppercase value false", "uci")
        expected = list(UCI_REPLY)
        expected[2] = expected[2].replace("default 100", "default 120")
        expected[7] = expected[7].replace("default 1 ", "default -3 ")
        expected[8] = expected[8].replace("default 200", "default 0")
        self.check_reply(eng.read_until("^uciok$"), expected)
        self.assertEqual(self.end(eng), [])

    def test_isready(self):
        eng = self.start()
        eng.send("isready")
        self.assertEqual(eng.read_until("readyok", timeout=2), ["readyok"])
        self.assertEqual(self.end(eng), [])


class Reader(EngineCase):
    def test_silent_words(self):
        # None of these may print anything or end the engine.
        eng = self.start()
        eng.send("", "foo", "Quit", "QUIT", "Uci", "Isready", "debug on", "debug off", "debug", "stop",
                 "   ", "uci2", "go2", "x" * 300, "quitx", "setoption name Nothing value 5")
        eng.send("isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        self.assertQuiet(eng)
        self.assertIsNone(eng.proc.poll(), "the engine ended")
        self.assertEqual(self.end(eng), [])

    def test_long_words_are_read_to_their_end(self):
        eng = self.start()
        # A long word followed by a command on the same line and on the next one.
        eng.send("y" * 300 + " isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        eng.send("z" * 1000, "isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        self.assertEqual(self.end(eng), [])

    def test_crlf_line_ends(self):
        eng = self.start()
        eng.send("uci", eol="\r\n")
        self.assertEqual(len(eng.read_until("^uciok$")), 12)
        eng.send("isready", eol="\r\n")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        # The carriage return must not stick to the last move or FEN field.
        eng.send("position fen k7/8/8/8/8/8/2q5/K7 b - - 0 1 moves c2b2", "go depth 1", eol="\r\n")
        lines = eng.read_until("^bestmove")
        self.assertEqual(lines[-1].split()[:2], ["bestmove", ONE_MOVE])
        self.assertFalse([x for x in lines if x.startswith("info string")], lines)
        self.assertEqual(self.end(eng), [])

    def test_quit_and_end_of_input_exit_cleanly(self):
        for how in ("quit", "quit with more words", "end of input"):
            with self.subTest(how):
                eng = self.start()
                eng.send("isready")
                eng.read_until("readyok", timeout=5)
                if how != "end of input":
                    eng.send(how)
                self.assertEqual(self.end(eng, quit=False), [])

    def test_last_line_without_line_feed(self):
        # The last word is dispatched, then the end of input acts as quit.
        eng = self.start()
        eng.send_raw("isready")
        self.assertEqual(self.end(eng, quit=False), ["readyok"])
        # A search requested at the very end still answers; only one move is legal.
        eng = self.start()
        eng.send_raw("position fen %s\ngo depth 1" % ONE_MOVE_FEN)
        self.assertEqual(self.end(eng, quit=False), ["bestmove " + ONE_MOVE])


BAD_FENS = [
    ("bad character", "rnbqkbnr/pppppppp/8/8/4x3/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("digit 9", "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("digit 0", "rnbqkbnr/pppppppp/08/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("rank of 9 squares", "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("rank of 9 with digits", "rnbqkbnr/pppppppp/8/4P4/8/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1"),
    ("rank of 7 squares", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1"),
    ("empty rank", "rnbqkbnr/pppppppp//8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("7 ranks", "rnbqkbnr/pppppppp/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("9 ranks", "rnbqkbnr/pppppppp/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("no white king", "k7/8/8/8/8/8/8/8 w - - 0 1"),
    ("no black king", "8/8/8/8/8/8/8/K7 b - - 0 1"),
    ("two black kings", "k6k/8/8/8/8/8/8/K7 w - - 0 1"),
    ("two white kings", "k7/8/8/8/8/8/8/K6K w - - 0 1"),
    ("side not to move in check", "k7/8/8/8/8/8/8/R6K w - - 0 1"),
    ("black not to move, in check by a pawn", "8/8/8/8/8/8/3k4/4P2K w - - 0 1"),
    ("white not to move in check", "k7/8/8/8/8/8/8/r6K b - - 0 1"),
    ("bad FEN with moves after it", "k7/8/8/8/8/8/8/8 w - - 0 1 moves a8b8"),
]

# Black to move plays c2b2; White is then left with a1b2 only. The bad token follows.
BAD_MOVES = [
    ("illegal king move into check", "a1a2"),
    ("no piece on the square", "e2e4"),
    ("move of the other side", "a8b8"),
    ("promotion letter on a king move", "a1b2q"),
    ("too short", "a1b"),
    ("too long", "a1b2b3"),
    ("off the board", "a1i9"),
    ("not a move", "xyzzy"),
]


class BadInput(EngineCase):
    def test_invalid_fen_refused_previous_position_kept(self):
        eng = self.start()
        eng.send("position fen " + ONE_MOVE_FEN)
        for name, fen in BAD_FENS:
            with self.subTest(name):
                eng.send("position fen " + fen, "isready")
                lines = eng.read_until("^readyok$")
                self.assertEqual(len(lines), 2, lines)
                self.assertTrue(lines[0].startswith("info string "), lines)
                # The refused command changed nothing: the one-move position is still set.
                self.assertEqual(eng.search("go depth 1")[-1].split()[:2], ["bestmove", ONE_MOVE])
        self.assertEqual(self.end(eng), [])

    def test_valid_fens_accepted(self):
        # Long but legal placements: eight characters on every rank (71 in all).
        eng = self.start()
        for fen in ("r1b1k1n1/1p1p1p1p/p1p1p1p1/8/8/P1P1P1P1/1P1P1P1P/R1B1K1N1 w - - 0 1",
                    "k7/8/8/8/8/8/8/K7 b - - 0 1",
                    "4k3/8/8/8/8/8/8/4K2R w K -"):
            with self.subTest(fen):
                lines = eng.search("position fen " + fen, "go depth 1")
                self.assertFalse([x for x in lines if x.startswith("info string")], lines)
                self.assertNotEqual(lines[-1], "bestmove (none)")
        self.assertEqual(self.end(eng), [])

    def test_bad_move_token_ends_move_list(self):
        eng = self.start()
        for name, token in BAD_MOVES:
            with self.subTest(name):
                eng.send("position startpos",
                         "position fen k7/8/8/8/8/8/2q5/K7 b - - 0 1 moves c2b2 %s b2c2" % token)
                lines = eng.search("go depth 1")
                notes = [x for x in lines if x.startswith("info string ")]
                self.assertEqual(len(notes), 1, lines)
                self.assertRegex(notes[0], r"(?<!\w)%s(?!\w)" % re.escape(token))
                # c2b2 stands, nothing after the bad token is played.
                self.assertEqual(lines[-1].split()[:2], ["bestmove", ONE_MOVE])
        eng.send("isready")
        self.assertEqual(eng.read_until("readyok", timeout=5), ["readyok"])
        self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
