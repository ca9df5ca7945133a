#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Timed games of Solvane against Stockfish or itself: --games 4 --tc 2+0.1, or
--opponent self --tc 20 --moves-per-tc 40 (BASE every M moves, movestogo sent).
A referee Stockfish lists the legal moves and gives the position that decides
the end of the game. Clocks count the wall time from "go" to "bestmove"; each
pair of games shares an opening line of tests/data/openings.txt with
colours swapped, from line --opening on. Options go
to either side (--option, and --opponent-option, e.g. UCI_Elo=1500);
--concurrency plays games side by side. The summary gives how far our
engine's moves went past the budget its clock rule gives them."""

import argparse
import concurrent.futures
import os
import shlex
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from engine import STOCKFISH, Engine, opening_lines  # noqa: E402

GRACE, HANG_MARGIN, TIMEOUT = 0.1, 5.0, 10.0
FAULTS = ("crashes", "hangs", "illegal", "time_forfeits")
STOCKFISH_OPTIONS = (("Threads", 1), ("Hash", 16), ("Skill Level", 0), ("Move Overhead", 100))


def budget_ms(clock, inc, togo, overhead):
    """The engine's budget for a move (README, "go"): clock / moves to go + increment, in whole
    seconds from one second on, within the clock less Move Overhead and, with an increment, a tenth of it."""
    ms = clock // (25 if inc else togo or 30) + inc
    cap = min(clock - overhead, clock // 10) if inc else clock - overhead
    return min(ms if 1 <= ms < 1000 else max(ms // 1000, 1) * 1000, cap)


def percentile(values, q):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(q * len(ordered)))] if ordered else 0


def send(p, *lines):
    try:
        p.send(*lines)
    except (OSError, ValueError):
        pass  # a dead engine shows at its next answer


def wait_for(p, prefix, timeout):
    """The lines up to the first with prefix (p.stamp its arrival); None once the output ended, [] on timeout."""
    try:
        return p.read_until("^" + prefix, timeout)
    except AssertionError:
        return None if p.ended else []


def close(p):
    """Quits; the exit code, or None when it had to be killed."""
    send(p, "quit")
    try:
        code = p.proc.wait(timeout=3)
    except subprocess.TimeoutExpired:
        code = None
    p.kill()
    return code


class Match:
    def __init__(self, args):
        self.a, self.lock, self.local = args, threading.Lock(), threading.local()
        self.cmd = [args.engine] if os.path.exists(args.engine) else shlex.split(args.engine)
        self.ours, self.score, self.games, self.referees = dict.fromkeys(FAULTS, 0), {"W": 0, "D": 0, "L": 0}, [], []
        self.lowest = args.base  # the least our clock held after a move
        self.overruns = []  # milliseconds past the budget, each of our moves
        self.overhead = int(dict(o.split("=", 1) for o in args.option).get("Move Overhead", 50))

    def query(self, moves):
        """(FEN fields, in check, legal moves) after the moves from the start position."""
        if not hasattr(self.local, "referee"):  # one referee for each thread that plays games
            self.local.referee = Engine([self.a.stockfish])
            with self.lock:
                self.referees.append(self.local.referee)
        referee = self.local.referee
        referee.send("position startpos moves " + " ".join(moves), "d", "go perft 1")
        board = referee.read_until("^Checkers:", TIMEOUT)
        legal = [x.split(":")[0] for x in referee.read_until("^Nodes searched:", TIMEOUT) if x.endswith(": 1")]
        return next(x[5:] for x in board if x.startswith("Fen: ")).split(), board[-1].strip() != "Checkers:", legal

    def start(self, ours, name, options):
        p = Engine(self.cmd if ours else [self.a.stockfish])
        p.name, p.ours, p.fault = name, ours, None
        options = ([] if ours else list(STOCKFISH_OPTIONS)) + [o.split("=", 1) for o in options]
        send(p, "uci", *["setoption name %s value %s" % tuple(o) for o in options], "isready")
        wait_for(p, "readyok", TIMEOUT)  # a failed start shows at the first "go"
        return p

    def fault(self, p, stm, kind, detail):
        p.fault = kind
        with self.lock:
            self.ours[kind] += p.ours
        return ("0-1", "1-0")[stm], "%s %s: %s" % (p.name, kind, detail)

    def play_game(self, number, engine_white, opening):
        self_play = self.a.opponent == "self"
        players = [self.start(True, self.a.name, self.a.option),
                   self.start(self_play, self.a.opponent_name, self.a.opponent_option)]
        players = players if engine_white else players[::-1]
        moves, clock, togo, seen, result, positions = [], [self.a.base] * 2, [self.a.moves_per_tc] * 2, {}, None, []
        while result is None:
            fen, check, legal = self.query(moves)
            positions.append((fen[0], check, legal))
            stm, key, rule50 = "wb".index(fen[1]), " ".join(fen[:4]), int(fen[4]) >= 100
            seen[key] = seen.get(key, 0) + 1
            others = [c for c in fen[0] if c.isalpha() and c not in "Kk"]
            if not legal:
                result = (("0-1", "1-0")[stm], "checkmate") if check else ("1/2-1/2", "stalemate")
            elif seen[key] >= 3 or rule50 or others in ([], ["N"], ["B"], ["n"], ["b"]):
                result = ("1/2-1/2", "threefold repetition" if seen[key] >= 3 else "fifty-move rule" if rule50
                          else "insufficient material")
            elif len(moves) >= self.a.max_plies:
                result = ("1/2-1/2", "ply limit")
            elif len(moves) < len(opening):
                moves.append(opening[len(moves)])
            else:
                result = self.move(players[stm], stm, moves, legal, clock, togo)
        result, reason = result
        for p in players:
            code = close(p)
            if code != 0 and p.fault is None:
                reason = self.fault(p, 0, "hangs" if code is None else "crashes", "")[1] + " exit code %s" % code
        with self.lock:
            self.score["D" if result == "1/2-1/2" else "W" if result == ("0-1", "1-0")[engine_white] else "L"] += 1
            self.games.append({"number": number, "white": players[0].name, "black": players[1].name,
                               "result": result, "reason": reason, "moves": moves, "positions": positions})
        print("game %d: %s - %s %s (%s): %s" % (number, players[0].name, players[1].name, result, reason,
                                              " ".join(moves)), file=sys.stderr, flush=True)

    def move(self, p, stm, moves, legal, clock, togo):
        """Asks the side to move for its move; None when the game goes on, else (result, reason)."""
        a, ms = self.a, [max(1, round(c * 1000)) for c in clock]
        send(p, "position startpos moves " + " ".join(moves))
        sent = time.monotonic()
        send(p, "go wtime %d btime %d winc %d binc %d" % (*ms, a.inc * 1000, a.inc * 1000)
               + (" movestogo %d" % togo[stm] if a.moves_per_tc else ""))
        lines = wait_for(p, "bestmove", max(clock[stm], 0) + HANG_MARGIN)
        budget = budget_ms(ms[stm], round(a.inc * 1000), togo[stm] if a.moves_per_tc else 0, self.overhead)
        if lines is None:
            return self.fault(p, stm, "crashes", "output ended")
        if not lines:
            return self.fault(p, stm, "hangs", "no bestmove within %.1f s" % (max(clock[stm], 0) + HANG_MARGIN))
        move = (lines[-1].split() + [""])[1]  # a promotion in upper case is illegal, as runners read it
        if move not in legal:
            return self.fault(p, stm, "illegal", "illegal move %r" % move)
        clock[stm] -= p.stamp - sent
        if p.ours:
            with self.lock:
                self.lowest = min(self.lowest, clock[stm])
                self.overruns.append(round((p.stamp - sent) * 1000) - budget)
        if clock[stm] < -GRACE:
            return self.fault(p, stm, "time_forfeits", "%.3f s over" % -clock[stm])
        clock[stm] += a.inc
        togo[stm] -= 1
        if a.moves_per_tc and togo[stm] == 0:
            togo[stm], clock[stm] = a.moves_per_tc, clock[stm] + a.base
        moves.append(move)

    def run(self):
        lines = opening_lines()
        with concurrent.futures.ThreadPoolExecutor(self.a.concurrency) as pool:
            for done in [pool.submit(self.play_game, g + 1, g % 2 == 0, lines[(self.a.opening + g // 2) % len(lines)])
                         for g in range(self.a.games)]:
                done.result()
        for referee in self.referees:
            close(referee)
        self.games.sort(key=lambda g: g["number"])
        return self

    def summary(self):
        s, o = self.score, self.ours
        return ("games %d, score %g (+%d =%d -%d), crashes %d, hangs %d, illegal %d, time forfeits %d, "
                "lowest clock %.3f s, %s") % (len(self.games), s["W"] + s["D"] / 2, s["W"], s["D"], s["L"],
                                              *(o[k] for k in FAULTS), self.lowest, self.overrun())

    def overrun(self):
        """Our moves' time past their budget: the median and the 99th percentile."""
        return "overrun median %d ms, 99th percentile %d ms" % (percentile(self.overruns, 0.5),
                                                                percentile(self.overruns, 0.99))


def run(argv=None):
    """Plays the match; returns the finished Match."""
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--engine", default=os.environ.get("SOLVANE_BIN"), help="engine binary (default: $SOLVANE_BIN)")
    p.add_argument("--opponent", choices=("stockfish", "self"), default="stockfish")
    p.add_argument("--games", type=int, default=2)
    p.add_argument("--tc", default="2+0.1", help='"BASE+INC" in seconds, or BASE with --moves-per-tc')
    p.add_argument("--moves-per-tc", type=int, default=0, help="BASE seconds for every M moves, movestogo sent")
    p.add_argument("--max-plies", type=int, default=600, help="adjudicate a draw after this many plies")
    p.add_argument("--opening", type=int, default=0, help="the first opening line, counted from 0")
    p.add_argument("--fail-on-fault", action="store_true", help="exit 1 on any crash, hang, illegal move or forfeit")
    p.add_argument("--option", action="append", default=[], help="NAME=VALUE for the engine")
    p.add_argument("--opponent-option", action="append", default=[], help="NAME=VALUE for the opponent")
    p.add_argument("--name", default="Solvane")
    p.add_argument("--opponent-name")
    p.add_argument("--concurrency", type=int, default=1, help="games played side by side")
    args = p.parse_args(argv)
    base, _, inc = args.tc.partition("+")
    args.base, args.inc, args.stockfish = float(base), float(inc or 0), STOCKFISH
    args.opponent_name = args.opponent_name or ("Solvane (copy)" if args.opponent == "self" else "Stockfish")
    if not args.engine or not args.stockfish:
        raise SystemExit("need --engine (or $SOLVANE_BIN) and stockfish (apt-get install stockfish)")
    return Match(args).run()


if __name__ == "__main__":
    match = run()
    print(match.summary())
    sys.exit(1 if match.a.fail_on_fault and any(match.ours.values()) else 0)
