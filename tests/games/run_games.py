#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Timed games of Solvane against Stockfish or itself: --games 4 --tc 2+0.1, or
--opponent self --tc 20 --moves-per-tc 40 (BASE every M moves, movestogo sent).
A referee Stockfish lists the legal moves and gives the position that decides
the end of the game. Clocks count the wall time from "go" to "bestmove"; each
pair of games shares its opening with colours swapped: random plies, or the
lines of --openings in turn. Options go to either side (--option, and
--opponent-option, e.g. UCI_Elo=1500); --concurrency plays games side by side;
--pgn writes the games."""

import argparse
import concurrent.futures
import os
import queue
import random
import shlex
import shutil
import subprocess
import sys
import threading
import time

GRACE, HANG_MARGIN, TIMEOUT, OPENING_PLIES = 0.1, 5.0, 10.0, 2
FAULTS = ("crashes", "hangs", "illegal", "time_forfeits")
STOCKFISH_OPTIONS = (("Threads", 1), ("Hash", 16), ("Skill Level", 0), ("Move Overhead", 100))


def find_stockfish():
    return next((p for p in (shutil.which("stockfish"), "/usr/games/stockfish") if p and os.access(p, os.X_OK)), None)


class Process:
    """A UCI process whose reader thread stamps each line on arrival (None once the output ends)."""

    def __init__(self, cmd, name="", ours=False):
        self.name, self.ours, self.fault, self.lines = name, ours, None, queue.Queue()
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, bufsize=1)
        threading.Thread(target=lambda: [self.lines.put((time.monotonic(), x.strip())) for x in self.proc.stdout]
                         + [self.lines.put((time.monotonic(), None))], daemon=True).start()

    def send(self, *lines):
        try:
            self.proc.stdin.write("".join(line + "\n" for line in lines))
            self.proc.stdin.flush()
        except (OSError, ValueError):
            pass  # a dead engine shows at its next answer

    def wait_for(self, prefix, timeout):
        """(arrival, lines up to the first with prefix, None once the output ended); queue.Empty on timeout."""
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
            return self.proc.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return None


def san(fen, move, legal, check, mate):
    """The move in standard notation, from the placement it is played on and the legal moves there."""
    board, rank = {}, 8
    for row in fen.split("/"):
        file = 0
        for c in row:
            file += int(c) if c.isdigit() else 1
            if not c.isdigit():
                board["abcdefgh"[file - 1] + str(rank)] = c.upper()
        rank -= 1
    piece, to = board[move[:2]], move[2:4]
    if piece == "K" and abs(ord(move[0]) - ord(move[2])) == 2:
        text = "O-O" if move[2] == "g" else "O-O-O"
    elif piece == "P":
        text = (move[0] + "x" if move[0] != move[2] else "") + to + ("=" + move[4].upper() if len(move) > 4 else "")
    else:
        rivals = [m[:2] for m in legal if m[2:4] == to and m[:2] != move[:2] and board[m[:2]] == piece]
        same_file, same_rank = any(r[0] == move[0] for r in rivals), any(r[1] == move[1] for r in rivals)
        where = "" if not rivals else move[0] if not same_file else move[1] if not same_rank else move[:2]
        text = piece + where + ("x" if to in board else "") + to
    return text + ("#" if mate else "+" if check else "")


class Match:
    def __init__(self, args):
        self.a, self.rng, self.lock, self.local = args, random.Random(args.seed), threading.Lock(), threading.local()
        self.cmd = [args.engine] if os.path.exists(args.engine) else shlex.split(args.engine)
        self.ours, self.score, self.games = dict.fromkeys(FAULTS, 0), {"W": 0, "D": 0, "L": 0}, []
        self.referees = []

    def query(self, moves):
        """(FEN fields, in check, legal moves) after the moves from the start position."""
        if not hasattr(self.local, "referee"):  # one referee for each thread that plays games
            self.local.referee = Process([self.a.stockfish])
            with self.lock:
                self.referees.append(self.local.referee)
        referee = self.local.referee
        referee.send("position startpos moves " + " ".join(moves), "d", "go perft 1")
        board = referee.wait_for("Checkers:", TIMEOUT)[1]
        legal = [x.split(":")[0] for x in referee.wait_for("Nodes searched:", TIMEOUT)[1] if x.endswith(": 1")]
        return next(x[5:] for x in board if x.startswith("Fen: ")).split(), board[-1] != "Checkers:", legal

    def start(self, ours, name, options):
        p = Process(self.cmd if ours else [self.a.stockfish], name, ours)
        options = ([] if ours else list(STOCKFISH_OPTIONS)) + [o.split("=", 1) for o in options]
        p.send("uci", *["setoption name %s value %s" % tuple(o) for o in options], "isready")
        try:
            p.wait_for("readyok", TIMEOUT)
        except queue.Empty:
            pass  # a failed start shows at the first "go"
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
        moves, clock, togo, seen, result, sans, last = [], [self.a.base] * 2, [self.a.moves_per_tc] * 2, {}, None, [], None
        while result is None:
            fen, check, legal = self.query(moves)
            if last:
                sans.append(san(last[0], moves[-1], last[1], check, check and not legal))
            last = fen[0], legal
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
            code = p.close()
            if code != 0 and p.fault is None:
                reason = self.fault(p, 0, "hangs" if code is None else "crashes", "")[1] + " exit code %s" % code
        with self.lock:
            self.score["D" if result == "1/2-1/2" else "W" if result == ("0-1", "1-0")[engine_white] else "L"] += 1
            self.games.append({"number": number, "white": players[0].name, "black": players[1].name,
                               "result": result, "reason": reason, "moves": moves, "san": sans})
        print("game %d: %s - %s %s (%s): %s" % (number, players[0].name, players[1].name, result, reason,
                                              " ".join(moves)), file=sys.stderr, flush=True)

    def move(self, p, stm, moves, legal, clock, togo):
        """Asks the side to move for its move; None when the game goes on, else (result, reason)."""
        a, ms = self.a, [max(1, round(c * 1000)) for c in clock]
        p.send("position startpos moves " + " ".join(moves))
        sent = time.monotonic()
        p.send("go wtime %d btime %d winc %d binc %d" % (*ms, a.inc * 1000, a.inc * 1000)
               + (" movestogo %d" % togo[stm] if a.moves_per_tc else ""))
        try:
            stamp, lines = p.wait_for("bestmove", max(clock[stm], 0) + HANG_MARGIN)
        except queue.Empty:
            return self.fault(p, stm, "hangs", "no bestmove within %.1f s" % (max(clock[stm], 0) + HANG_MARGIN))
        if lines is None:
            return self.fault(p, stm, "crashes", "output ended")
        move = (lines[-1].split() + [""])[1].lower()  # the engine may print promotions in upper case
        if move not in legal:
            return self.fault(p, stm, "illegal", "illegal move %r" % move)
        clock[stm] -= stamp - sent
        if clock[stm] < -GRACE:
            return self.fault(p, stm, "time_forfeits", "%.3f s over" % -clock[stm])
        clock[stm] += a.inc
        togo[stm] -= 1
        if a.moves_per_tc and togo[stm] == 0:
            togo[stm], clock[stm] = a.moves_per_tc, clock[stm] + a.base
        moves.append(move)

    def run(self):
        lines = [x.split() for x in open(self.a.openings) if x.strip() and not x.startswith("#")] if self.a.openings \
            else None
        pairs = []
        for g in range(0, self.a.games, 2):
            if lines:
                pairs.append(lines[(g // 2) % len(lines)])
            else:
                pairs.append([])
                for _ in range(OPENING_PLIES):
                    pairs[-1].append(self.rng.choice(self.query(pairs[-1])[2]))
        with concurrent.futures.ThreadPoolExecutor(self.a.concurrency) as pool:
            for done in [pool.submit(self.play_game, g + 1, g % 2 == 0, pairs[g // 2]) for g in range(self.a.games)]:
                done.result()
        for referee in self.referees:
            referee.close()
        self.games.sort(key=lambda g: g["number"])
        if self.a.pgn:
            self.write_pgn(self.a.pgn)
        return self

    def write_pgn(self, path):
        with open(path, "w") as f:
            for g in self.games:
                tags = {"Event": self.a.event, "Round": g["number"], "White": g["white"], "Black": g["black"],
                        "Result": g["result"], "TimeControl": "%d/%s" % (self.a.moves_per_tc, self.a.tc) if self.a.moves_per_tc
                        else self.a.tc, "Termination": g["reason"]}
                text = " ".join(("%d. " % (i // 2 + 1) if i % 2 == 0 else "") + m for i, m in enumerate(g["san"]))
                f.write("".join('[%s "%s"]\n' % kv for kv in tags.items()) + "\n%s %s\n\n" % (text, g["result"]))

    def summary(self):
        s, o = self.score, self.ours
        return "games %d, score %g (+%d =%d -%d), crashes %d, hangs %d, illegal %d, time forfeits %d" % (
            len(self.games), s["W"] + s["D"] / 2, s["W"], s["D"], s["L"], *(o[k] for k in FAULTS))


def run(argv=None):
    """Plays the match; returns the finished Match."""
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--engine", default=os.environ.get("SOLVANE_BIN"), help="engine binary (default: $SOLVANE_BIN)")
    p.add_argument("--opponent", choices=("stockfish", "self"), default="stockfish")
    p.add_argument("--games", type=int, default=2)
    p.add_argument("--tc", default="2+0.1", help='"BASE+INC" in seconds, or BASE with --moves-per-tc')
    p.add_argument("--moves-per-tc", type=int, default=0, help="BASE seconds for every M moves, movestogo sent")
    p.add_argument("--max-plies", type=int, default=600, help="adjudicate a draw after this many plies")
    p.add_argument("--seed", type=int, default=1, help="chooses the openings")
    p.add_argument("--fail-on-fault", action="store_true", help="exit 1 on any crash, hang, illegal move or forfeit")
    p.add_argument("--option", action="append", default=[], help="NAME=VALUE for the engine")
    p.add_argument("--opponent-option", action="append", default=[], help="NAME=VALUE for the opponent")
    p.add_argument("--name", default="Solvane")
    p.add_argument("--opponent-name")
    p.add_argument("--openings", help="a file of opening lines, one a line, each played with both colours")
    p.add_argument("--concurrency", type=int, default=1, help="games played side by side")
    p.add_argument("--pgn", help="writes the games there")
    p.add_argument("--event", default="Solvane match")
    args = p.parse_args(argv)
    base, _, inc = args.tc.partition("+")
    args.base, args.inc, args.stockfish = float(base), float(inc or 0), find_stockfish()
    args.opponent_name = args.opponent_name or ("Solvane (copy)" if args.opponent == "self" else "Stockfish")
    if not args.engine or not args.stockfish:
        raise SystemExit("need --engine (or $SOLVANE_BIN) and stockfish (apt-get install stockfish)")
    return Match(args).run()


if __name__ == "__main__":
    match = run()
    print(match.summary())
    sys.exit(1 if match.a.fail_on_fault and any(match.ours.values()) else 0)
