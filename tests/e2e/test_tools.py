"""The command-line tools: perft, bench, --help, --version and their errors."""

import re
import unittest

from engine import INFO_LINE, START_MOVES, run_tool

KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
PROMOTING = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"
MOVE_COUNT = re.compile(r"^([a-h][1-8][a-h][1-8][QRBNqrbn]?): (\d+)$")


class Perft(unittest.TestCase):
    def perft(self, *args):
        status, out, err = run_tool("perft", *args)
        self.assertEqual((status, err), (0, ""))
        self.assertTrue(out.endswith("\n"))
        lines = out[:-1].split("\n")
        self.assertEqual(lines[-2], "", "an empty line before the total")
        total = re.fullmatch(r"Nodes searched: (\d+)", lines[-1])
        self.assertIsNotNone(total, lines[-1])
        counts = {}
        for line in lines[:-2]:
            m = MOVE_COUNT.match(line)
            self.assertIsNotNone(m, "malformed line %r" % line)
            self.assertNotIn(m.group(1), counts, "move listed twice")
            counts[m.group(1)] = int(m.group(2))
        self.assertEqual(sum(counts.values()), int(total.group(1)), "per-move counts add up to the total")
        return counts, int(total.group(1))

    def test_start_position(self):
        for depth, nodes in ((1, 20), (2, 400), (3, 8902)):
            with self.subTest(depth=depth):
                counts, total = self.perft(str(depth))
                self.assertEqual(total, nodes)
                self.assertEqual(set(counts), START_MOVES)
        # Black has twenty replies to every first move.
        counts, _ = self.perft("2")
        self.assertEqual(set(counts.values()), {20})

    def test_fen_positions(self):
        for fen, depth, nodes in ((KIWIPETE, 1, 48), (KIWIPETE, 2, 2039), (PROMOTING, 1, 44),
                                  ("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3, 2812)):
            with self.subTest(fen=fen, depth=depth):
                counts, total = self.perft(str(depth), fen)
                self.assertEqual(total, nodes)
        counts, _ = self.perft("1", KIWIPETE)
        self.assertTrue({"e1g1", "e1c1", "e2a6", "d5e6"} <= set(counts), "castling and captures listed")
        counts, _ = self.perft("1", PROMOTING)
        self.assertEqual({m for m in counts if len(m) == 5}, {"d7c8Q", "d7c8R", "d7c8B", "d7c8N"})


class Bench(unittest.TestCase):
    def test_bench_totals(self):
        status, out, err = run_tool("bench", "2")
        self.assertEqual((status, err), (0, ""))
        lines = out.rstrip("\n").split("\n")
        tail = [re.fullmatch(r"%s: (\d+)" % re.escape(name), line)
                for name, line in zip(("Total time (ms)", "Nodes searched", "Nodes/second"), lines[-3:])]
        self.assertTrue(all(tail), lines[-3:])
        infos = [INFO_LINE.match(line) for line in lines if line.startswith("info depth")]
        self.assertTrue(infos and all(infos))
        self.assertEqual({m.group(1) for m in infos}, {"1", "2"}, "depth 2 deepens from 1")
        self.assertEqual(int(tail[1].group(1)), sum(int(m.group(4)) for m in infos))
        self.assertGreaterEqual(sum(line.startswith("bestmove ") for line in lines), 2)

    def test_bench_signature(self):
        # The node total is fixed by the search's rules alone: any change to it
        # is a change of the engine's behaviour (the default depth's total is in
        # the README).
        status, out, err = run_tool("bench", "5", timeout=300)
        self.assertEqual((status, err), (0, ""))
        self.assertIn("\nNodes searched: 1451608\n", out)


class Options(unittest.TestCase):
    def test_help_and_version(self):
        status, out, err = run_tool("--help")
        self.assertEqual((status, err), (0, ""))
        self.assertRegex(out, r"(?m)^.*\bperft\b")
        self.assertRegex(out, r"(?m)^.*\bbench\b")
        self.assertEqual(run_tool("--version"), (0, "1.8.5\n", ""))

    def test_bad_arguments(self):
        cases = [("perft", "x"), ("perft", "0"), ("perft", "-1"), ("perft",), ("perft", "3x"),
                 ("perft", "3", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1"),
                 ("perft", "2", "k7/8/8/8/8/8/8/8 w - - 0 1"), ("perft", "2", "k7/8/8/8/8/8/8/R6K w - - 0 1"),
                 ("bench", "abc"), ("bench", "0"), ("--frobnicate",), ("perf", "2")]
        for args in cases:
            with self.subTest(args=args):
                status, out, err = run_tool(*args)
                self.assertEqual(status, 2)
                self.assertEqual(out, "")
                self.assertRegex(err, r"^[^\n]+\n$", "one line on standard error")


if __name__ == "__main__":
    unittest.main()
