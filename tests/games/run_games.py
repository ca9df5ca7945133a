#!/usr/bin/env python3
"""Play timed games between Solvane and Stockfish (or Solvane itself).

Every move Solvane sends is checked against the legal moves that a separate
referee Stockfish process lists with "go perft 1"; game ends (mate, stalemate,
threefold repetition, fifty-move rule, insufficient material) are decided from
the referee's "d" output. Clocks are kept by this script from the wall time
between "go" and "bestmove".

Examples:
  run_games.py --engine build/release/solvane --games 4 --tc 2+0.1
  run_games.py --opponent self --games 4 --tc 20 --moves-per-tc 40 --pgn soak.pgn

Opening: --random-plies random legal plies, the same for each pair of games
with colours swapped. --moves-per-tc adds BASE to a side's clock after every M
moves it searched (opening plies excluded; the leftover carries over). A clock may dip GRACE below zero.
"""

import argparse
import datetime
import os
import queue
import random
import shlex
import shutil
import subprocess
import sys
import tempfile
import threading
import time

GRACE = 0.1          # seconds a clock may go below zero (process overhead)
HANG_MARGIN = 5.0    # seconds past the clock before a silent engine is a hang
START_TIMEOUT = 10.0
REFEREE_TIMEOUT = 10.0

WHITE, BLACK = 0, 1
COLOUR_NAME = ("White", "Black")


def find_stockfish():
    for path in (shutil.which("stockfish"), "/usr/games/stockfish"):
        if path and os.access(path, os.X_OK):
            return path
    return None


class Timeout(Exception):
    pass


class EngineProcess:
    """A UCI process with a reader thread that timestamps each line on arrival."""

    def __init__(self, cmd, label):
        self.label = label
        self.stderr = tempfile.TemporaryFile(mode="w+b")
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.stderr, text=True, bufsize=1)
        self.lines = queue.Queue()
        self.eof = False
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        try:
            for line in self.proc.stdout:
                self.lines.put((time.monotonic(), line.rstrip("\r\n")))
        except (OSError, ValueError):
            pass
        self.lines.put((time.monotonic(), None))

    def send(self, text):
        try:
            self.proc.stdin.write(text + "\n")
            self.proc.stdin.flush()
            return True
        except (OSError, ValueError):
            return False

    def readline(self, deadline):
        """Next (arrival time, line); line None at end of output. Raises Timeout."""
        if self.eof:
            return time.monotonic(), None
        remaining = deadline - time.monotonic()
        try:
            stamp, line = self.lines.get(timeout=max(remaining, 0.0))
        except queue.Empty:
            raise Timeout() from None
        if line is None:
            self.eof = True
        return stamp, line

    def wait_for(self, prefix, timeout):
        """Lines up to and including the first that starts with prefix; None on EOF."""
        deadline = time.monotonic() + timeout
        seen = []
        while True:
            _, line = self.readline(deadline)
            if line is None:
                return None
            seen.append(line)
            if line.startswith(prefix):
                return seen

    def alive(self):
        return self.proc.poll() is None

    def stderr_tail(self, limit=2000):
        try:
            self.stderr.seek(0)
            data = self.stderr.read().decode("utf-8", "replace")
        except (OSError, ValueError):
            return ""
        return data[-limit:]

    def close(self, timeout=3.0):
        """Quit politely; return the exit code, or None if it had to be killed."""
        if self.alive():
            self.send("quit")
            try:
                self.proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
                self._cleanup()
                return None
        self._cleanup()
        return self.proc.returncode

    def kill(self):
        if self.alive():
            self.proc.kill()
        self.proc.wait()
        self._cleanup()

    def _cleanup(self):
        for stream in (self.proc.stdin, self.proc.stdout, self.stderr):
            try:
                stream.close()
            except (OSError, ValueError):
                pass
        self.reader.join(timeout=1.0)


