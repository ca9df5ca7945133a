// SPDX-License-Identifier: GPL-3.0-or-later
// The game on the page: its first position, its moves, the ply shown, how it
// ended, and its FEN and PGN in and out. chess.js keeps the rules.
import { Chess, DEFAULT_POSITION, validateFen } from 'chess.js';

const COLOR_NAMES = { w: 'White', b: 'Black' };

export class Game {
  constructor() {
    this.reset();
  }

  reset(fen = DEFAULT_POSITION, headers = {}) {
    this.startFen = fen;
    this.moves = []; // chess.js moves: san, lan, from, to, color, before, after
    this.cursor = 0; // plies shown
    this.resigned = null; // the colour that resigned
    this.headers = headers; // kept from a loaded PGN
    this.evals = []; // White's score of each position, from the game analysis
  }

  get length() {
    return this.moves.length;
  }

  // A board at a ply, with its history: repetitions and the fifty-move rule need it.
  at(ply = this.cursor) {
    const chess = new Chess(this.startFen);
    for (const move of this.moves.slice(0, ply)) chess.move(move.san);
    return chess;
  }

  fenAt(ply = this.cursor) {
    return ply === 0 ? this.startFen : this.moves[ply - 1].after;
  }

  turnAt(ply = this.cursor) {
    return this.fenAt(ply).split(' ')[1];
  }

  needsPromotion(from, to) {
    return this.at().moves({ square: from, verbose: true }).some((m) => m.to === to && m.promotion);
  }

  // Plays a move at the ply shown, dropping the moves after it; null if illegal.
  play(move) {
    let played;
    try {
      played = this.at().move(move);
    } catch {
      return null;
    }
    this.moves.splice(this.cursor);
    this.evals.splice(this.cursor + 1);
    this.resigned = null;
    this.moves.push(played);
    this.cursor = this.moves.length;
    return played;
  }

  takeBack(plies) {
    this.moves.splice(Math.max(0, this.moves.length - plies));
    this.evals.splice(this.moves.length + 1);
    this.cursor = this.moves.length;
    this.resigned = null;
  }

  // The engine's "position" command for a ply: the first position and the moves
  // since, so that the engine sees repetitions as the page does.
  positionCommand(ply = this.cursor) {
    const base = this.startFen === DEFAULT_POSITION ? 'startpos' : `fen ${this.startFen}`;
    const moves = this.moves.slice(0, ply).map((m) => m.lan);
    return `position ${base}${moves.length ? ' moves ' + moves.join(' ') : ''}`;
  }

  // How the game ended at its last move, or null: {result, reason}.
  outcome() {
    if (this.resigned)
      return { result: this.resigned === 'w' ? '0-1' : '1-0', reason: `${COLOR_NAMES[this.resigned]} resigns` };
    const chess = this.at(this.length);
    if (chess.isCheckmate()) return { result: chess.turn() === 'w' ? '0-1' : '1-0', reason: 'checkmate' };
    const draw = (reason) => ({ result: '1/2-1/2', reason });
    if (chess.isStalemate()) return draw('stalemate');
    if (chess.isInsufficientMaterial()) return draw('insufficient material');
    if (chess.isThreefoldRepetition()) return draw('threefold repetition');
    if (chess.isDrawByFiftyMoves()) return draw('the fifty-move rule');
    return null;
  }

  // A FEN (the move counters may be left out); throws with the reason, the
  // game untouched.
  loadFen(text) {
    const fields = text.trim().split(/\s+/);
    if (fields.length === 4) fields.push('0', '1');
    const fen = fields.join(' ');
    const check = validateFen(fen);
    if (!check.ok) throw new Error(check.error);
    const chess = new Chess(fen);
    const other = chess.turn() === 'w' ? 'b' : 'w';
    const [king] = chess.findPiece({ type: 'k', color: other });
    if (chess.isAttacked(king, chess.turn()))
      throw new Error(`Invalid FEN: ${COLOR_NAMES[other]} is in check but it is ${COLOR_NAMES[chess.turn()]}'s move`);
    this.reset(chess.fen());
  }

  loadPgn(text) {
    const chess = new Chess();
    try {
      chess.loadPgn(text);
    } catch (error) {
      throw new Error(`Invalid PGN: ${error.message}`);
    }
    const moves = chess.history({ verbose: true });
    const { FEN, SetUp, Result, ...headers } = chess.getHeaders();
    // chess.js fills the tags the PGN left out with question marks.
    const known = Object.entries(headers).filter(([, value]) => value && !/^[?.]*$/.test(value));
    this.reset(moves.length ? moves[0].before : chess.fen(), Object.fromEntries(known));
    this.moves = moves;
    this.cursor = moves.length;
    const outcome = this.outcome();
    // A result in the headers that the moves do not explain is a resignation.
    if (!outcome && (Result === '1-0' || Result === '0-1')) this.resigned = Result === '1-0' ? 'b' : 'w';
  }

  pgn(headers) {
    const chess = new Chess(this.startFen);
    for (const move of this.moves) chess.move(move.san);
    const outcome = this.outcome();
    const all = { ...headers, ...this.headers, Result: outcome ? outcome.result : '*' };
    for (const [key, value] of Object.entries(all)) if (value !== null && value !== undefined) chess.setHeader(key, String(value));
    return chess.pgn({ maxWidth: 80 });
  }
}
