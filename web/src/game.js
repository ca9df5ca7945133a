// SPDX-License-Identifier: GPL-3.0-or-later
// The game on the page: its first position and variant, its moves, the ply
// shown, how it ended, and its FEN and PGN in and out. chessops keeps the
// rules (rules.js).
import { makeSanAndPlay, parseSan } from 'chessops/san';
import { makeSquare } from 'chessops/util';
import { annotation } from './marks.js';
import { readPgn, writePgn } from './pgn.js';
import { fenOf, INITIAL_FEN, legalMove, readFen, uciOf } from './rules.js';
import { clockComment, flagResult } from './timing.js';
import { pvToSan } from './uci.js';

const COLOR_NAMES = { w: 'White', b: 'Black' };

// The Variant tag: none or standard chess, or Chess960 under one of its names.
function isChess960(variant = 'Standard') {
  if (/^(chess ?960|fischer ?r?andom)$/i.test(variant)) return true;
  if (/^(standard|chess|normal|from position)$/i.test(variant)) return false;
  throw new Error(`Invalid PGN: the variant ${variant} is not played here`);
}

export class Game {
  constructor() {
    this.reset();
  }

  // chess960: castling as in Chess960, and so told to the engine. Throws
  // with the reason on a FEN refused, the game untouched.
  reset(fen = INITIAL_FEN, chess960 = false, headers = {}) {
    this.start = readFen(fen, chess960);
    this.chess960 = chess960;
    this.startFen = fenOf(this.start, chess960);
    // san, uci (the engine's notation), from, to, color, after (FEN), move (chessops'), clock (ms left, if timed)
    this.moves = [];
    this.cursor = 0; // plies shown
    this.resigned = null; // the colour that resigned
    this.flagged = null; // the colour whose time ran out
    this.headers = headers; // kept from a loaded PGN
    this.evals = []; // White's score of each position, from the game analysis
    this.bests = []; // the engine's move in each position, from the same
    this.review = null; // the marks of the review (marks.js), once reviewed
  }

  // A change of the moves: the review and the end by the clock or resignation no longer hold.
  changed() {
    this.evals.splice(this.moves.length + 1);
    this.bests.splice(this.moves.length + 1);
    Object.assign(this, { resigned: null, flagged: null, review: null });
  }

  get length() {
    return this.moves.length;
  }

  // The position at a ply (a chessops position).
  at(ply = this.cursor) {
    const pos = this.start.clone();
    for (const { move } of this.moves.slice(0, ply)) pos.play(move);
    return pos;
  }

  fenAt(ply = this.cursor) {
    return ply === 0 ? this.startFen : this.moves[ply - 1].after;
  }

  turnAt(ply = this.cursor) {
    return this.fenAt(ply).split(' ')[1];
  }

  needsPromotion(from, to) {
    return !!legalMove(this.at(), { from, to, promotion: 'q' });
  }

  // Plays a move (SAN, or {from, to, promotion} from the board or the engine)
  // at the ply shown, dropping the moves after it; null if illegal.
  play(move) {
    const pos = this.at();
    const chosen = typeof move === 'string' ? parseSan(pos, move) : legalMove(pos, move);
    if (!chosen) return null;
    const played = {
      uci: uciOf(pos, chosen, this.chess960), from: makeSquare(chosen.from), to: makeSquare(chosen.to),
      color: pos.turn[0], move: chosen,
    };
    played.san = makeSanAndPlay(pos, chosen);
    played.after = fenOf(pos, this.chess960);
    this.moves.splice(this.cursor);
    this.moves.push(played);
    this.changed();
    this.cursor = this.moves.length;
    return played;
  }

  takeBack(plies) {
    this.moves.splice(Math.max(0, this.moves.length - plies));
    this.changed();
    this.cursor = this.moves.length;
  }

  // The engine's "position" command for a ply: the first position and the moves
  // since, so that the engine sees repetitions as the page does.
  positionCommand(ply = this.cursor) {
    const base = this.startFen === INITIAL_FEN ? 'startpos' : `fen ${this.startFen}`;
    const moves = this.moves.slice(0, ply).map((m) => m.uci);
    return `position ${base}${moves.length ? ' moves ' + moves.join(' ') : ''}`;
  }

  // How the game ended at its last move, or null: {result, reason}.
  outcome() {
    if (this.resigned)
      return { result: this.resigned === 'w' ? '0-1' : '1-0', reason: `${COLOR_NAMES[this.resigned]} resigns` };
    return this.ending() ?? (this.flagged && flagResult(this.at(this.length), this.flagged));
  }

  // How the board ends the game at a ply, or null.
  ending(ply = this.length) {
    const pos = this.at(ply);
    if (pos.isCheckmate()) return { result: pos.turn === 'white' ? '0-1' : '1-0', reason: 'checkmate' };
    const draw = (reason) => ({ result: '1/2-1/2', reason });
    if (pos.isStalemate()) return draw('stalemate');
    if (pos.isInsufficientMaterial()) return draw('insufficient material');
    // The same pieces, side to move, castling rights and en passant capture.
    const key = (i) => this.fenAt(i).split(' ').slice(0, 4).join(' ');
    if (Array.from({ length: ply + 1 }, (_, i) => key(i)).filter((k) => k === key(ply)).length >= 3)
      return draw('threefold repetition');
    if (pos.halfmoves >= 100) return draw('the fifty-move rule');
    return null;
  }

  // A FEN (the move counters may be left out), read as Chess960 if asked.
  loadFen(text, chess960 = false) {
    const fields = text.trim().split(/\s+/);
    if (fields.length === 4) fields.push('0', '1');
    this.reset(fields.join(' '), chess960);
  }

  // A PGN's first position (its FEN tag, Chess960 if its Variant tag says
  // so) and moves; throws with the reason, the game untouched.
  loadPgn(text) {
    const { headers, sans } = readPgn(text);
    const { FEN, SetUp, Variant, Result, ...tags } = headers;
    const game = new Game();
    const chess960 = isChess960(Variant);
    // Tags left as question marks say nothing.
    const known = Object.entries(tags).filter(([, value]) => value && !/^[?.]*$/.test(value));
    try {
      game.reset(FEN ?? INITIAL_FEN, chess960, Object.fromEntries(known));
    } catch (error) {
      throw new Error(`Invalid PGN: ${error.message}`);
    }
    for (const san of sans)
      if (!game.play(san)) throw new Error(`Invalid PGN: no legal move ${san} at ply ${game.length + 1}`);
    Object.assign(this, game);
    // A result in the headers that the moves do not explain is a resignation.
    if (!this.outcome() && (Result === '1-0' || Result === '0-1')) this.resigned = Result === '1-0' ? 'b' : 'w';
  }

  // The PGN, the variant and first position in its tags when not standard chess's.
  pgn(headers) {
    const outcome = this.outcome();
    const tags = { ...headers, ...this.headers, Result: outcome ? outcome.result : '*' };
    if (this.chess960) tags.Variant = 'Chess960';
    if (this.chess960 || this.startFen !== INITIAL_FEN) Object.assign(tags, { SetUp: '1', FEN: this.startFen });
    const notes = this.moves.map((m, i) => {
      const mark = annotation(this.review?.moves[i], this.bests[i] && pvToSan(this.fenAt(i), [this.bests[i]], this.chess960)[0]);
      const comment = [m.clock === undefined ? '' : clockComment(m.clock), mark.comment].filter(Boolean).join(' ');
      return { nag: mark.nag, comment };
    });
    return writePgn(tags, this.startFen, this.moves.map((m) => m.san), notes);
  }
}
