// SPDX-License-Identifier: GPL-3.0-or-later
// The page's parsers fed thousands of random and mutated inputs: a FEN or a
// PGN is refused with a reason, the game left exactly as it was, or taken
// whole; engine lines, cut, garbled or out of order, never throw and never
// give a search a line of another.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Chess } from 'chess.js';
import fc from 'fast-check';
import { Engine } from '../src/engine.js';
import { Game } from '../src/game.js';
import { updateLines } from '../src/logic.js';
import { parseInfo, parseOption } from '../src/uci.js';

const RUNS = { numRuns: 2000, seed: 20261207 };
const snapshot = (game) => JSON.stringify([game.startFen, game.moves.map((m) => m.san), game.cursor, game.headers]);

// A game of random legal moves from the start, and its SAN.
const randomGame = fc.array(fc.nat(), { maxLength: 80 }).map((picks) => {
  const chess = new Chess();
  for (const pick of picks) {
    const moves = chess.moves();
    if (!moves.length) break;
    chess.move(moves[pick % moves.length]);
  }
  return chess;
});

// Text mutated: characters replaced, cut, repeated or dropped.
const mutate = (text) => fc.array(fc.tuple(fc.nat(), fc.constantFrom('set', 'cut', 'dup', 'drop'), fc.string({ maxLength: 3 })),
  { maxLength: 4 }).map((edits) => edits.reduce((t, [at, kind, s]) => {
  const i = t.length ? at % t.length : 0;
  if (kind === 'set') return t.slice(0, i) + s + t.slice(i + 1);
  if (kind === 'cut') return t.slice(0, i);
  if (kind === 'dup') return t + t.slice(i);
  return t.slice(0, i) + t.slice(i + s.length + 1);
}, text));

// Loads the text into a game with a few moves; refused: an Error with a
// reason and the game untouched.
function load(kind, text) {
  const game = new Game();
  ['e4', 'c5', 'Nf3'].forEach((san) => game.play(san));
  const before = snapshot(game);
  try {
    game[kind](text);
  } catch (error) {
    assert.ok(error instanceof Error && error.message.length > 0, String(error));
    assert.equal(snapshot(game), before, 'a refused text changed the game');
    return null;
  }
  return game;
}

test('FENs, random and mutated: refused with a reason or taken whole', () => {
  const fens = fc.oneof(fc.string({ maxLength: 90 }), randomGame.chain((chess) => mutate(chess.fen())));
  fc.assert(fc.property(fens, (fen) => {
    const game = load('loadFen', fen);
    if (game) assert.deepEqual([game.length, game.at().fen()], [0, game.startFen]);
  }), RUNS);
});

test('PGNs with tags, comments, variations, cuts and huge move lists: refused or taken whole', () => {
  const pgns = fc.oneof(
    fc.string({ maxLength: 200 }),
    randomGame.chain((chess) => mutate(chess.pgn())),
    randomGame.map((chess) => `[Event "x"]\n[White "${'y'.repeat(5000)}"]\n\n{a comment} ${chess.pgn()} (1. d4 d5) *`),
    randomGame.map((chess) => Array(40).fill(chess.pgn({ maxWidth: 0 }).replace(/\*$/, '')).join(' ')),
  );
  fc.assert(fc.property(pgns, (pgn) => {
    const game = load('loadPgn', pgn);
    if (!game) return;
    // Taken whole: every move legal from the first position, in order.
    const replay = new Chess(game.startFen);
    for (const move of game.moves) replay.move(move.san);
    assert.equal(replay.fen(), game.fenAt(game.length));
  }), RUNS);
});

test('a PGN with an illegal move is refused', () => {
  const games = randomGame.filter((chess) => chess.history().length > 0);
  fc.assert(fc.property(games, fc.nat(), (chess, pick) => {
    const sans = chess.history();
    const at = pick % sans.length;
    const board = new Chess();
    sans.slice(0, at).forEach((san) => board.move(san));
    const illegal = ['Ke8', 'Qh9', 'Nxa1', 'O-O-O', 'e5'].find((san) => {
      try { board.move(san); return false; } catch { return true; }
    });
    fc.pre(illegal !== undefined);
    const text = sans.slice(0, at).concat(illegal, sans.slice(at + 1)).map((s, i) => (i % 2 ? '' : `${i / 2 + 1}. `) + s).join(' ');
    assert.equal(load('loadPgn', text), null, text);
  }), { ...RUNS, numRuns: 500 });
});

test('engine lines cut, garbled or out of order: no throw, each search its own lines', () => {
  globalThis.Worker = class {
    postMessage() {}

    terminate() {}
  };
  const lines = fc.oneof(
    fc.string({ maxLength: 60 }),
    fc.constantFrom('info depth 3 multipv 2 score cp 5 nodes 9 pv e2e4 e7e5 ', 'bestmove e2e4 ponder e7e5',
      'option name Pawn type spin default 100 min 0 max 1000', 'readyok', 'id name Solvane 9', 'info string x')
      .chain(mutate),
  );
  fc.assert(fc.property(fc.array(lines, { maxLength: 30 }), (received) => {
    const engine = new Engine('worker.js');
    const seen = [];
    engine.search('position startpos', 'go infinite', (info) => seen.push(info));
    let rows = [];
    for (const line of received) {
      engine.worker.onmessage({ data: { line } });
      const info = parseInfo(line);
      if (info) rows = updateLines(rows, { ...info });
      parseOption(line);
    }
    // A search gets only lines that parse; once its bestmove came, no more.
    const ended = received.findIndex((line) => line.split(' ')[0] === 'bestmove');
    const before = ended < 0 ? received : received.slice(0, ended);
    assert.equal(seen.length, before.filter((line) => line.startsWith('info') && parseInfo(line)).length);
    assert.ok(rows.every((row) => row === undefined || Number.isInteger(row.depth)));
  }), RUNS);
});
