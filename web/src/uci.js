// SPDX-License-Identifier: GPL-3.0-or-later
// What the page reads from the engine's lines and what it asks of it: pure
// functions, shared by the page and its unit tests.
import { makeSanAndPlay } from 'chessops/san';
import { legalMove, readFen } from './rules.js';

// The levels offered: seconds per move, a fixed depth, or a playing strength
// by rating (UCI_Elo; none for full strength), each with a word for it.
export const MOVE_TIMES = [0.1, 0.2, 0.5, 1, 2, 3, 5, 10];
export const DEPTHS = Array.from({ length: 12 }, (_, i) => i + 1);
export const STRENGTHS = [
  { elo: 800, word: 'beginner' },
  { elo: 1000, word: 'novice' },
  { elo: 1200, word: 'casual player' },
  { elo: 1350, word: 'club player' },
  { elo: 1500, word: 'strong club player' },
  { elo: null, word: 'full strength' },
];
// A strength level thinks this long at most; its own search is smaller.
const STRENGTH_MOVETIME = 1000;
// The best lines an analysis shows.
export const LINES = [1, 2, 3, 4, 5];

// The "go" command of a level: {kind: 'time', seconds}, {kind: 'depth',
// depth} or {kind: 'strength', elo}.
export function goCommand(level) {
  if (level.kind === 'time' && level.seconds >= 0.1 && level.seconds <= 10)
    return `go movetime ${Math.round(level.seconds * 1000)}`;
  if (level.kind === 'depth' && Number.isInteger(level.depth) && level.depth >= 1 && level.depth <= 12)
    return `go depth ${level.depth}`;
  if (level.kind === 'strength' && STRENGTHS.some((s) => s.elo === level.elo)) return `go movetime ${STRENGTH_MOVETIME}`;
  throw new RangeError(`no such level: ${JSON.stringify(level)}`);
}

// How long a level's search takes at most, in seconds (Infinity for a depth).
export function levelSeconds(level) {
  if (level.kind === 'time') return level.seconds;
  return level.kind === 'strength' ? STRENGTH_MOVETIME / 1000 : Infinity;
}

// The options the engine plays a level's moves with: one line, and the
// strength limited to the level's rating when it names one.
export function levelOptions(level) {
  const elo = level.kind === 'strength' ? level.elo : null;
  return { MultiPV: 1, UCI_LimitStrength: elo !== null, ...(elo !== null && { UCI_Elo: elo }) };
}

// The PGN TimeControl tag (moves/seconds for a time per move; "-" for none)
// and a plain description.
export function timeControlTag(level) {
  if (level.kind === 'time') return `1/${level.seconds}`;
  return level.kind === 'strength' ? `1/${STRENGTH_MOVETIME / 1000}` : '-';
}
export function levelText(level) {
  if (level.kind === 'time') return `${level.seconds} s per move`;
  if (level.kind === 'depth') return `depth ${level.depth}`;
  const { word } = STRENGTHS.find((s) => s.elo === level.elo);
  return level.elo === null ? word : `rating ${level.elo}, ${word}`;
}

// "info depth D [multipv I] score cp|mate S nodes N pv m1 m2 ..." as the
// engine prints it, or null for any other line.
const INFO = /^info depth (\d+) (?:multipv (\d+) )?score (cp|mate) (-?\d+) nodes (\d+) pv ?(.*)$/;
export function parseInfo(line) {
  const m = INFO.exec(line);
  if (!m) return null;
  return {
    depth: +m[1], multipv: +(m[2] ?? 1), kind: m[3], value: +m[4], nodes: +m[5], pv: m[6].split(' ').filter(Boolean),
  };
}

// "option name N type spin default D min A max B" or "... type check default
// true|false", as "uci" announces them: {name, type, value, min, max}; null
// for any other line or type.
const OPTION = /^option name (.+?) type (spin|check) default (\S+)(?: min (-?\d+) max (-?\d+))?$/;
export function parseOption(line) {
  const m = OPTION.exec(line);
  if (!m || (m[2] === 'spin') !== (m[4] !== undefined)) return null;
  if (m[2] === 'check') return { name: m[1], type: 'check', value: m[3] === 'true' };
  return { name: m[1], type: 'spin', value: +m[3], min: +m[4], max: +m[5] };
}

// A spin option's value from what was typed: a whole number within its range.
export function clampSpin(option, text) {
  return Math.round(Math.min(option.max, Math.max(option.min, Number(text) || 0)));
}

// The score seen from White: {cp} or {mate: moves, winner: 'w'|'b'}. The
// engine scores for the side to move; "mate 0" means that side is mated.
export function whiteScore(info, turn) {
  const other = turn === 'w' ? 'b' : 'w';
  if (info.kind === 'mate') return { mate: Math.abs(info.value), winner: info.value > 0 ? turn : other };
  return { cp: turn === 'w' ? info.value : -info.value };
}

export function formatScore(score) {
  if ('mate' in score) {
    if (score.mate === 0) return 'checkmate';
    return `mate in ${score.winner === 'w' ? '' : '-'}${score.mate}`;
  }
  return pawnsText(score.cp);
}

// The same in the few characters the evaluation bar holds: "#3" when White
// mates in 3, "#-3" when Black does, the result once mated.
export function barText(score) {
  if (!('mate' in score)) return pawnsText(score.cp);
  if (score.mate === 0) return score.winner === 'w' ? '1-0' : '0-1';
  return `#${score.winner === 'w' ? '' : '-'}${score.mate}`;
}

function pawnsText(cp) {
  const pawns = cp / 100;
  return (pawns > 0 ? '+' : pawns < 0 ? '-' : '') + Math.abs(pawns).toFixed(2);
}

// White's share of the evaluation bar, 0 to 100.
export function whiteShare(score) {
  if ('mate' in score) return score.winner === 'w' ? 100 : 0;
  return 50 + 50 * Math.tanh(score.cp / 600);
}

// The score as a number of pawns for the game graph, held within ±limit.
export function graphValue(score, limit = 10) {
  if ('mate' in score) return score.winner === 'w' ? limit : -limit;
  return Math.max(-limit, Math.min(limit, score.cp / 100));
}

// "e7e8Q" -> {from: 'e7', to: 'e8', promotion: 'q'}.
export function uciMove(text) {
  const move = { from: text.slice(0, 2), to: text.slice(2, 4) };
  if (text.length > 4) move.promotion = text[4].toLowerCase();
  return move;
}

// The principal variation, in the engine's notation of the game's variant,
// in standard notation from the position searched; it stops at the first
// move that is not legal there.
export function pvToSan(fen, pv, chess960) {
  const pos = readFen(fen, chess960);
  const san = [];
  for (const text of pv) {
    const move = legalMove(pos, uciMove(text));
    if (!move) break;
    san.push(makeSanAndPlay(pos, move));
  }
  return san;
}

// The SAN line numbered from the position: "12. Nf3 Nc6 13. d4" or "12... Nc6 13. d4".
export function numberedLine(fen, san) {
  const [, turn, , , , full] = fen.split(' ');
  let number = +full || 1;
  let white = turn === 'w';
  const words = [];
  san.forEach((move, i) => {
    if (white) words.push(`${number}.`);
    else if (i === 0) words.push(`${number}...`);
    words.push(move);
    if (!white) number += 1;
    white = !white;
  });
  return words.join(' ');
}
