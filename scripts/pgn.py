# SPDX-License-Identifier: GPL-3.0-or-later
"""The games of a match (tests/games/run_games.py) as PGN, their moves in
standard notation from the positions the referee described."""


def san(placement, move, legal, check, mate):
    """The move in standard notation, from the placement it is played on and the legal moves there."""
    board, rank = {}, 8
    for row in placement.split("/"):
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


def write(path, match, event):
    """Every game of the match, in the order played."""
    a = match.a
    with open(path, "w") as f:
        for g in match.games:
            tags = {"Event": event, "Round": g["number"], "White": g["white"], "Black": g["black"],
                    "Result": g["result"], "TimeControl": "%d/%s" % (a.moves_per_tc, a.tc) if a.moves_per_tc else a.tc,
                    "Termination": g["reason"]}
            # Each position: (placement, in check, legal moves); the move's notation needs the next one's too.
            p = g["positions"]
            sans = [san(p[i][0], m, p[i][2], p[i + 1][1], p[i + 1][1] and not p[i + 1][2])
                    for i, m in enumerate(g["moves"])]
            text = " ".join(("%d. " % (i // 2 + 1) if i % 2 == 0 else "") + m for i, m in enumerate(sans))
            f.write("".join('[%s "%s"]\n' % kv for kv in tags.items()) + "\n%s %s\n\n" % (text, g["result"]))
