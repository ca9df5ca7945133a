# SPDX-License-Identifier: GPL-3.0-or-later
"""A small driver for the engine binary: lines in through a pipe, lines out
through a reader thread, every wait bounded by a timeout."""

import os
import queue
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

BIN = os.environ.get("SOLVANE_BIN", "")
# Every engine a test starts searches on this many threads: the lines must not change.
THREADS = int(os.environ.get("SOLVANE_THREADS", "1"))
LINE_END = b"\r\n" if os.environ.get("SOLVANE_LINE_END") == "crlf" else b"\n"
# Emulated machines answer late: the waits and the bounds on how soon an answer
# comes are multiplied by this (the engine's own clock still runs in real time).
TIME_SCALE = float(os.environ.get("SOLVANE_TIME_SCALE", "1"))

MOVE = r"[a-h][1-8][a-h][1-8][QRBNqrbn]?"
INFO_LINE = re.compile(r"^info depth (\d+) score (cp|mate) (-?\d+) nodes (\d+) pv ((?:%s )*)$" % MOVE)
BESTMOVE_LINE = re.compile(r"^bestmove (%s|\(none\))(?: ponder (%s))?$" % (MOVE, MOVE))
START_MOVES = {f + "2" + f + r for f in "abcdefgh" for r in "34"} | {"b1a3", "b1c3", "g1f3", "g1h3"}
# White king a1 in check from an unguarded queen on b2: a1b2 is the only legal move.
ONE_MOVE_FEN = "k7/8/8/8/8/8/1q6/K7 w - - 0 1"
ONE_MOVE = "a1b2"
# The independent referee, where it is installed.
STOCKFISH = shutil.which("stockfish") or shutil.which("/usr/games/stockfish")


def opening_lines():
    """The move lists of the openings file, one a line ("#" starts a comment line)."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "openings.txt")) as f:
        return [x.split() for x in f if x.strip() and not x.startswith("#")]


def run_tool(*args, timeout=60):
    """Runs the binary with command-line arguments; (status, stdout, stderr)."""
    done = subprocess.run([BIN, *args], capture_output=True, timeout=timeout)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


class Engine:
    """The engine binary, or another UCI program (cmd); stamp is the arrival time of the line last read."""

    def __init__(self, cmd=None):
        if cmd is None and not os.access(BIN, os.X_OK):
            raise AssertionError("SOLVANE_BIN does not name an executable: %r" % BIN)
        self.err = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(cmd or [BIN], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.err)
        self.lines, self.ended, self.stamp = queue.Queue(), False, None
        threading.Thread(target=self._read_stdout, daemon=True).start()

    def _read_stdout(self):
        try:
            for raw in iter(self.proc.stdout.readline, b""):
                # Only the line ending goes (CR LF from a Windows build, whose output
                # is in text mode): trailing blanks and stray CRs are kept and fail.
                if raw.endswith(LINE_END):
                    self.lines.put((time.monotonic(), raw[:-len(LINE_END)].decode()))
                else:
                    self.lines.put((time.monotonic(), raw.decode() + "<no %r>" % LINE_END))
        except ValueError:
            pass  # a test closed the engine's output
        self.lines.put((time.monotonic(), None))

    def send(self, *lines, eol="\n"):
        self.proc.stdin.write("".join(line + eol for line in lines).encode())
        self.proc.stdin.flush()

    def readline(self, timeout):
        """The next line, or None when none came in time or the output has ended."""
        try:
            self.stamp, line = (None, None) if self.ended else self.lines.get(timeout=max(timeout, 0))
        except queue.Empty:
            return None
        self.ended = line is None
        return line

    def read_until(self, pattern, timeout=10.0):
        """The lines up to and including the first that matches pattern."""
        deadline, got = time.monotonic() + timeout * TIME_SCALE, []
        while not got or not re.search(pattern, got[-1]):
            line = self.readline(deadline - time.monotonic())
            if line is None:
                raise AssertionError("no line matching %r within %.1f s; read: %r" % (pattern, timeout, got))
            got.append(line)
        return got

    def search(self, *commands, timeout=20.0):
        """Sends the commands; the lines up to the bestmove line."""
        self.send(*commands)
        return self.read_until(r"^bestmove ", timeout)

    def silent(self, seconds):
        """The lines printed within the given time, or until the output ends."""
        deadline, got = time.monotonic() + seconds, []
        while (line := self.readline(deadline - time.monotonic())) is not None:
            got.append(line)
        return got

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=10)
        for stream in (self.proc.stdin, self.proc.stdout, self.err):
            stream.close()


class EngineCase(unittest.TestCase):
    def start(self):
        eng = Engine()
        self.addCleanup(eng.kill)
        if THREADS > 1:
            eng.send("setoption name Threads value %d" % THREADS)
        return eng

    def end(self, eng, quit=True):
        """Quits (or closes the input) and checks a clean exit; the lines still printed."""
        if quit:
            eng.send("quit")
        eng.proc.stdin.close()
        try:
            status = eng.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.fail("the engine did not exit within 10 s")
        eng.err.seek(0)
        stderr = eng.err.read()
        self.assertEqual(status, 0, "exit status; stderr: %r" % stderr[-2000:])
        self.assertEqual(stderr, b"", "nothing goes to standard error")
        return eng.silent(5.0)

    def assertQuiet(self, eng, seconds=0.3):
        self.assertEqual(eng.silent(seconds), [], "unexpected output")

    def parse_search(self, lines):
        """Checks the form of a search's lines; (info matches, bestmove match)."""
        *infos, best = lines
        parsed = [INFO_LINE.match(line) for line in infos]
        for line, m in zip(infos, parsed):
            self.assertIsNotNone(m, "malformed info line %r" % line)
        b = BESTMOVE_LINE.match(best)
        self.assertIsNotNone(b, "malformed bestmove line %r" % best)
        return parsed, b
