// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own logic without a browser: engine lines read into scores, SAN
// lines and options, levels into "go" commands, the bridge's bookkeeping of
// searches, the game's endings, who may move and what take back takes,
// Chess960's start positions, FENs, castling and PGN tags (the browser test
// loads and refuses FENs and PGNs).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Engine } from '../src/engine.js';
import { Game } from '../src/game.js';
import {
  canMove, looksLikeFen, pgnHeaders, settingsOptions, takeBackPlies, turnText, updateLines,
} from '../src/logic.js';
import { boardDests, chess960Fen, chess960Rank } from '../src/rules.js';
import {
  barText, clampSpin, formatScore, goCommand, levelOptions, levelText, MOVE_TIMES, numberedLine, parseInfo, parseOption,
  pvToSan, uciMove, whiteScore, whiteShare,
} from '../src/uci.js';

const START = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';
// Chess960 castling both ways, the rooks next to the king and three files away, neither on the king's last square.
const CASTLE960 = '3rk2r/pppppppp/8/8/8/8/PPPPPPPP/3RK2R w HDhd - 0 1';

// A game loaded from a FEN (or a PGN), then the moves given, each of them legal.
function gameOf(sans, text, kind = 'loadFen', chess960 = false) {
  const game = new Game();
  if (text) game[kind](text, chess960);
  for (const san of sans.split(' ').filter(Boolean)) assert.ok(game.play(san), san);
  return game;
}

test('info lines: depth, nodes, the score from White, the line in SAN, the rows of the latest depth', () => {
  for (const [line, turn, depth, nodes, shown, share, bar] of [
    ['info depth 5 score cp 10 nodes 233333 pv e2e3 e7e5 ', 'w', 5, 233333, '+0.10', [50, 51]],
    ['info depth 4 score cp 109 nodes 9073 pv e2a6 b4c3 ', 'b', 4, 9073, '-1.09', [40, 45]],
    ['info depth 2 score cp 0 nodes 26 pv b7b8Q e8f7 ', 'b', 2, 26, '0.00', [50, 50]],
    ['info depth 3 score mate 2 nodes 812 pv d1h5 g7g6 h5e8 ', 'w', 3, 812, 'mate in 2', [100, 100]],
    ['info depth 3 score mate 2 nodes 812 pv d8h4 ', 'b', 3, 812, 'mate in -2', [0, 0]],
    ['info depth 7 score mate -3 nodes 5 pv a1a2 ', 'b', 7, 5, 'mate in 3', [100, 100]],
    ['info depth 5 score mate 0 nodes 0 pv ', 'w', 5, 0, 'checkmate', [0, 0], '0-1'],
    ['info depth 6 multipv 3 score mate 0 nodes 0 pv ', 'b', 6, 0, 'checkmate', [100, 100], '1-0'],
    ['info depth 9 multipv 2 score cp -41 nodes 99 pv e7e5 ', 'w', 9, 99, '-0.41', [45, 47]],
  ]) {
    const info = parseInfo(line);
    assert.deepEqual([info.depth, info.nodes, info.pv.join(' ')], [depth, nodes, line.split(' pv ')[1].trim()], line);
    assert.equal(info.multipv, +(/multipv (\d+)/.exec(line)?.[1] ?? 1), line);
    const score = whiteScore(info, turn);
    assert.equal(formatScore(score), shown, line);
    assert.ok(whiteShare(score) >= share[0] && whiteShare(score) <= share[1], line);
    // The bar's few characters: a mate as "#N", the result once mated.
    assert.equal(barText(score), bar ?? shown.replace(/^mate in /, '#'), line);
  }
  for (const line of ['bestmove e2e4', 'info string position refused: x', 'info depth x score cp 1 nodes 1 pv '])
    assert.equal(parseInfo(line), null, line);
  // Principal variations in SAN, numbered from their position, up to a move not legal there.
  for (const [fen, pv, line, chess960] of [
    [START, 'e2e4 e7e5 g1f3', '1. e4 e5 2. Nf3'],
    ['4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1', 'b7b8Q e8e7 e1f2 g2g1N', '1. b8=Q+ Ke7 2. Kf2 g1=N'],
    ['r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 3 30', 'e8c8 e1g1 c8b8', '30... O-O-O 31. O-O Kb8'],
    [START, 'e2e4 e2e4 d7d5', '1. e4'],
    [CASTLE960, 'e1h1 e8d8 g1h1', '1. O-O O-O-O 2. Kh1', true], // the king takes its rook
  ])
    assert.equal(numberedLine(fen, pvToSan(fen, pv.split(' '), chess960)), line);
  // Analysis rows: each line of a depth in its place, a new depth's first line starting them anew.
  const row = (depth, multipv) => ({ depth, multipv });
  let rows = [];
  for (const r of [row(4, 1), row(4, 2), row(4, 3), row(5, 1), row(5, 2)]) rows = updateLines(rows, r);
  assert.deepEqual(rows, [row(5, 1), row(5, 2)]);
  assert.deepEqual(updateLines(rows, row(5, 3)), [row(5, 1), row(5, 2), row(5, 3)]);
});

