#!/usr/bin/env python3
"""Timed games of Solvane against Stockfish or itself, e.g. --games 4 --tc 2+0.1,
or --opponent self --tc 20 --moves-per-tc 40 (BASE every M moves, movestogo sent).
A referee Stockfish lists the legal moves ("go perft 1") and the position ("d")
that decides mate, stalemate, threefold repetition, fifty moves and bare kings.
Clocks count the wall time from "go" to "bestmove"; each pair of games shares
random opening plies with colours swapped."""

import argparse
import contextlib
import os
import queue
import random
import shlex
import shutil
import subprocess
import sys
import textwrap
import threading
import time

GRACE = 0.1          # seconds a clock may go below zero (process overhead)
HANG_MARGIN = 5.0    # seconds past the clock before a silent engine is a hang
TIMEOUT = 10.0       # start-up and referee answers
OPENING_PLIES = 2
FAULTS = ("crashes", "hangs", "illegal", "time_forfeits")


def find_stockfish():
    return next((p for p in (shutil.which("stockfish"), "/usr/games/stockfish") if p and os.access(p, os.X_OK)), None)


class Process:
    """A UCI process whose reader thread stamps each line on arrival."""

    def __init__(self, cmd, name="", ours=False):
        self.name, self.ours, self.fault = name, ours, None
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        with contextlib.suppress(OSError, ValueError):
            for line in self.proc.stdout:
                self.lines.put((time.monotonic(), line.strip()))
        self.lines.put((time.monotonic(), None))

    def send(self, *lines):
        with contextlib.suppress(OSError, ValueError):
            self.proc.stdin.write("".join(line + "\n" for line in lines))
            self.proc.stdin.flush()

    def wait_for(self, prefix, timeout):
        """(arrival time, lines up to the first starting with prefix); lines is None
        once the output has ended. Raises queue.Empty on timeout."""
        deadline, seen = time.monotonic() + timeout, []
        while True:
            stamp, line = self.lines.get(timeout=max(deadline - time.monotonic(), 0))
            if line is None:
                self.lines.put((stamp, None))
                return stamp, None
            seen.append(line)
            if line.startswith(prefix):
                return stamp, seen

    def close(self):
        """Quits; the exit code, or None when it had to be killed."""
        self.send("quit")
        try:
            code = self.proc.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            code = None
        with contextlib.suppress(OSError, ValueError):
            self.proc.stdin.close()
            self.proc.stdout.close()
        return code