class Referee:
    """Stockfish used only to list legal moves and describe positions."""

    def __init__(self, path):
        self.path = path
        self.proc = None
        self._start()

    def _start(self):
        self.proc = EngineProcess([self.path], "referee")
        self.proc.send("uci")
        if self.proc.wait_for("uciok", START_TIMEOUT) is None:
            raise RuntimeError("referee did not start: " + self.proc.stderr_tail())

    def query(self, moves):
        """(fen, in_check, sorted legal moves) of startpos after moves."""
        for attempt in range(2):
            try:
                return self._query(moves)
            except (Timeout, RuntimeError):
                if attempt:
                    raise
                self.proc.kill()
                self._start()
        raise AssertionError("unreachable")

    def _query(self, moves):
        p = self.proc
        cmd = "position startpos" + (" moves " + " ".join(moves) if moves else "")
        p.send(cmd)
        p.send("d")
        lines = p.wait_for("Checkers:", REFEREE_TIMEOUT)
        if lines is None:
            raise RuntimeError("referee died")
        fen = next((l[5:].strip() for l in lines if l.startswith("Fen:")), None)
        if fen is None:
            raise RuntimeError("referee gave no FEN")
        in_check = bool(lines[-1][len("Checkers:"):].strip())
        p.send("go perft 1")
        lines = p.wait_for("Nodes searched:", REFEREE_TIMEOUT)
        if lines is None:
            raise RuntimeError("referee died")
        legal = []
        for line in lines[:-1]:
            head, sep, count = line.partition(":")
            if sep and count.strip() == "1" and 4 <= len(head) <= 5:
                legal.append(head)
        if int(lines[-1].split(":")[1]) != len(legal):
            raise RuntimeError("referee perft count mismatch")
        return fen, in_check, sorted(legal)

    def close(self):
        self.proc.close()


# --- Position helpers (from the referee's FEN) ---------------------------

def fen_board(fen):
    """Map square name -> piece letter."""
    board = {}
    rows = fen.split()[0].split("/")
    for r, row in enumerate(rows):
        f = 0
        for ch in row:
            if ch.isdigit():
                f += int(ch)
            else:
                board["abcdefgh"[f] + str(8 - r)] = ch
                f += 1
    return board


def repetition_key(fen):
    return " ".join(fen.split()[:4])


def insufficient_material(fen):
    """Bare kings, or king and one minor piece against a bare king."""
    others = [p for p in fen.split()[0] if p.isalpha() and p not in "Kk"]
    return not others or (len(others) == 1 and others[0] in "NBnb")


def side_to_move(fen):
    return WHITE if fen.split()[1] == "w" else BLACK


def san(fen, move, legal):
    """Standard algebraic notation, without the check suffix."""
    board = fen_board(fen)
    src, dst, promo = move[:2], move[2:4], move[4:].upper()
    piece = board.get(src, "?").upper()
    if piece == "K" and abs(ord(src[0]) - ord(dst[0])) == 2:
        return "O-O" if dst[0] == "g" else "O-O-O"
    if piece == "P":
        text = (src[0] + "x" + dst) if src[0] != dst[0] else dst
        return text + ("=" + promo if promo else "")
    rivals = [m[:2] for m in legal
              if m[2:4] == dst and m[:2] != src and board.get(m[:2], "").upper() == piece]
    hint = ""
    if rivals:
        if all(r[0] != src[0] for r in rivals):
            hint = src[0]
        elif all(r[1] != src[1] for r in rivals):
            hint = src[1]
        else:
            hint = src
    return piece + hint + ("x" if dst in board else "") + dst


# --- Players ---------------------------------------------------------------

class Player:
    def __init__(self, name, cmd, options, ours):
        self.name = name
        self.cmd = cmd
        self.options = options
        self.ours = ours
        self.proc = None
        self.id_name = name

    def start(self):
        """Start and handshake; returns None or a fault ('crash' or 'hang')."""
        try:
            self.proc = EngineProcess(self.cmd, self.name)
        except OSError as exc:
            self.proc = None
            return "crash", str(exc)
        self.proc.send("uci")
        try:
            lines = self.proc.wait_for("uciok", START_TIMEOUT)
            if lines is None:
                return "crash", "died during uci handshake"
            for line in lines:
                if line.startswith("id name "):
                    self.id_name = line[8:].strip()
            for opt, value in self.options:
                self.proc.send("setoption name %s value %s" % (opt, value))
            self.proc.send("ucinewgame")
            self.proc.send("isready")
            if self.proc.wait_for("readyok", START_TIMEOUT) is None:
                return "crash", "died before readyok"
        except Timeout:
            return "hang", "no uciok/readyok within %.0f s" % START_TIMEOUT
        return None

    def stop(self):
        """Quit; returns the exit code (None when it had to be killed)."""
        if self.proc is None:
            return 0
        code = self.proc.close()
        self.proc = None
        return code

    def kill(self):
        if self.proc is not None:
            self.proc.kill()
            self.proc = None


