// SPDX-License-Identifier: GPL-3.0-or-later
// Clocks, the review's marks and the keyboard's moves without a browser:
// clock arithmetic and its texts, a fallen flag's result, winning chances
// and accuracy, the marks and their thresholds, the PGN's clocks and
// annotations, moves typed, and a move's sound and words.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Game } from '../src/game.js';
import { pgnHeaders, soundOf, spokenSan } from '../src/logic.js';
import { markOf, moveAccuracy, nextMarked, review, winChances } from '../src/marks.js';
import { readFen, typedMove } from '../src/rules.js';
import { Clock, clockComment, clockText, flagResult, parseControl } from '../src/timing.js';
import { uciMove } from '../src/uci.js';

const near = (actual, expected, what) => assert.ok(Math.abs(actual - expected) < 0.01, `${what}: ${actual}`);

test('clocks: controls, the running side, increments, the flag, the engine told, texts and PGN comments', () => {
  for (const [text, control] of [['3+2', { base: 180000, increment: 2000 }], ['0.1+0', { base: 6000, increment: 0 }],
    [' 15 + 10 ', { base: 900000, increment: 10000 }], ['0+5', null], ['3', null], ['x+1', null], ['601+0', null]])
    assert.deepEqual(parseControl(text), control, text);
  const clock = new Clock({ base: 60000, increment: 2000 });
  clock.start('w', 1000);
  assert.deepEqual([clock.remaining('w', 4000), clock.remaining('b', 4000), clock.flagged(4000)], [57000, 60000, null]);
  assert.equal(clock.press('w', 6000), 57000, 'five seconds used, two given back');
  assert.equal(clock.goWords(16000), 'wtime 57000 btime 50000 winc 2000 binc 2000');
  assert.deepEqual([clock.flagged(65999), clock.flagged(66000)], [null, 'b']);
  clock.stop(30000);
  assert.deepEqual([clock.remaining('b', 90000), clock.flagged(90000)], [36000, null], 'a stopped clock stands still');
  clock.set({ w: 10, b: 20 });
  clock.start('b', 0);
  assert.deepEqual([clock.flagged(19), clock.flagged(20), clock.remaining('w', 20)], [null, 'b', 10]);
  for (const [ms, shown, comment] of [[298700, '4:58', '[%clk 0:04:58]'], [9340, '0:09.3', '[%clk 0:00:09]'],
    [3723000, '1:02:03', '[%clk 1:02:03]'], [-50, '0:00.0', '[%clk 0:00:00]'], [10000, '0:10', '[%clk 0:00:10]']])
    assert.deepEqual([clockText(ms), clockComment(ms)], [shown, comment], `${ms}`);
  const tags = pgnHeaders(new Date(2026, 0, 5), 'Solvane', 'w', { kind: 'depth', depth: 3 }, parseControl('3+2'));
  assert.equal(tags.TimeControl, '180+2');
});

test('a fallen flag loses, unless the other side cannot mate', () => {
  for (const [fen, flagged, result] of [
    ['4k3/8/8/8/8/8/8/4KQ2 w - - 0 1', 'w', '1/2-1/2'], // Black has a lone king
    ['4k2r/8/8/8/8/8/8/4K3 w - - 0 1', 'w', '0-1'],
    ['4k3/4p3/8/8/8/8/8/4KN2 b - - 0 1', 'b', '1-0'], // a knight mates a king hemmed in by its own pawn
    ['4k3/8/8/8/8/8/8/4KN2 b - - 0 1', 'b', '1/2-1/2'],
    ['4k3/8/8/8/8/8/8/2B1KB2 b - - 0 1', 'b', '1-0'], // bishops on both colours
  ])
    assert.equal(flagResult(readFen(fen), flagged).result, result, fen);
  const game = new Game();
  game.loadFen('4k3/8/8/8/8/8/8/4KQ2 w - - 0 1');
  game.flagged = 'w';
  assert.deepEqual(game.outcome(), { result: '1/2-1/2', reason: "White's time is up, but the other side cannot mate" });
  game.play('Qf7+');
  assert.equal(game.outcome(), null, 'a move made takes the flag back');
});

