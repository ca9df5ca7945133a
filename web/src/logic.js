// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own rules, without a browser: who may move, what "Take back"
// takes, the PGN headers of a game, which text is a FEN, and which engine
// options the settings offer. Shared by the page and its unit tests.
import { timeControlTag as clockTag } from './timing.js';
import { clampSpin, levelText, timeControlTag } from './uci.js';

// Whether the user may move on the board now. In analysis the user moves
// both sides; in a game only on their own turn, with no engine search for a
// move under way, and not past the end of a finished game.
export function canMove(view, game) {
  if (view.choosing || view.gameRun) return false;
  if (view.mode === 'analyse') return true;
  if (view.thinking || game.turnAt() !== view.userColor) return false;
  return game.cursor < game.length || !game.outcome();
}

// Whose turn the status line says it is, in a game at its last position.
export function turnText(view, game) {
  if (view.thinking) return 'Solvane is thinking…';
  if (view.mode !== 'play' || game.outcome() || game.cursor !== game.length) return '';
  return game.turnAt() === view.userColor ? 'Your move' : 'Solvane to move';
}

// The plies "Take back" removes: back to the user's move, with one move of the
// user's taken back; none when the user has no move to take back.
export function takeBackPlies(game, userColor) {
  const plies = Math.min(game.length, game.turnAt(game.length) === userColor ? 2 : 1);
  return game.moves.slice(game.length - plies).some((m) => m.color === userColor) ? plies : 0;
}

// The tags of a game played on the page, the engine's rating among them when
// its level has one, its clock's control when timed; a loaded game's own
// tags come over them.
export function pgnHeaders(date, engineName, userColor, level, control = null) {
  const two = (n) => String(n).padStart(2, '0');
  const elo = level.kind === 'strength' && level.elo !== null ? { [userColor === 'w' ? 'BlackElo' : 'WhiteElo']: level.elo } : {};
  return {
    ...elo,
    Event: 'Solvane web game',
    Site: 'Solvane web page',
    Date: `${date.getFullYear()}.${two(date.getMonth() + 1)}.${two(date.getDate())}`,
    Round: '-',
    White: userColor === 'w' ? 'Player' : engineName,
    Black: userColor === 'b' ? 'Player' : engineName,
    TimeControl: control ? clockTag(control) : timeControlTag(level),
    Level: levelText(level),
  };
}

// A FEN's first field has eight ranks; anything else pasted is read as PGN.
export function looksLikeFen(text) {
  return /^\S+(\/\S+){7}(\s|$)/.test(text.trim());
}

// Options the page sets itself: it never ponders, it asks for the lines an
// analysis shows, it plays its levels by rating, and the game says its variant.
const PAGE_OPTIONS = ['Ponder', 'MultiPV', 'UCI_LimitStrength', 'UCI_Elo', 'Seed', 'UCI_Chess960'];

// The options the settings offer: every one the engine announced but its
// build stamp (named after the engine itself) and those the page sets.
export function settingsOptions(options, engineName) {
  return options.filter((option) => !option.name.startsWith(engineName) && !PAGE_OPTIONS.includes(option.name));
}

// An analysis row for each line of the latest depth: a depth's first line
// starts the rows anew, its others take their places.
export function updateLines(rows, row) {
  if (row.multipv === 1) return [row];
  const next = rows.slice(0, row.multipv - 1);
  next[row.multipv - 1] = row;
  return next;
}

// The sound of a move: the game's end, a check, a capture or a plain move.
export function soundOf(san, ended) {
  if (ended) return 'end';
  if (san.includes('+')) return 'check';
  return san.includes('x') ? 'capture' : 'move';
}

const PIECES = { K: 'king', Q: 'queen', R: 'rook', B: 'bishop', N: 'knight' };
const SPOKEN = [[/^O-O-O/, 'castles long'], [/^O-O/, 'castles short'], [/^([KQRBN])/, (_, p) => `${PIECES[p]} `],
  [/=([QRBN])/, (_, p) => ` promotes to ${PIECES[p]}`], [/x/, ' takes '], [/\+$/, ', check'], [/#$/, ', checkmate']];

// A move in words for a screen reader: "knight takes f3, check".
export function spokenSan(san) {
  return SPOKEN.reduce((words, [pattern, by]) => words.replace(pattern, by), san).replace(/\s+/g, ' ').trim();
}

// A Chess960 start position's number from what was typed, or drawn at random when nothing was.
export const startNumber = (typed) => (typed === '' ? Math.floor(Math.random() * 960) : clampSpin({ min: 0, max: 959 }, typed));
