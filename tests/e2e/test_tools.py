"""The command-line tools: perft, bench, --help, --version and their errors."""

import re
import unittest

from engine import INFO_LINE, run_tool

KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
PROMOTING = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"


class Perft(unittest.TestCase):
    def perft(self, *args):
        status, out, err = run_tool("perft", *args)
        self.assertEqual((status, err), (0, ""))
        moves, tail = out.split("\n\n")
        counts = [re.fullmatch(r"([a-h][1-8][a-h][1-8][QRBN]?): (\d+)", line).groups() for line in moves.split("\n")]
        self.assertEqual(tail, "Nodes searched: %d\n" % sum(int(n) for _, n in counts), "the counts add up")
        return [m for m, _ in counts], int(tail.split()[2])

    def test_divided_counts(self):
        self.assertEqual(self.perft("3")[1], 8902)
        moves, total = self.perft("1", PROMOTING)
        self.assertEqual((total, {m for m in moves if len(m) == 5}), (44, {"d7c8Q", "d7c8R", "d7c8B", "d7c8N"}))
        # Kiwipete: its 8 captures come first, then both castlings.
        moves, total = self.perft("2", KIWIPETE)
        self.assertEqual(total, 2039)
        self.assertEqual(set(moves[:8]), {"d5e6", "e2a6", "e5d7", "e5f7", "e5g6", "f3f6", "f3h3", "g2h3"})
        self.assertEqual(moves[8:10], ["e1g1", "e1c1"])


class Bench(unittest.TestCase):
    def test_bench_totals(self):
        status, out, err = run_tool("bench", "2")
        self.assertEqual((status, err), (0, ""))
        infos = [m for m in map(INFO_LINE.match, out.split("\n")) if m]
        self.assertEqual({m.group(1) for m in infos}, {"1", "2"}, "depth 2 deepens from 1")
        self.assertRegex(out, r"\n\nTotal time \(ms\): \d+\nNodes searched: %d\nNodes/second: \d+\n$"
                         % sum(int(m.group(4)) for m in infos))

    def test_bench_signature(self):
        # The node total is fixed by the search's rules alone: any change to it
        # is a change of the engine's behaviour (the default depth's total is in
        # the README).
        status, out, err = run_tool("bench", "5", timeout=300)
        self.assertEqual((status, err), (0, ""))
        self.assertIn("\nNodes searched: 1451608\n", out)


class Options(unittest.TestCase):
    def test_help_version_and_bad_arguments(self):
        status, out, err = run_tool("--help")
        self.assertEqual((status, err), (0, ""))
        self.assertRegex(out, r"\bperft\b(.|\n)*\bbench\b")
        self.assertEqual(run_tool("--version"), (0, "1.8.5\n", ""))
        for args in (("perft", "x"), ("perft", "0"), ("perft",), ("perft", "3x"), ("bench", "0"), ("--frobnicate",),
                     ("perft", "2", "k7/8/8/8/8/8/8/R6K w - - 0 1")):
            status, out, err = run_tool(*args)
            self.assertEqual(status, 2, args)
            self.assertEqual(out, "", args)
            self.assertRegex(err, r"^[^\n]+\n$", "one line on standard error")


if __name__ == "__main__":
    unittest.main()
