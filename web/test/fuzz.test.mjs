// SPDX-License-Identifier: GPL-3.0-or-later
// The page's parsers fed thousands of random and mutated inputs: a FEN or a
// PGN is refused with a reason, the game left exactly as it was, or taken
// whole; engine lines, cut, garbled or out of order, never throw and never
// give a search a line of another.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Chess } from 'chessops/chess';
import { makeFen, parseFen } from 'chessops/fen';
import { makeSan, parseSan } from 'chessops/san';
import fc from 'fast-check';
import { Analysis } from '../src/analysis.js';
import { Engine } from '../src/engine.js';
import { Game } from '../src/game.js';
import { boardDests, chess960Fen } from '../src/rules.js';
import { numberedLine, parseInfo } from '../src/uci.js';

const RUNS = { numRuns: 2000, seed: 20261207 };

// The board's moves of a position, promotions to a queen.
const movesOf = (game) => [...boardDests(game.at())].flatMap(([from, tos]) => tos.map((to) =>
  ({ from, to, promotion: game.needsPromotion(from, to) ? 'q' : undefined })));

// A game of random legal moves, from the start or from a Chess960 start
// position, up to its end if it comes.
const randomGame = (numbers = fc.constant(null)) => fc.tuple(numbers, fc.array(fc.nat(), { maxLength: 80 }))
  .map(([number, picks]) => {
    const game = new Game();
    if (number !== null) game.reset(chess960Fen(number), true);
    for (const pick of picks) {
      if (game.outcome()) break;
      const moves = movesOf(game);
      game.play(moves[pick % moves.length]);
    }
    return game;
  });
const anyGame = randomGame(fc.option(fc.integer({ min: 0, max: 959 }), { nil: null }));
const movetext = (game) => numberedLine(game.startFen, game.moves.map((m) => m.san));

// Text edited a few times: at some place, a stretch replaced, dropped or repeated, or the rest cut off.
const edit = fc.tuple(fc.nat(), fc.oneof(fc.integer({ min: -9, max: 9 }), fc.constant(Infinity)),
  fc.string({ maxLength: 3 }));
const mutate = (text) => fc.array(edit, { maxLength: 4 }).map((edits) => edits.reduce((t, [at, skip, s]) => {
  const i = at % (t.length + 1);
  return t.slice(0, i) + s + t.slice(Math.max(0, i + skip));
}, text));

// Loads the text into a game of a few moves; refused, it is an Error with a
// reason and the game is untouched.
function load(kind, text, chess960) {
  const game = new Game();
  ['e4', 'c5', 'Nf3'].forEach((san) => game.play(san));
  const snapshot = () =>
    JSON.stringify([game.startFen, game.chess960, game.moves.map((m) => m.san), game.cursor, game.headers]);
  const before = snapshot();
  try {
    game[kind](text, chess960);
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
    anyGame.chain((game) => mutate(game.fenAt(game.length))),
    anyGame.chain((game) => mutate(game.pgn({}))),
    anyGame.map((game) => `[Event "x"]\n[White "${'y'.repeat(5000)}"]\n\n{a comment} ${game.pgn({})} (1. d4 d5) *`),
    randomGame().map((game) => Array(40).fill(movetext(game)).join(' ')),
  );
  fc.assert(fc.property(texts, (text) => {
    for (const [kind, chess960] of [['loadFen', false], ['loadFen', true], ['loadPgn']]) {
      const game = load(kind, text, chess960);
      if (!game) continue;
      // Taken whole: a FEN alone, a PGN's every move legal from its first position, in order.
      if (kind === 'loadFen') assert.equal(game.length, 0);
      const replayed = Chess.fromSetup(parseFen(game.startFen).unwrap()).unwrap();
      for (const { san } of game.moves) replayed.play(parseSan(replayed, san));
      assert.equal(makeFen(replayed.toSetup()), makeFen(parseFen(game.fenAt(game.length)).unwrap()));
    }
  }), { ...RUNS, numRuns: 3000 });
});

test('a PGN with an illegal move is refused', () => {
  const illegal = fc.constantFrom('Ke8', 'Nxa1', 'O-O-O', 'e5', 'Qxh8');
  fc.assert(fc.property(randomGame(), fc.nat(), illegal, (game, pick, bad) => {
    // In place of a move, or after the last: not legal there, nor a capture with its "x" left out (chessops takes it).
    const sans = game.moves.map((m) => m.san);
    const at = pick % (sans.length + 1);
    const pos = game.at(at);
    const legal = [...pos.allDests()].flatMap(([from, tos]) => [...tos].map((to) => makeSan(pos, { from, to })));
    fc.pre(!legal.some((san) => san.replace(/[x+#]/g, '') === bad.replace('x', '')));
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
