// SPDX-License-Identifier: GPL-3.0-or-later
// A game's review without a browser: each position's winning chances from
// its score, each move's loss of them marked as an inaccuracy, a mistake or
// a blunder, each move's and each side's accuracy, and the marks as PGN
// annotations. Shared by the page and its unit tests.

// The review's fixed depth: every run reads the same scores.
export const REVIEW_DEPTH = 6;
const HELD = 1000; // centipawns; a mate counts as this

// The loss of winning chances (of 100) from which a move is marked, worst first.
export const MARKS = [
  { loss: 30, symbol: '??', nag: 4, word: 'Blunder' },
  { loss: 20, symbol: '?', nag: 2, word: 'Mistake' },
  { loss: 10, symbol: '?!', nag: 6, word: 'Inaccuracy' },
];

// White's winning chances, 0 to 100, of a score from White's side.
export function winChances(score) {
  const cp = 'mate' in score ? (score.winner === 'w' ? HELD : -HELD) : Math.max(-HELD, Math.min(HELD, score.cp));
  return 50 + 50 * (2 / (1 + Math.exp(-0.00368208 * cp)) - 1);
}

// A move's accuracy, 0 to 100, from its mover's chances before and after it.
export function moveAccuracy(before, after) {
  const accuracy = 103.1668 * Math.exp(-0.04354 * (before - after)) - 3.1669 + 1;
  return Math.max(0, Math.min(100, accuracy));
}

export const markOf = (loss) => MARKS.find((mark) => loss >= mark.loss) ?? null;

// The review of a game from the scores of its positions (White's side, one
// per ply from the first position) and the colour of each move: for each
// move its mover's loss, accuracy and mark; for each side its counts of
// marks and its accuracy, the mean of its moves' accuracies.
export function review(scores, colors) {
  const chances = scores.map(winChances);
  const moves = colors.map((color, i) => {
    const mine = (c) => (color === 'w' ? c : 100 - c);
    const [before, after] = [mine(chances[i]), mine(chances[i + 1])];
    return { ply: i + 1, color, loss: before - after, accuracy: moveAccuracy(before, after), mark: markOf(before - after) };
  });
  const sides = {};
  for (const color of ['w', 'b']) {
    const own = moves.filter((move) => move.color === color);
    const counts = Object.fromEntries(MARKS.map((mark) => [mark.word, own.filter((m) => m.mark === mark).length]));
    const accuracy = own.length ? own.reduce((sum, m) => sum + m.accuracy, 0) / own.length : null;
    sides[color] = { counts, accuracy };
  }
  return { moves, sides };
}

// The next marked move of a side after the ply given, or null: wraps around.
export function nextMarked(moves, color, ply) {
  const marked = moves.filter((move) => move.mark && move.color === color);
  return marked.find((move) => move.ply > ply) ?? marked[0] ?? null;
}

// A marked move's annotation in a PGN: its NAG and a comment naming the
// engine's move, in SAN.
export function annotation(move, bestSan) {
  if (!move?.mark) return { nag: null, comment: '' };
  const best = bestSan ? ` ${bestSan} was best.` : '';
  return { nag: move.mark.nag, comment: `${move.mark.word} (${Math.round(move.loss)} points of winning chances lost).${best}` };
}
