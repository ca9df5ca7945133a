#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Calibrates Solvane's strength levels against Stockfish 15.1's UCI_Elo scale
and plays the soak games; hours of games, run by `make calibrate`.

  scripts/calibrate.py levels ENGINE  each level from 1350 up against Stockfish
                                      at the same UCI_Elo, full strength
                                      against Stockfish on either side of its
                                      rating, and the levels below 1350
                                      chained by matches against the level
                                      above them
  scripts/calibrate.py soak ENGINE    fast games: full strength on one and two
                                      threads, limited strength, and the
                                      WebAssembly build under Node
  scripts/calibrate.py edges ENGINE   full strength at the clock's edges, against
                                      Stockfish 1500: 1 s + 0.1 s, and 40 moves
                                      in 10 s (movestogo)
  scripts/calibrate.py hash ENGINE    full strength with a 16 MB table against
                                      full strength without one, and against
                                      Stockfish 1600 and 1800

Each match writes its games as PGN and a row to OUT/results.md (appended, so
that a run can go on in parts); --only plays the matches named."""

import argparse
import math
import os
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "games"))

import pgn  # noqa: E402
import run_games  # noqa: E402

SCALE_MIN = 1350  # Stockfish's lowest UCI_Elo


def elo(w, d, l):
    """The Elo difference a score gives, with its 95 % interval."""
    n = w + d + l
    p = (w + d / 2) / n
    sd = math.sqrt((w * (1 - p) ** 2 + d * (0.5 - p) ** 2 + l * p ** 2) / n / n)
    diff = lambda x: -400 * math.log10(1 / x - 1) if 0 < x < 1 else math.copysign(math.inf, x - 0.5)  # noqa: E731
    return diff(p), diff(max(p - 1.96 * sd, 0)), diff(min(p + 1.96 * sd, 1))


def level_options(elo_value):
    return ["UCI_LimitStrength=true", "UCI_Elo=%d" % elo_value] if elo_value else []


def play(args, name, ours, opponent, opponent_name, extra, tc):
    """One match; its row of the results table."""
    argv = ["--engine", ours, "--games", str(args.games), "--concurrency", str(args.concurrency),
            "--opponent-name", opponent_name] + extra
    moves, _, base = tc.rpartition("/")
    argv += ["--tc", base] + (["--moves-per-tc", moves] if moves else [])
    for o in opponent:
        argv += ["--opponent-option", o]
    match = run_games.run(argv)
    pgn.write(args.out / (name + ".pgn"), match, name)
    s = match.score
    d, lo, hi = elo(s["W"], s["D"], s["L"])
    faults = ", ".join("%s %d" % (k, v) for k, v in match.ours.items() if v) or "none"
    if args.mode == "edges":
        faults += " (%s)" % match.overrun()
    return "| %s | %s | %s | %d | %g (+%d =%d -%d) | %+.0f [%+.0f, %+.0f] | %s |" % (
        name, opponent_name, tc, len(match.games), s["W"] + s["D"] / 2, s["W"], s["D"], s["L"], d, lo, hi,
        faults)


def matches(args):
    """(match, engine, our options, opponent options, our name, opponent's name, opponent kind, time control)
    of the mode."""
    engine, listed = args.engine, []
    if args.mode == "levels":
        for level in args.levels:
            if level >= SCALE_MIN:
                listed.append(("level-%d" % level, engine, level_options(level), level_options(level),
                               "Solvane %d" % level, "Stockfish %d" % level, "stockfish", args.tc))
        for opponent in args.full:
            listed.append(("full-strength-%d" % opponent, engine, [], level_options(opponent), "Solvane",
                           "Stockfish %d" % opponent, "stockfish", args.tc))
        chain = sorted(level for level in args.levels if level < SCALE_MIN)
        for low, high in zip(chain, chain[1:] + [SCALE_MIN]):
            listed.append(("level-%d" % low, engine, level_options(low), level_options(high), "Solvane %d" % low,
                           "Solvane %d" % high, "self", args.tc))
    elif args.mode == "hash":
        listed.append(("hash-16-vs-0", engine, ["Hash=16"], [], "Solvane (Hash 16)", "Solvane", "self", args.tc))
        for opponent in (1600, 1800):
            listed.append(("hash-16-%d" % opponent, engine, ["Hash=16"], level_options(opponent),
                           "Solvane (Hash 16)", "Stockfish %d" % opponent, "stockfish", args.tc))
    elif args.mode == "edges":
        for tc, name in (("1+0.1", "edge-1+0.1"), ("40/10", "edge-40-in-10")):
            listed.append((name, engine, [], level_options(1500), "Solvane", "Stockfish 1500", "stockfish", tc))
    else:
        node = str(ROOT / "tests" / "web" / "solvane-node")
        listed += [("soak-full", engine, [], [], "Solvane", "Stockfish", "stockfish", args.tc),
                   ("soak-threads-2", engine, ["Threads=2"], [], "Solvane (2 threads)", "Stockfish", "stockfish",
                    args.tc),
                   ("soak-limited", engine, level_options(1000), level_options(SCALE_MIN), "Solvane 1000",
                    "Stockfish %d" % SCALE_MIN, "stockfish", args.tc),
                   ("soak-wasm", node, [], [], "Solvane (WebAssembly)", "Stockfish", "stockfish", args.tc)]
    return [m for m in listed if not args.only or m[0] in args.only]


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("mode", choices=("levels", "soak", "edges", "hash"))
    p.add_argument("engine")
    p.add_argument("--levels", type=lambda s: [int(x) for x in s.split(",")], default=[800, 1000, 1200, 1350, 1500])
    p.add_argument("--full", type=lambda s: [int(x) for x in s.split(",")], default=[1500, 1600],
                   help="the UCI_Elo values full strength is matched against")
    p.add_argument("--games", type=int)
    p.add_argument("--tc")
    p.add_argument("--concurrency", type=int, default=2)
    p.add_argument("--only", nargs="*")
    p.add_argument("--out", type=pathlib.Path, default=ROOT / "docs" / "calibration")
    args = p.parse_args()
    args.games = args.games or (200 if args.mode == "edges" else 100)
    args.tc = args.tc or ("2+0.05" if args.mode == "soak" else "10+0.1")
    args.out.mkdir(parents=True, exist_ok=True)
    table = args.out / "results.md"
    if not table.exists():
        table.write_text("| Match | Opponent | Time control | Games | Score | Elo difference [95 % interval] | Faults |\n"
                         "|---|---|---|---|---|---|---|\n")
    for name, engine, ours, opponent, player, opponent_name, kind, tc in matches(args):
        extra = ["--opponent", kind, "--name", player] + sum((["--option", o] for o in ours), [])
        row = play(args, name, engine, opponent, opponent_name, extra, tc)
        with open(table, "a") as f:
            f.write(row + "\n")
        print(row, flush=True)


if __name__ == "__main__":
    main()
