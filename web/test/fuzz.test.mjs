// SPDX-License-Identifier: GPL-3.0-or-later
// The page's parsers fed thousands of random and mutated inputs: a FEN or a
// PGN is refused with a reason, the game left exactly as it was, or taken
// whole; engine lines, cut, garbled or out of order, never throw and never
// give a search a line of another.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Chess } from 'chess.js';
import fc from 'fast-check';
import { Analysis } from '../src/analysis.js';
import { Engine } from '../src/engine.js';
import { Game } from '../src/game.js';
import { parseInfo } from '../src/uci.js';

const RUNS = { numRuns: 2000, seed: 20261207 };

// A game of random legal moves from the start, up to its end if it comes.
const randomGame = fc.array(fc.nat(), { maxLength: 80 }).map((picks) => {
  const chess = new Chess();
  for (const pick of picks) if (!chess.isGameOver()) chess.move(chess.moves()[pick % chess.moves().length]);
  return chess;
});

// Text edited a few times: at some place, a stretch replaced, dropped or repeated, or the rest cut off.
const edit = fc.tuple(fc.nat(), fc.oneof(fc.integer({ min: -9, max: 9 }), fc.constant(Infinity)),
  fc.string({ maxLength: 3 }));
const mutate = (text) => fc.array(edit, { maxLength: 4 }).map((edits) => edits.reduce((t, [at, skip, s]) => {
  const i = at % (t.length + 1);
  return t.slice(0, i) + s + t.slice(Math.max(0, i + skip));
}, text));

// Loads the text into a game of a few moves; refused, it is an Error with a
// reason and the game is untouched.
function load(kind, text) {
  const game = new Game();
  ['e4', 'c5', 'Nf3'].forEach((san) => game.play(san));
  const snapshot = () => JSON.stringify([game.startFen, game.moves.map((m) => m.san), game.cursor, game.headers]);
  const before = snapshot();
  try {
    game[kind](text);
    return game;
  } catch (error) {
    assert.ok(error instanceof Error && error.message.length > 0, String(error));
    assert.equal(snapshot(), before, 'a refused text changed the game');
    return null;
  }
}

test('FENs and PGNs random, mutated, with tags, comments, variations, huge move lists: refused or taken whole', () => {
  const texts = fc.oneof(
    fc.string({ maxLength: 200 }),
    randomGame.chain((chess) => mutate(chess.fen())),
    randomGame.chain((chess) => mutate(chess.pgn())),
    randomGame.map((chess) => `[Event "x"]\n[White "${'y'.repeat(5000)}"]\n\n{a comment} ${chess.pgn()} (1. d4 d5) *`),
    randomGame.map((chess) => Array(40).fill(chess.pgn({ maxWidth: 0 }).replace(/\*$/, '')).join(' ')),
  );
  fc.assert(fc.property(texts, (text) => {
    for (const kind of ['loadFen', 'loadPgn']) {
      const game = load(kind, text);
      if (!game) continue;
      // Taken whole: a FEN alone, a PGN's every move legal from its first position, in order.
      if (kind === 'loadFen') assert.equal(game.length, 0);
      const replayed = game.moves.reduce((chess, move) => (chess.move(move.san), chess), new Chess(game.startFen));
      assert.equal(replayed.fen(), game.fenAt(game.length));
    }
  }), { ...RUNS, numRuns: 3000 });
});

test('a PGN with an illegal move is refused', () => {
  const illegal = fc.constantFrom('Ke8', 'Nxa1', 'O-O-O', 'e5', 'Qxh8');
  fc.assert(fc.property(randomGame, fc.nat(), illegal, (chess, pick, bad) => {
    // In place of a move, or after the last: not legal there, nor a capture with its "x" left out (chess.js takes it).
    const sans = chess.history();
    const at = pick % (sans.length + 1);
    const board = new Chess(chess.history({ verbose: true })[at]?.before ?? chess.fen());
    fc.pre(!board.moves().some((san) => san.replace(/[x+#]/g, '') === bad.replace('x', '')));
    sans[at] = bad;
    const text = sans.map((san, i) => (i % 2 ? '' : `${i / 2 + 1}. `) + san).join(' ');
    assert.equal(load('loadPgn', text), null, text);
  }), { ...RUNS, numRuns: 500 });
});

test('engine lines cut, garbled or out of order: no throw, each search its own lines', () => {
  globalThis.Worker = class {
    postMessage() {}
    terminate() {}
  };
  const known = fc.constantFrom('info depth 3 multipv 2 score cp 5 nodes 9 pv e2e4 e7e5 ', 'bestmove e2e4 ponder e7e5',
    'option name Pawn type spin default 100 min 0 max 1000', 'readyok', 'id name Solvane 9', 'info string x');
  const lines = fc.oneof(fc.string({ maxLength: 60 }), known.chain(mutate));
  fc.assert(fc.property(fc.array(lines, { maxLength: 30 }), (received) => {
    // An analysis, as the page runs it: each line its search takes changes its rows.
    let changes = 0;
    const analysis = new Analysis(new Engine('worker.js'), () => changes++);
    analysis.analysePosition(new Game(), 3);
    changes = 0;
    for (const line of received) analysis.engine.worker.onmessage({ data: { line } });
    // A search gets only lines that parse; once its bestmove came, no more.
    const ended = received.findIndex((line) => line.split(' ')[0] === 'bestmove');
    const before = ended < 0 ? received : received.slice(0, ended);
    assert.equal(changes, before.filter((line) => line.startsWith('info') && parseInfo(line)).length);
  }), RUNS);
});
