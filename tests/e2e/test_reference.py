"""Reference searches: each block of tests/data/search-reference.txt runs on a
fresh engine and must print exactly the recorded lines."""

import os
import unittest

from engine import EngineCase

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "search-reference.txt")


def read_blocks(path):
    """[(line number, input lines, expected output lines)], blocks split by empty lines."""
    blocks, current = [], None
    with open(path, encoding="utf-8", newline="") as f:
        for number, raw in enumerate(f, 1):
            line = raw[:-1] if raw.endswith("\n") else raw
            if line.startswith("#"):
                continue
            if line == "":
                current = None
                continue
            if current is None:
                current = (number, [], [])
                blocks.append(current)
            if line.startswith("> "):
                if current[2]:
                    raise ValueError("line %d: input after output" % number)
                current[1].append(line[2:])
            else:
                current[2].append(line)
    return blocks


class Reference(EngineCase):
    def test_file_is_well_formed(self):
        blocks = read_blocks(DATA)
        self.assertGreaterEqual(len(blocks), 5)
        for number, commands, expected in blocks:
            self.assertTrue(commands and expected, "block at line %d" % number)
            self.assertTrue(commands[-1].startswith("go"), "block at line %d" % number)
            self.assertTrue(expected[-1].startswith("bestmove "), "block at line %d" % number)

    def test_blocks(self):
        for number, commands, expected in read_blocks(DATA):
            with self.subTest(block_at_line=number, commands=commands):
                eng = self.start()
                got = eng.search(*commands, timeout=60)
                self.assertEqual(got, expected)
                self.assertEqual(self.end(eng), [])


if __name__ == "__main__":
    unittest.main()