class Match:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.referee = Process([args.stockfish])
        self.referee.send("uci")
        self.referee.wait_for("uciok", TIMEOUT)
        self.engine_cmd = [args.engine] if os.path.exists(args.engine) else shlex.split(args.engine)
        self.ours = dict.fromkeys(FAULTS, 0)
        self.score = {"W": 0, "D": 0, "L": 0}
        self.games = []

    def query(self, moves):
        """(FEN, in check, legal moves) of the start position after the moves, from the referee."""
        self.referee.send("position startpos moves " + " ".join(moves), "d")
        board = self.referee.wait_for("Checkers:", TIMEOUT)[1]
        self.referee.send("go perft 1")
        lines = self.referee.wait_for("Nodes searched:", TIMEOUT)[1]
        legal = [line.split(":")[0] for line in lines if line.endswith(": 1") and len(line) <= 8]
        if int(lines[-1].split(":")[1]) != len(legal):
            raise RuntimeError("referee perft count mismatch: %r" % lines)
        return next(line[5:] for line in board if line.startswith("Fen: ")), board[-1] != "Checkers:", legal

    def start(self, ours, name):
        p = Process(self.engine_cmd if ours else [self.args.stockfish], name, ours)
        options = [] if ours else ["setoption name %s value %s" % o for o in
                                   (("Threads", 1), ("Hash", 16), ("Skill Level", 0), ("Move Overhead", 100))]
        p.send("uci", *options, "ucinewgame", "isready")
        with contextlib.suppress(queue.Empty):  # a failed start shows at the first "go"
            p.wait_for("readyok", TIMEOUT)
        return p

    def fault(self, p, kind):
        p.fault = kind
        if p.ours:
            self.ours[kind] += 1

    def play_game(self, number, engine_white, opening):
        a = self.args
        ours = self.start(True, "Solvane")
        other = self.start(a.opponent == "self", "Solvane (copy)" if a.opponent == "self" else "Stockfish")
        players = [ours, other] if engine_white else [other, ours]
        moves, clock, togo, seen = [], [a.base, a.base], [a.moves_per_tc] * 2, {}
        result, reason = None, None
        while result is None:
            fen, check, legal = self.query(moves)
            fields = fen.split()
            stm = 0 if fields[1] == "w" else 1
            key = " ".join(fields[:4])
            seen[key] = seen.get(key, 0) + 1
            others = [c for c in fields[0] if c.isalpha() and c not in "Kk"]
            if not legal:
                result, reason = (("0-1", "1-0")[stm], "checkmate") if check else ("1/2-1/2", "stalemate")
            elif seen[key] >= 3:
                result, reason = "1/2-1/2", "threefold repetition"
            elif int(fields[4]) >= 100:
                result, reason = "1/2-1/2", "fifty-move rule"
            elif not others or others in (["N"], ["B"], ["n"], ["b"]):
                result, reason = "1/2-1/2", "insufficient material"
            elif len(moves) >= a.max_plies:
                result, reason = "1/2-1/2", "ply limit"
            elif len(moves) < len(opening):
                moves.append(opening[len(moves)])
            else:
                result, reason = self.move(players[stm], stm, moves, legal, clock, togo)
        for p in players:
            code = p.close()
            if code != 0 and p.fault is None:
                self.fault(p, "hangs" if code is None else "crashes")
                reason += "; %s exit code %s on quit" % (p.name, code)
        win = "1-0" if engine_white else "0-1"
        self.score["D" if result == "1/2-1/2" else "W" if result == win else "L"] += 1
        self.games.append({"round": number, "white": players[0].name, "black": players[1].name, "result": result,
                           "reason": reason, "moves": moves})
        print("game %d: %s - %s %s (%s, %d plies)" % (number, players[0].name, players[1].name, result, reason,
                                                     len(moves)), file=sys.stderr, flush=True)

    def move(self, p, stm, moves, legal, clock, togo):
        """Asks the side to move for its move; (None, None) when the game goes on."""
        a = self.args
        go = "go wtime %d btime %d winc %d binc %d" % (max(1, round(clock[0] * 1000)), max(1, round(clock[1] * 1000)),
                                                        round(a.inc * 1000), round(a.inc * 1000))
        p.send("position startpos moves " + " ".join(moves))
        sent = time.monotonic()
        p.send(go + (" movestogo %d" % togo[stm] if a.moves_per_tc else ""))
        try:
            stamp, lines = p.wait_for("bestmove", max(clock[stm], 0) + HANG_MARGIN)
        except queue.Empty:
            return self.lost(p, stm, "hangs", "no bestmove within %.1f s" % (max(clock[stm], 0) + HANG_MARGIN))
        if lines is None:
            return self.lost(p, stm, "crashes", "output ended")
        move = (lines[-1].split() + [""])[1].lower()  # the engine may print promotions in upper case
        if move not in legal:
            return self.lost(p, stm, "illegal", "illegal move %r" % move)
        clock[stm] -= stamp - sent
        if clock[stm] < -GRACE:
            return self.lost(p, stm, "time_forfeits", "%.3f s over" % -clock[stm])
        clock[stm] += a.inc
        if a.moves_per_tc:
            togo[stm] -= 1
            if togo[stm] == 0:
                togo[stm], clock[stm] = a.moves_per_tc, clock[stm] + a.base
        moves.append(move)
        return None, None

    def lost(self, p, stm, kind, detail):
        self.fault(p, kind)
        return ("0-1", "1-0")[stm], "%s %s: %s" % (p.name, kind, detail)

    def run(self):
        for g in range(self.args.games):
            if g % 2 == 0:
                opening = []
                for _ in range(OPENING_PLIES):
                    opening.append(self.rng.choice(self.query(opening)[2]))
            self.play_game(g + 1, g % 2 == 0, opening)
        self.referee.close()

    def summary(self):
        s, o = self.score, self.ours
        return "games %d, score %g (+%d =%d -%d), crashes %d, hangs %d, illegal %d, time forfeits %d" % (
            len(self.games), s["W"] + s["D"] / 2, s["W"], s["D"], s["L"], *(o[k] for k in FAULTS))

    def pgn(self):
        a, out = self.args, []
        tc = ("%d/%g" % (a.moves_per_tc, a.base) if a.moves_per_tc else "%g" % a.base) + ("+%g" % a.inc if a.inc else "")
        for g in self.games:
            for tag, value in (("Event", "Solvane games"), ("Round", g["round"]), ("White", g["white"]),
                               ("Black", g["black"]), ("Result", g["result"]), ("TimeControl", tc)):
                out.append('[%s "%s"]' % (tag, value))
            out.append("")
            text = " ".join(("%d. " % (i // 2 + 1) if i % 2 == 0 else "") + m for i, m in enumerate(g["moves"]))
            out.append(textwrap.fill("%s {%s} %s" % (text, g["reason"], g["result"]), 79) + "\n")
        return "\n".join(out)


def run(argv=None):
    """Plays the match; returns the finished Match."""
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--engine", default=os.environ.get("SOLVANE_BIN"), help="engine binary (default: $SOLVANE_BIN)")
    p.add_argument("--opponent", choices=("stockfish", "self"), default="stockfish")
    p.add_argument("--games", type=int, default=2)
    p.add_argument("--tc", default="2+0.1", help='"BASE+INC" in seconds, or BASE with --moves-per-tc')
    p.add_argument("--moves-per-tc", type=int, default=0, help="BASE seconds for every M moves, movestogo sent")
    p.add_argument("--pgn", help="write the games here")
    p.add_argument("--max-plies", type=int, default=600, help="adjudicate a draw after this many plies")
    p.add_argument("--seed", type=int, default=1, help="chooses the openings")
    p.add_argument("--fail-on-fault", action="store_true", help="exit 1 on any crash, hang, illegal move or forfeit")
    args = p.parse_args(argv)
    base, _, inc = args.tc.partition("+")
    args.base, args.inc, args.stockfish = float(base), float(inc or 0), find_stockfish()
    if not args.engine or not args.stockfish:
        raise SystemExit("need --engine (or $SOLVANE_BIN) and stockfish (apt-get install stockfish)")
    match = Match(args)
    match.run()
    if args.pgn:
        with open(args.pgn, "w") as f:
            f.write(match.pgn())
    return match


if __name__ == "__main__":
    match = run()
    print(match.summary())
    sys.exit(1 if match.args.fail_on_fault and any(match.ours.values()) else 0)
