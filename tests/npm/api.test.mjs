// SPDX-License-Identifier: GPL-3.0-or-later
// The package's promise API on its real engine, both builds, from the
// package's folder (SOLVANE_PACKAGE, build/npm/solvane by default): requests
// in order and never interleaved, stop, refusals, the moves' case, the lines.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = fileURLToPath(new URL('../..', import.meta.url));
const folder = process.env.SOLVANE_PACKAGE || path.join(root, 'build/npm/solvane');
const { Solvane, parseInfo } = await import(pathToFileURL(path.join(folder, 'node.mjs')).href);
const MOVE = /^[a-h][1-8][a-h][1-8][qrbn]?$/;
const PROMOTION = '8/4P3/8/8/8/8/k7/7K w - - 0 1'; // e7e8q is the move at any depth

test('info lines read', () => {
  const rows = [
    ['info depth 3 multipv 2 score mate -2 nodes 99 pv e7e8Q a2b2', { depth: 3, multipv: 2, score: { mate: -2 }, nodes: 99, pv: ['e7e8q', 'a2b2'] }],
    ['info depth 1 score cp 5 lowerbound nodes 3 pv ', { depth: 1, score: { cp: 5, lowerbound: true }, nodes: 3, pv: [] }],
    ['info string position refused: no king', { string: 'position refused: no king' }],
  ];
  for (const [line, info] of rows) assert.deepEqual(parseInfo(line), info, line);
});

for (const mode of ['threads', 'single']) {
  test(`the promise API, ${mode}`, { timeout: 120000 }, async (t) => {
    const engine = await Solvane.start({ mode, threads: 2, options: { Promote_in_uppercase: true } });
    t.after(() => engine.quit());
    assert.equal(engine.mode, mode);
    assert.equal(engine.threads, mode === 'threads' ? 2 : 1);
    assert.ok(engine.options.get('multipv'), 'options as uci announced them');

    await t.test('requests made together answer in order, each its own lines', async () => {
      const depths = [[], []];
      const first = engine.bestMove('startpos', { depth: 4, onInfo: (i) => depths[0].push(i.depth) });
      const option = engine.setOption('MultiPV', 1);
      const second = engine.bestMove('startpos', { depth: 2, moves: ['e2e4'], onInfo: (i) => depths[1].push(i.depth) });
      const [a, , b] = await Promise.all([first, option, second]);
      assert.deepEqual(depths, [[4], [2]], 'a depth searched at once');
      assert.equal(a.info.depth, 4);
      assert.equal(a.move, a.info.pv[0]);
      assert.equal(b.ponder, b.info.pv[1]);
    });

    await t.test('a stopped search resolves with its bestmove; the next waits for it', async () => {
      const infos = [];
      const endless = engine.bestMove('startpos', { infinite: true, onInfo: (i) => infos.push(i) });
      const after = engine.bestMove(PROMOTION, { depth: 1 });
      while (infos.length < 3) await new Promise((r) => setTimeout(r, 20));
      await engine.stop();
      const stopped = await endless;
      assert.match(stopped.move, MOVE);
      assert.deepEqual(stopped.info, infos.filter((i) => i.score).at(-1));
      assert.equal((await after).move, 'e7e8q', 'the upper-case promotion read in lower case');
    });

    await t.test('refusals carry the engine reason; the engine goes on', async () => {
      const refused = [
        ['8/8/8/8/8/8/8/8 w - - 0 1', {}, /position refused: .*king/],
        ['startpos', { moves: ['e2e5'] }, /e2e5/],
      ];
      for (const [fen, extra, reason] of refused)
        await assert.rejects(engine.bestMove(fen, { depth: 1, ...extra }), { name: 'SolvaneError', message: reason });
      await assert.rejects(engine.setOption('Contempt', 16), /no option named Contempt/);
      await assert.rejects(async () => engine.bestMove('startpos', {}), TypeError);
      assert.match((await engine.bestMove('startpos', { nodes: 2000 })).move, MOVE);
    });

    await t.test('analyse gives the lines of the last depth, best first', async () => {
      const { move, depth, lines } = await engine.analyse('startpos', { depth: 3, multipv: 3 });
      assert.equal(depth, 3);
      assert.deepEqual(lines.map((l) => [l.depth, l.multipv]), [[3, 1], [3, 2], [3, 3]]);
      assert.equal(move, lines[0].pv[0]);
      assert.ok(lines[0].score.cp >= lines[1].score.cp && lines[1].score.cp >= lines[2].score.cp);
      const mated = await engine.analyse('k7/8/8/8/8/8/1q6/K7 w - - 0 1', { depth: 2, multipv: 2 });
      assert.deepEqual(mated.lines.map((l) => l.pv[0]), ['a1b2'], 'one line for one legal move');
      assert.equal((await engine.bestMove('k7/2K5/1Q6/8/8/8/8/8 b - - 0 1', { depth: 1 })).move, null, 'stalemate');
    });

    await t.test('quit refuses what waits', async () => {
      const waiting = engine.bestMove('startpos', { depth: 3 });
      await engine.quit();
      await assert.rejects(waiting, /quit/);
      await assert.rejects(engine.isReady(), /quit/);
    });
  });
}