test('review: winning chances, accuracy, the marks at their thresholds, each side, the next marked move', () => {
  for (const [score, chances] of [[{ cp: 0 }, 50], [{ cp: 100 }, 59.1], [{ cp: -100 }, 40.9], [{ cp: 1000 }, 97.54],
    [{ cp: 4000 }, 97.54], [{ mate: 3, winner: 'w' }, 97.54], [{ mate: 0, winner: 'b' }, 2.46]])
    assert.ok(Math.abs(winChances(score) - chances) < 0.01, `${JSON.stringify(score)}: ${winChances(score)}`);
  for (const [before, after, accuracy] of [[50, 50, 100], [50, 80, 100], [60, 30, 25.78], [90, 10, 1.0012], [55, 50, 80.82]])
    near(moveAccuracy(before, after), accuracy, `${before} to ${after}`);
  for (const [loss, symbol] of [[9.99, null], [10, '?!'], [19.99, '?!'], [20, '?'], [29.99, '?'], [30, '??'], [80, '??']])
    assert.equal(markOf(loss)?.symbol ?? null, symbol, `${loss}`);
  // 1. nothing lost, 1... a blunder, 2. an inaccuracy, 2... a mate found, then 3. White, lost already, is mated.
  const scores = [{ cp: 30 }, { cp: 30 }, { cp: 500 }, { cp: 250 }, { mate: 1, winner: 'b' }, { mate: 0, winner: 'b' }];
  const { moves, sides } = review(scores, ['w', 'b', 'w', 'b', 'w']);
  assert.deepEqual(moves.map((m) => m.mark?.symbol ?? ''), ['', '??', '?!', '', '']);
  assert.deepEqual(moves.map((m) => Math.round(m.loss)), [0, 34, 15, -69, 0]);
  assert.deepEqual(sides.b.counts, { Blunder: 1, Mistake: 0, Inaccuracy: 0 });
  near(sides.b.accuracy, (moves[1].accuracy + moves[3].accuracy) / 2, 'the mean of its moves');
  assert.deepEqual([0, 3, 5].map((ply) => nextMarked(moves, 'w', ply)?.ply), [3, 3, 3], 'from the ply shown, round');
  assert.deepEqual([nextMarked(moves, 'b', 2).ply, nextMarked(moves.slice(0, 1), 'b', 0)], [2, null]);
  assert.equal(review([{ cp: 0 }], []).sides.w.accuracy, null);
});

test('the PGN: each move\'s clock, the marks as NAGs and comments naming the engine\'s move', () => {
  const game = new Game();
  for (const san of ['e4', 'e5', 'Qh5', 'Nc6', 'Bc4', 'Nf6', 'Qxf7']) game.play(san);
  game.moves.forEach((move, i) => (move.clock = 300000 - 1000 * i));
  const scores = [0, 0, 0, 0, -10, -10, 1000, { mate: 0, winner: 'w' }].map((cp) => (typeof cp === 'number' ? { cp } : cp));
  game.review = review(scores, game.moves.map((m) => m.color));
  game.bests[5] = 'g7g6';
  assert.equal(game.pgn({}).split('\n\n')[1], [
    '1. e4 {[%clk 0:05:00]} 1... e5 {[%clk 0:04:59]} 2. Qh5 {[%clk 0:04:58]} 2... Nc6',
    '{[%clk 0:04:57]} 3. Bc4 {[%clk 0:04:56]} 3... Nf6 $4 {[%clk 0:04:55] Blunder (48',
    'points of winning chances lost). g6 was best.} 4. Qxf7# {[%clk 0:04:54]} 1-0'].join('\n'));
  // Read back, the comments and NAGs are passed over.
  const back = new Game();
  back.loadPgn(game.pgn({}));
  assert.deepEqual(back.moves.map((m) => m.san), game.moves.map((m) => m.san));
});

test('moves typed in SAN or the engine\'s notation; a move\'s sound and words', () => {
  const promoting = readFen('8/4P1k1/8/8/8/8/8/K7 w - - 0 1');
  for (const [pos, text, move] of [
    [readFen('rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'), 'Nf3', 'g1f3'],
    [readFen('rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'), ' g1f3 ', 'g1f3'],
    [readFen('rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'), 'e2e5', null],
    [readFen('rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'), 'Nf6', null],
    [readFen('r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1'), '0-0-0', 'e1a1'],
    [readFen('r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1'), 'O-O+', 'e1h1'],
    [promoting, 'e8=N', 'e7e8n'], [promoting, 'e7e8q', 'e7e8q'], [promoting, 'E7E8Q', 'e7e8q'], [promoting, 'e7e8', null],
  ]) {
    const found = typedMove(pos, text);
    assert.equal(found && found.from + found.to + (found.promotion ?? ''), move, text);
  }
  // The engine's promotions in either case.
  assert.deepEqual([uciMove('e7e8q'), uciMove('e7e8Q')].map((m) => m.promotion), ['q', 'q']);
  for (const [san, ended, sound, words] of [['e4', false, 'move', 'e4'], ['Nxf3+', false, 'check', 'knight takes f3, check'],
    ['exd5', false, 'capture', 'e takes d5'], ['O-O-O', false, 'move', 'castles long'],
    ['bxa8=Q#', true, 'end', 'b takes a8 promotes to queen, checkmate'], ['Kh1', true, 'end', 'king h1']])
    assert.deepEqual([soundOf(san, ended), spokenSan(san)], [sound, words], san);
});
