# SPDX-License-Identifier: GPL-3.0-or-later
"""Recorded sessions: each block of the files below runs on a fresh engine and
must print exactly the recorded lines. search-reference.txt comes from an
independent implementation; golden-searches.txt was recorded from this engine
before any speed work, across options and positions, so that any change of
behaviour shows at once; protocol.txt holds the replies to the other commands.
In protocol.txt "<blank>" stands for an empty line and a line after "~ " is a
regular expression (the build date of the "uci" reply)."""

import os
import re
import unittest

from engine import THREADS, EngineCase

DATA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
FILES = ("search-reference.txt", "golden-searches.txt", "protocol.txt")


def read_blocks(path):
    """[(line number, input lines, expected output lines)], blocks split by empty lines."""
    blocks, current = [], None
    with open(path, encoding="utf-8", newline="") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line == "":
                current = None
            elif not line.startswith("#"):
                if current is None:
                    current = (number, [], [])
                    blocks.append(current)
                if line.startswith("> "):
                    current[1].append(line[2:])
                else:
                    current[2].append(line)
    return blocks


class Reference(EngineCase):
    def test_blocks(self):
        for name in FILES:
            blocks = read_blocks(os.path.join(DATA_DIR, name))
            self.assertTrue(blocks and all(commands for _, commands, _ in blocks), name)
            for number, commands, expected in blocks:
                if not any("threads" in c.lower() for c in commands):
                    expected = [e.replace("Threads type spin default 1 ", "Threads type spin default %d " % THREADS)
                                for e in expected]
                with self.subTest(file=name, block_at_line=number):
                    eng = self.start()
                    if expected and expected[-1].startswith("bestmove "):
                        got = eng.search(*commands, timeout=120)
                    else:  # "readyok" marks the end of the replies
                        eng.send(*commands, "isready")
                        got = eng.read_until("^readyok$", timeout=120)[:-1]
                    got = [e if e.startswith("~ ") and re.fullmatch(e[2:], g) else "<blank>" if g == "" else g
                           for g, e in zip(got, expected + [""] * len(got))]
                    self.assertEqual(got, expected)
                    self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
