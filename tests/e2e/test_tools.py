# SPDX-License-Identifier: GPL-3.0-or-later
"""The command-line tools: perft, bench, --help, --version and their errors."""

import os
import re
import unittest

from engine import INFO_LINE, EngineCase, run_tool

SIMULATED = os.environ.get("SOLVANE_SIMULATION") == "1"
KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
CHESS960 = "1r4kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w HAhb - 0 1"


class Tools(EngineCase):
    def test_perft_as_go_perft_prints_it(self):
        for variant, fen, total in ([], KIWIPETE, 97862), (["--chess960"], CHESS960, 13518):
            status, out, err = run_tool("perft", *variant, "3", fen)
            self.assertEqual((status, err), (0, ""))
            self.assertTrue(out.endswith("\n\nNodes searched: %d\n" % total), out[-100:])
            eng = self.start()
            eng.send("setoption name UCI_Chess960 value %s" % bool(variant), "position fen " + fen, "go perft 3")
            self.assertEqual("\n".join(eng.read_until("^Nodes searched: ")) + "\n", out)
            self.assertEqual(self.end(eng), [])

    def test_bench_signature(self):
        # The node total is fixed by the search's rules alone: any change to it
        # is a change of the engine's behaviour (the default depth's total is in
        # the README). More threads print every line as one does, faster, up to
        # the most the option allows. The last line is the one test frameworks
        # read: the nodes and the speed again.
        # On the simulated machine a thread's clock counts the positions it
        # evaluates: one thread takes exactly the nodes, N threads at least
        # 1/N of all the work, kept or thrown away, and at most all of it.
        searches = {}
        for threads in ("1", "2", "4", "64"):
            status, out, err = run_tool("bench", "5", threads, timeout=300)
            self.assertEqual((status, err), (0, ""))
            infos = [m for m in map(INFO_LINE.match, out.split("\n")) if m]
            self.assertEqual(sum(int(m.group(4)) for m in infos), 1451608)
            thrown = r"Positions thrown away: (?P<thrown>\d+)\n" if threads != "1" else "(?P<thrown>)"
            clocks = r"Simulated time \(positions\): (?P<time>\d+)\nSimulated speed-up: [\d.]+\n" if SIMULATED else ""
            tail = re.search(r"\n\nTotal time \(ms\): \d+\nNodes searched: 1451608\nNodes/second: (?P<nps>\d+)\n%s%s"
                             r"1451608 nodes (?P=nps) nps\n$" % (thrown, clocks), out)
            self.assertIsNotNone(tail, out[-300:])
            if SIMULATED:
                work, time = 1451608 + int(tail["thrown"] or 0), int(tail["time"])
                self.assertTrue(work <= time * int(threads) and time <= work, (threads, work, time))
            searches[threads] = out.split("\n\nTotal time")[0]
        for threads in ("2", "4", "64"):
            self.assertEqual(searches[threads], searches["1"], threads)

    def test_help_version_and_bad_arguments(self):
        status, out, err = run_tool("--help")
        self.assertEqual((status, err), (0, ""))
        self.assertRegex(out, r"\bperft\b(.|\n)*\bbench\b")
        self.assertEqual(run_tool("--version"), (0, "1.8.5\n", ""))
        for args in (("perft", "x"), ("perft", "0"), ("perft",), ("perft", "3x"), ("bench", "0"), ("bench", "5", "0"),
                     ("bench", "5", "65"), ("bench", "5", "2", "1025"),
                     ("bench", "5", "2", "1", "1"), ("--frobnicate",),
                     ("perft", "2", "k7/8/8/8/8/8/8/R6K w - - 0 1")):
            status, out, err = run_tool(*args)
            self.assertEqual((status, out), (2, ""), args)
            self.assertRegex(err, r"^[^\n]+\n$", "one line on standard error")


if __name__ == "__main__":
    unittest.main()