test('settings and levels: option lines read, the stamp and the options the page sets left out; go commands', () => {
  const options = ['option name Pawn type spin default 100 min 0 max 1000',
    'option name Mobility type spin default -3 min -9 max 9', 'option name Promote_in_uppercase type check default true',
    'option name Solvane 9 compile le Dec  7 2026 10:00:00 type check default false',
    'option name Ponder type check default false', 'option name Move Overhead type spin default 50 min 0 max 5000',
    'option name MultiPV type spin default 1 min 1 max 256', 'option name UCI_Chess960 type check default false',
    'option name Style type combo default A var A var B',
    'option name Pawn type spin default 100', 'option name Ponder type check default false min 0 max 1'].map(parseOption);
  assert.deepEqual(options[1], { name: 'Mobility', type: 'spin', value: -3, min: -9, max: 9 });
  assert.deepEqual(options.slice(8), [null, null, null], 'other types, and ranges on the wrong type');
  assert.deepEqual(settingsOptions(options.filter(Boolean), 'Solvane 9').map((o) => [o.name, o.value]),
    [['Pawn', 100], ['Mobility', -3], ['Promote_in_uppercase', true], ['Move Overhead', 50]]);
  assert.deepEqual(['-20', '4.6', 'x', '12'].map((text) => clampSpin(options[1], text)), [-9, 5, 0, 9]);
  // A rating limits the strength; any other level plays at full strength, one line.
  const full = { MultiPV: 1, UCI_LimitStrength: false };
  for (const [level, command, engineOptions, text] of [
    [{ kind: 'time', seconds: 0.1 }, 'go movetime 100', full, '0.1 s per move'],
    [{ kind: 'time', seconds: 10 }, 'go movetime 10000', full, '10 s per move'],
    [{ kind: 'depth', depth: 1 }, 'go depth 1', full, 'depth 1'],
    [{ kind: 'depth', depth: 12 }, 'go depth 12', full, 'depth 12'],
    [{ kind: 'strength', elo: 800 }, 'go movetime 1000', { ...full, UCI_LimitStrength: true, UCI_Elo: 800 },
      'rating 800, beginner'],
    [{ kind: 'strength', elo: null }, 'go movetime 1000', full, 'full strength'],
  ])
    assert.deepEqual([goCommand(level), levelOptions(level), levelText(level)], [command, engineOptions, text]);
  for (const seconds of MOVE_TIMES) assert.match(goCommand({ kind: 'time', seconds }), /^go movetime [1-9]\d*$/);
  for (const level of [{ kind: 'time', seconds: 0.05 }, { kind: 'time', seconds: 11 }, { kind: 'depth', depth: 0 },
    { kind: 'depth', depth: 13 }, { kind: 'depth', depth: 2.5 }, { kind: 'nodes', depth: 3 },
    { kind: 'strength', elo: 1300 }])
    assert.throws(() => goCommand(level), RangeError, JSON.stringify(level));
});

test('the bridge gives each bestmove to its search and stops only the latest', async () => {
  const posted = [];
  globalThis.Worker = class {
    postMessage = (line) => posted.push(line);
    terminate() {}
  };
  const engine = new Engine('worker.js');
  const receive = (...lines) => lines.forEach((line) => engine.worker.onmessage({ data: { line } }));
  assert.deepEqual(posted.splice(0), ['uci', 'isready']);
  const seen = [];
  const first = engine.search('position startpos', 'go infinite', (info) => seen.push(['first', info.depth]));
  const second = engine.search('position startpos moves e2e4', 'go depth 2', (info) => seen.push(['second', info.depth]));
  first.cancel();
  engine.setOption('Pawn', 120);
  receive('option name Pawn type spin default 100 min 0 max 1000');
  assert.deepEqual(engine.options, [{ name: 'Pawn', type: 'spin', value: 100, min: 0, max: 1000 }]);
  assert.deepEqual(posted.splice(0), ['position startpos', 'go infinite', 'position startpos moves e2e4', 'go depth 2']);
  receive('info depth 1 score cp 1 nodes 20 pv e2e3 ', 'bestmove e2e3', 'id name Solvane 9',
    'info depth 2 score cp 3 nodes 60 pv e7e5 g1f3 ', 'bestmove e7e5 ponder g1f3');
  assert.deepEqual([await first.done, await second.done, seen, engine.name, engine.busy],
    [undefined, 'e7e5', [['second', 2]], 'Solvane 9', false]);
  engine.search('position startpos', 'go depth 1').cancel();
  assert.deepEqual(posted.splice(0), ['setoption name Pawn value 120', 'position startpos', 'go depth 1', 'stop']);
  // An option a search asks for is sent before it, and only when its value changes.
  receive('bestmove e2e4');
  for (const lines of [3, 3, 1]) engine.search('position startpos', 'go infinite', undefined, { MultiPV: lines });
  assert.deepEqual(posted.filter((line) => line.startsWith('setoption')),
    ['setoption name MultiPV value 3', 'setoption name MultiPV value 1']);
});