def new_counts():
    return {"crashes": 0, "hangs": 0, "illegal": 0, "time_forfeits": 0}


class Match:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.referee = Referee(args.stockfish)
        # A path, or a command line (for scripted test engines).
        self.engine_cmd = [args.engine] if os.path.exists(args.engine) else shlex.split(args.engine)
        self.ours = new_counts()
        self.theirs = new_counts()
        self.score = {"W": 0, "D": 0, "L": 0}
        self.games = []
        self.log = args.log

    def note(self, text):
        if self.log:
            print(text, file=sys.stderr, flush=True)

    def make_players(self):
        first = Player("Solvane", self.engine_cmd, [], True)
        if self.args.opponent == "self":
            second = Player("Solvane", self.engine_cmd, [], True)
        else:
            second = Player("Stockfish", [self.args.stockfish],
                            [("Threads", 1), ("Hash", 16), ("Skill Level", self.args.skill),
                             ("Move Overhead", self.args.opponent_overhead)], False)
        return first, second

    def opening(self):
        moves = []
        for _ in range(self.args.random_plies):
            _, _, legal = self.referee.query(moves)
            if not legal:
                break
            moves.append(self.rng.choice(legal))
        return moves

    def run(self):
        first_white = self.rng.random() < 0.5
        opening = []
        for g in range(self.args.games):
            if g % 2 == 0:
                opening = self.opening()
            engine_white = first_white == (g % 2 == 0)
            self.play_game(g + 1, engine_white, opening)
        self.referee.close()

    def fault(self, player, kind):
        counts = self.ours if player.ours else self.theirs
        counts[kind] += 1

    def play_game(self, number, engine_white, opening):
        args = self.args
        ours, other = self.make_players()
        players = [ours, other] if engine_white else [other, ours]
        # In self-play the "engine" is the first instance; faults count for both.
        result, termination, reason = None, "normal", ""
        for colour, pl in enumerate(players):
            err = pl.start()
            if err:
                self.fault(pl, "crashes" if err[0] == "crash" else "hangs")
                result = "0-1" if colour == WHITE else "1-0"
                termination = "abandoned"
                reason = "%s (%s) failed to start: %s" % (COLOUR_NAME[colour], pl.name, err[1])
                break

        moves = []
        sans = []
        comments = []
        counts = {}
        clock = [args.base, args.base]
        togo = [args.moves_per_tc, args.moves_per_tc]
        prev = None  # (fen, legal) of the position before the last move

        while result is None:
            fen, in_check, legal = self.referee.query(moves)
            if prev is not None:
                suffix = ("#" if not legal else "+") if in_check else ""
                sans.append(san(prev[0], moves[len(sans)], prev[1]) + suffix)
            stm = side_to_move(fen)
            key = repetition_key(fen)
            counts[key] = counts.get(key, 0) + 1
            if not legal:
                if in_check:
                    result = "0-1" if stm == WHITE else "1-0"
                    reason = "%s mates" % COLOUR_NAME[1 - stm]
                else:
                    result, reason = "1/2-1/2", "stalemate"
                break
            if counts[key] >= 3:
                result, reason = "1/2-1/2", "threefold repetition"
                break
            if int(fen.split()[4]) >= 100:
                result, reason = "1/2-1/2", "fifty-move rule"
                break
            if insufficient_material(fen):
                result, reason = "1/2-1/2", "insufficient material"
                break
            if len(moves) >= args.max_plies:
                result, reason, termination = "1/2-1/2", "ply limit %d" % args.max_plies, "adjudication"
                break
            if len(moves) < len(opening):
                prev = (fen, legal)
                moves.append(opening[len(moves)])
                comments.append("opening")
                continue

            pl = players[stm]
            # A clock inside the grace is sent as 1 ms: GUIs send no negative
            # times, and 0 means "no clock" to many engines.
            go = "go wtime %d btime %d winc %d binc %d" % (
                max(1, round(clock[WHITE] * 1000)), max(1, round(clock[BLACK] * 1000)),
                round(args.inc * 1000), round(args.inc * 1000))
            if args.moves_per_tc:
                go += " movestogo %d" % togo[stm]
            pl.proc.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
            sent = time.monotonic()
            pl.proc.send(go)
            loser = "0-1" if stm == WHITE else "1-0"
            who = "%s (%s)" % (COLOUR_NAME[stm], pl.name)
            bestmove, info, stamp = None, "", None
            deadline = sent + max(clock[stm], 0.0) + HANG_MARGIN
            try:
                while bestmove is None:
                    stamp, line = pl.proc.readline(deadline)
                    if line is None:
                        break
                    if line.startswith("info") and " pv " in line:
                        info = line
                    elif line.startswith("bestmove"):
                        parts = line.split()
                        bestmove = parts[1] if len(parts) > 1 else ""
            except Timeout:
                self.fault(pl, "hangs")
                pl.kill()
                result, termination = loser, "abandoned"
                reason = "%s hangs: no bestmove within %.1f s" % (who, deadline - sent)
                break
            if bestmove is None:
                self.fault(pl, "crashes")
                try:
                    code = pl.proc.proc.wait(timeout=2.0)
                except subprocess.TimeoutExpired:
                    code = "none: closed its output"
                tail = " | ".join(pl.proc.stderr_tail(400).split("\n")).strip(" |")
                pl.kill()
                result, termination = loser, "abandoned"
                reason = "%s crashed (exit %s)%s" % (who, code, (": " + tail) if tail else "")
                break
            elapsed = stamp - sent
            if args.trace:
                args.trace.write("game %d ply %d %s: %s -> bestmove %s in %.3f s\n" % (
                    number, len(moves), pl.name, go, bestmove, elapsed))
            move = bestmove.lower()
            if move not in legal:
                self.fault(pl, "illegal")
                result, termination = loser, "rules infraction"
                reason = "%s played illegal move '%s'" % (who, bestmove)
                break
            clock[stm] -= elapsed
            if clock[stm] < -GRACE:
                self.fault(pl, "time_forfeits")
                termination = "time forfeit"
                reason = "%s loses on time (%.3f s over after %.3f s)" % (who, -clock[stm], elapsed)
                # Against a bare king the flag does not lose.
                rest = [p for p in fen.split()[0] if p.isalpha() and p not in "Kk"]
                if stm == WHITE and not any(p.islower() for p in rest) or \
                   stm == BLACK and not any(p.isupper() for p in rest):
                    result = "1/2-1/2"
                else:
                    result = loser
                break
            clock[stm] += args.inc
            if args.moves_per_tc:
                togo[stm] -= 1
                if togo[stm] == 0:
                    togo[stm] = args.moves_per_tc
                    clock[stm] += args.base
            comments.append(self.comment(info, elapsed))
            prev = (fen, legal)
            moves.append(move)

        for pl in players:
            if pl.proc is None:
                continue
            code = pl.stop()
            if code != 0 and termination != "abandoned":
                # A bad exit on "quit" is a fault too, though the game stands.
                self.fault(pl, "hangs" if code is None else "crashes")
                reason += "; %s %s on quit" % (
                    pl.name, "did not exit" if code is None else "exit code %s" % code)

        if result == "1/2-1/2":
            self.score["D"] += 1
        elif (result == "1-0") == engine_white:
            self.score["W"] += 1
        else:
            self.score["L"] += 1
        names = [pl.id_name for pl in players]
        if args.opponent == "self":
            names = [n + (" (engine)" if pl is ours else " (copy)") for n, pl in zip(names, players)]
        game = {"round": number, "white": names[0], "black": names[1], "result": result,
                "termination": termination, "reason": reason, "sans": sans,
                "moves": moves[:len(sans)], "comments": comments, "clock": clock}
        self.games.append(game)
        self.note("game %d: %s - %s %s (%s, %d plies, clocks %.2f/%.2f)" % (
            number, names[0], names[1], result, reason, len(moves), clock[0], clock[1]))

    @staticmethod
    def comment(info, elapsed):
        words = info.split()
        text = ""
        try:
            depth = words[words.index("depth") + 1]
            i = words.index("score")
            if words[i + 1] == "cp":
                text = "%+.2f/%s " % (int(words[i + 2]) / 100.0, depth)
            else:
                text = "M%s/%s " % (words[i + 2], depth)
        except (ValueError, IndexError):
            pass
        return text + "%.3fs" % elapsed

    def summary(self):
        o = self.ours
        n = len(self.games)
        points = self.score["W"] + 0.5 * self.score["D"]
        line = "games %d, score %g/%d (+%d =%d -%d), crashes %d, hangs %d, illegal %d, time forfeits %d" % (
            n, points, n, self.score["W"], self.score["D"], self.score["L"],
            o["crashes"], o["hangs"], o["illegal"], o["time_forfeits"])
        if self.args.opponent != "self":
            t = self.theirs
            line += "; opponent: crashes %d, hangs %d, illegal %d, time forfeits %d" % (
                t["crashes"], t["hangs"], t["illegal"], t["time_forfeits"])
        return line

    def faults(self):
        return sum(self.ours.values())

    def pgn(self):
        out = []
        if self.args.moves_per_tc:
            tc = "%d/%g" % (self.args.moves_per_tc, self.args.base)
            if self.args.inc:
                tc += "+%g" % self.args.inc
        else:
            tc = "%g+%g" % (self.args.base, self.args.inc)
        date = datetime.date.today().strftime("%Y.%m.%d")
        for g in self.games:
            headers = [("Event", "Solvane games"), ("Site", "local"), ("Date", date),
                       ("Round", str(g["round"])), ("White", g["white"]), ("Black", g["black"]),
                       ("Result", g["result"]), ("TimeControl", tc),
                       ("Termination", g["termination"]), ("PlyCount", str(len(g["sans"])))]
            for k, v in headers:
                out.append('[%s "%s"]' % (k, v.replace("\\", "\\\\").replace('"', '\\"')))
            out.append("")
            tokens = []
            for i, (s, m) in enumerate(zip(g["sans"], g["moves"])):
                if i % 2 == 0:
                    tokens.append("%d." % (i // 2 + 1))
                tokens.append(s)
                note = g["comments"][i] if i < len(g["comments"]) else ""
                tokens.append("{%s%s}" % (m, " " + note if note else ""))
            tokens.append("{%s}" % g["reason"].replace("}", ")"))
            tokens.append(g["result"])
            line = ""
            for t in tokens:
                if line and len(line) + 1 + len(t) > 79:
                    out.append(line)
                    line = t
                else:
                    line = (line + " " + t) if line else t
            out.append(line)
            out.append("")
        return "\n".join(out) + "\n"


def parse_tc(text):
    base, _, inc = text.partition("+")
    return float(base), float(inc or 0)


def build_parser():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--engine", default=os.environ.get("SOLVANE_BIN"),
                   help="engine binary (default: $SOLVANE_BIN)")
    p.add_argument("--opponent", choices=("stockfish", "self"), default="stockfish")
    p.add_argument("--stockfish", default=find_stockfish(), help="Stockfish binary (referee and opponent)")
    p.add_argument("--skill", type=int, default=0, help="Stockfish Skill Level (default 0)")
    p.add_argument("--opponent-overhead", type=int, default=100,
                   help="Stockfish Move Overhead in ms (default 100: its default 10 flags on a busy machine)")
    p.add_argument("--games", type=int, default=2)
    p.add_argument("--tc", default="2+0.1", help='"BASE+INC" in seconds, or BASE with --moves-per-tc')
    p.add_argument("--moves-per-tc", type=int, default=0,
                   help="repeating control: BASE seconds for every M moves, movestogo sent")
    p.add_argument("--pgn", help="write the games here")
    p.add_argument("--max-plies", type=int, default=600, help="adjudicate a draw after this many plies")
    p.add_argument("--random-plies", type=int, default=2,
                   help="random opening plies, shared by each pair of games with colours swapped")
    p.add_argument("--seed", type=int, default=1, help="chooses the first colour and the openings")
    p.add_argument("--fail-on-fault", action="store_true",
                   help="exit 1 unless our engine had no crash, hang, illegal move or time forfeit")
    p.add_argument("--quiet", action="store_true", help="no per-game lines on stderr")
    p.add_argument("--trace", type=argparse.FileType("w"), help="log every go and its bestmove here")
    return p


def run(argv=None):
    """Play the match; returns the finished Match (for tests)."""
    args = build_parser().parse_args(argv)
    if not args.engine:
        raise SystemExit("no engine: give --engine or set SOLVANE_BIN")
    if not args.stockfish:
        raise SystemExit("stockfish not found (apt-get install stockfish)")
    args.base, args.inc = parse_tc(args.tc)
    args.log = not args.quiet
    if args.moves_per_tc < 0 or args.games < 0 or args.base <= 0:
        raise SystemExit("bad --tc, --moves-per-tc or --games")
    match = Match(args)
    match.run()
    if args.pgn:
        with open(args.pgn, "w") as f:
            f.write(match.pgn())
    return match


def main(argv=None):
    start = time.monotonic()
    match = run(argv)
    print(match.summary())
    print("elapsed %.1f s" % (time.monotonic() - start))
    if match.args.fail_on_fault and match.faults():
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