test('the game: its endings, who may move, what take back takes, its PGN tags, and which text is a FEN', () => {
  for (const [game, result, reason] of [
    [gameOf('f3 e5 g4 Qh4'), '0-1', 'checkmate'],
    [gameOf('', 'k7/8/1Q6/8/8/8/8/7K b - - 0 1'), '1/2-1/2', 'stalemate'],
    [gameOf('', 'k7/8/8/8/8/8/8/6BK b - - 0 1'), '1/2-1/2', 'insufficient material'],
    [gameOf('Nf3 Nf6 Ng1 Ng8 Nf3 Nf6 Ng1 Ng8'), '1/2-1/2', 'threefold repetition'],
    [gameOf('Rc1', 'k7/8/8/8/8/8/8/1R5K w - - 99 80'), '1/2-1/2', 'the fifty-move rule'],
    [gameOf('', '[Result "0-1"]\n\n1. e4 e5 0-1', 'loadPgn'), '0-1', 'White resigns'],
    [gameOf('e4 e5')],
  ])
    assert.deepEqual(game.outcome(), result ? { result, reason } : null, reason);
  // A move played back in the game replaces the moves after it.
  const game = gameOf('e4 e5 Nf3');
  game.cursor = 1;
  game.play('c5');
  assert.equal(game.pgn({ White: 'Player' }).split('\n').slice(-1)[0], '1. e4 c5 *');
  assert.equal(game.positionCommand(), 'position startpos moves e2e4 c7c5');
  // Who may move and what the status says, at the last move or back in the game.
  game.play('Nf3');
  const view = { mode: 'play', userColor: 'b', thinking: null, choosing: false, gameRun: false };
  for (const [change, cursor, allowed, status] of [
    [{ userColor: 'w' }, 2, true, ''], // on White's move
    [{ userColor: 'w' }, 3, false, 'Solvane to move'], [{ thinking: {} }, 3, false, 'Solvane is thinking…'],
    [{ gameRun: true, mode: 'analyse' }, 3, false, ''], [{ mode: 'analyse', userColor: 'w' }, 3, true, ''],
    [{}, 3, true, 'Your move'], [{ choosing: true }, 3, false, 'Your move'],
  ]) {
    game.cursor = cursor;
    const shown = { ...view, ...change };
    assert.deepEqual([canMove(shown, game), turnText(shown, game)], [allowed, status], JSON.stringify(change));
  }
  assert.equal(canMove({ ...view, userColor: 'w' }, gameOf('f3 e5 g4 Qh4')), false, 'no move after the end');
  assert.deepEqual([takeBackPlies(game, 'b'), takeBackPlies(game, 'w'), takeBackPlies(new Game(), 'w')], [2, 1, 0]);
  game.play('Nc6');
  assert.deepEqual([takeBackPlies(game, 'b'), takeBackPlies(game, 'w')], [1, 2]);

  const tags = pgnHeaders(new Date(2026, 0, 5), 'Solvane 9', 'b', { kind: 'time', seconds: 0.5 });
  assert.deepEqual([tags.Date, tags.White, tags.Black, tags.TimeControl, tags.Level, tags.WhiteElo],
    ['2026.01.05', 'Solvane 9', 'Player', '1/0.5', '0.5 s per move', undefined]);
  const rated = pgnHeaders(new Date(2026, 0, 5), 'Solvane 9', 'w', { kind: 'strength', elo: 1000 });
  assert.deepEqual([rated.BlackElo, rated.WhiteElo, rated.Level], [1000, undefined, 'rating 1000, novice']);
  for (const [text, fen] of [[START, true], ['  7k/8/8/8/8/8/8/K7 w - -', true], ['8/8/8/8 w', false],
    ['[Event "x"]\n1. e4', false], ['1. e4 e5 *', false]])
    assert.equal(looksLikeFen(text), fen, text);
});

test('Chess960: numbered start positions, FENs read and refused, castling on the board and for the engine, PGN', () => {
  // The standard numbering; the 960 all different, each a king between its rooks and bishops on both colours.
  assert.deepEqual([0, 518, 959].map(chess960Rank), ['BBQNNRKR', 'RNBQKBNR', 'RKRNNQBB']);
  const ranks = Array.from({ length: 960 }, (_, n) => chess960Rank(n));
  assert.equal(new Set(ranks).size, 960);
  for (const rank of ranks) {
    assert.match([...rank].sort().join('') + rank, /^BBKNNQRR.*R.*K.*R/, rank);
    assert.notEqual(rank.indexOf('B') % 2, rank.lastIndexOf('B') % 2, rank);
  }
  // X-FEN or Shredder-FEN in, Shredder-FEN out; a castling right that cannot be is refused, as is Chess960's unasked.
  for (const [text, chess960, out] of [
    [chess960Fen(752), true, 'bbrknnrq/pppppppp/8/8/8/8/PPPPPPPP/BBRKNNRQ w GCgc - 0 1'],
    ['4k3/8/8/8/8/8/8/4KR1R w K - 0 1', true, '4k3/8/8/8/8/8/8/4KR1R w H - 0 1'], // the outermost rook
    ['r3k2r/8/8/8/8/8/8/R3K2R w HAha - 0 1', false, 'r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1'],
    ['bbrknnrq/pppppppp/8/8/8/8/PPPPPPPP/BBRKNNRQ w GCga - 0 1', true, /rook on a8: no black rook there$/],
    ['4k3/8/8/8/8/8/8/4KRR1 w GF - 0 1', true, /rook on f1: the king is not between its two castling rooks$/],
    ['4k3/8/8/8/8/8/4K3/R6R w HA - 0 1', true, /rook on a1: the white king is not on its first rank$/],
    [chess960Fen(752), false, /rook on c1: Chess960 castling/],
  ])
    if (out instanceof RegExp) assert.throws(() => gameOf('', text, 'loadFen', chess960), out);
    else assert.equal(gameOf('', text, 'loadFen', chess960).fenAt(), out, text);
  // Castling by the king onto its rook, or two steps toward one three files away or more; the engine's notation.
  const standard = 'r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1';
  for (const [fen, chess960, dests, moves, command] of [
    [CASTLE960, true, 'd1 f1 g1 h1', 'e1g1 e8d8', `position fen ${CASTLE960} moves e1h1 e8d8`],
    [standard, false, 'a1 c1 d1 f1 g1 h1', 'e1h1 e8c8', `position fen ${standard} moves e1g1 e8c8`],
  ]) {
    const game = gameOf('', fen, 'loadFen', chess960);
    assert.equal(boardDests(game.at()).get(moves.slice(0, 2)).sort().join(' '), dests);
    for (const move of moves.split(' ')) assert.ok(game.play(uciMove(move)), move);
    assert.deepEqual([game.moves.map((m) => m.san).join(' '), game.positionCommand()], ['O-O O-O-O', command]);
  }
  // PGN: the variant and first position in the tags, read back as written; comments and variations passed over.
  const game = gameOf('O-O O-O-O Kh1', CASTLE960, 'loadFen', true);
  const pgn = game.pgn({ Event: 'A "quoted" name' });
  for (const tag of ['Variant "Chess960"', 'SetUp "1"', `FEN "${CASTLE960}"`, 'Event "A \\"quoted\\" name"'])
    assert.ok(pgn.includes(`[${tag}]`), tag);
  const back = gameOf('', pgn, 'loadPgn');
  assert.deepEqual([back.chess960, back.startFen, back.positionCommand(), back.headers.Event],
    [true, CASTLE960, game.positionCommand(), 'A "quoted" name']);
  const text = '1. e4 {a (comment} e5 (1... c5 (1... e6) 2. Nf3) 2. Nf3 $1 Nc6!? 3. Bc4 Nf6 4. 0-0 *';
  assert.equal(gameOf('', text, 'loadPgn').moves.map((m) => m.san).join(' '), 'e4 e5 Nf3 Nc6 Bc4 Nf6 O-O');
  assert.throws(() => gameOf('', '[Variant "Atomic"]\n\n1. e4 *', 'loadPgn'), /variant Atomic is not played here/);
});
