// SPDX-License-Identifier: GPL-3.0-or-later
// The page's clocks, review, keyboard, sounds and accessibility in headless
// Chromium: a timed game to a fallen flag, the review of a game with a known
// blunder, moves typed and keys pressed, the sound switch, a promotion by the
// engine, and axe-core's check in play, analysis and review.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { kit, launch, newPage, serve } from './kit.mjs';

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
// Black's third move lets White mate at once.
const BLUNDER = '[Event "Blunder"]\n\n1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0';

test('clocks, review, keyboard, sounds, accessibility', { timeout: 10 * 60000 }, async (t) => {
  const [browser, host] = [await launch(), await serve()];
  t.after(async () => (await browser.close(), host.kill()));
  const page = await newPage(browser);
  // Each tone the page starts, counted.
  await page.evaluateOnNewDocument(() => {
    self.tones = 0;
    const start = OscillatorNode.prototype.start;
    OscillatorNode.prototype.start = function (...args) {
      self.tones++;
      return start.apply(this, args);
    };
  });
  const k = kit(page);
  t.afterEach((step) => k.shot(`features-${step.name.split(/[:;,]/)[0].replace(/\W+/g, '-')}`));
  // Violations axe-core finds of impact serious or critical, by rule and the elements' selectors.
  const axe = async () => {
    if (!(await page.evaluate(() => !!self.axe))) await page.evaluate(axeSource);
    const found = await page.evaluate(async () => (await axe.run(document, { resultTypes: ['violations'] })).violations);
    return found.filter((v) => ['serious', 'critical'].includes(v.impact))
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  };
  await page.goto(host.url);
  await k.ready();
  await page.click('#raw summary');

  await t.test('a timed game: the engine told the clocks, the player\'s flag falls, the PGN has them', async () => {
    await k.level('depth', '1');
    await page.select('#clock-control', 'custom');
    await page.$eval('#clock-custom', (input) => (input.value = '0.1+1')); // six seconds, one more a move
    await page.click('#new-game');
    assert.deepEqual(await page.$$eval('.clock', (c) => c.map((b) => [b.hidden, b.dataset.color])), [[false, 'b'], [false, 'w']]);
    await k.play('e2e4');
    await k.settled(2);
    assert.match(await k.log(), /^→ go wtime \d{4} btime \d{4} winc 1000 binc 1000 depth 1$/m);
    // The player's clock runs, the engine's does not.
    const black = await k.text('#clock-top .clock-time');
    await k.until(() => document.querySelector('#clock-bottom').classList.contains('low'));
    assert.equal(await k.text('#clock-top .clock-time'), black);
    await page.waitForSelector('#banner:not([hidden])', { timeout: 15000 });
    assert.equal(await k.text('#banner'), "White's time is up: Black wins (0-1)");
    assert.match(await k.text('#announce'), /White's time is up/);
    const pgn = await k.copy('pgn');
    assert.match(pgn, /\[TimeControl "6\+1"\]/);
    assert.match(pgn, /^1\. e4 \{\[%clk 0:00:0\d\]\} 1\.\.\. \S+ \{\[%clk 0:00:0[67]\]\} 0-1$/m);
    // Take back: the game goes on, the player's clock as it was before the move.
    await page.click('#take-back');
    await k.settled(0);
    assert.ok(await page.$eval('#banner', (b) => b.hidden));
    assert.match(await k.text('#clock-bottom .clock-time'), /^0:0(6\.0|5\.\d)$/, 'running again from six seconds');
    await page.select('#clock-control', '');
    await page.click('#new-game');
    assert.ok(await page.$eval('#clock-top', (c) => c.hidden), 'no clock');
  });

  await t.test('moves typed in SAN and UCI, keys, the live region, the sound switch remembered', async () => {
    const tones = () => page.evaluate(() => self.tones);
    const type = async (text) => (await page.click('#move-input', { clickCount: 3 }), page.type('#move-input', `${text}\n`));
    const before = await tones();
    await type('Nf3');
    await k.settled(2);
    assert.match(await k.text('#announce'), /^Solvane played \S/);
    assert.ok((await tones()) > before, 'a sound for each move');
    await type('e2e5');
    assert.equal(await k.text('#move-message'), 'No legal move "e2e5" here.');
    await type('e2e4');
    await k.settled(4);
    assert.deepEqual((await k.moves()).filter((_, i) => i % 2 === 0), ['Nf3', 'e4']);
    await page.click('#sounds');
    const quiet = await tones();
    await page.click('#turn-status'); // away from the fields, where keys step through the game
    for (const [key, ply] of [['ArrowLeft', '3'], ['Home', undefined], ['ArrowRight', '1'], ['End', '4']]) {
      await page.keyboard.press(key);
      assert.equal(await page.$eval('#moves', (l) => l.querySelector('[aria-current]')?.dataset.ply), ply, key);
    }
    await page.keyboard.press('f');
    assert.ok(await page.$eval('#board', (b) => b.classList.contains('orientation-black')), 'flipped');
    await page.keyboard.press('f');
    await type('d4');
    await k.settled(6);
    assert.equal(await tones(), quiet, 'sounds off');
    await k.reload();
    await k.ready();
    assert.equal(await page.$eval('#sounds', (box) => box.checked), false, 'the switch remembered');
    await page.click('#sounds');
  });

  await t.test('a promotion played by the engine', async () => {
    await page.click('#raw summary');
    await k.load('k7/8/8/8/8/8/1p6/7K w - - 0 1');
    await k.play('h1g2');
    await k.settled(2);
    assert.match((await k.moves())[1], /^b1=[QR]\+?$/);
  });

  await t.test('no serious accessibility fault in play and in analysis', async () => {
    assert.deepEqual(await axe(), []);
    await page.click('#analyse');
    await k.until(() => document.querySelectorAll('#lines-body tr').length === 3);
    assert.deepEqual(await axe(), []);
    await k.stop();
  });

  await t.test('review: the blunder marked, Solvane\'s move shown, counts, the same scores again, NAGs, cancel', async () => {
    await k.load(BLUNDER);
    const review = async () => {
      await page.click('#review');
      await k.until(() => /reviewed/.test(document.querySelector('#game-message').textContent));
      return page.$eval('#graph polyline', (line) => line.getAttribute('points'));
    };
    const curve = await review();
    assert.deepEqual(await page.$$eval('#moves .mark', (m) => m.map((e) => e.parentNode.dataset.ply + e.textContent)),
      ['6??']);
    assert.equal(await page.$$eval('#graph circle.mark', (c) => c.length), 1);
    const summary = await page.$$eval('#review-summary tbody tr', (rows) => rows.map((r) => r.textContent));
    assert.match(summary[1], /^Black100/);
    await page.select('#review-side', 'b');
    await page.click('#next-mistake');
    assert.match(await k.text('#review-hint'), /^3\.\.\. Nf6\?\?: blunder\. Solvane preferred 3\.\.\. (\S+)\.$/);
    assert.equal(await page.$eval('#moves', (l) => l.querySelector('[aria-current]').dataset.ply), '5');
    assert.equal((await page.$$('#board svg.cg-shapes line')).length, 2, 'the engine\'s move and the blunder');
    assert.match(await k.copy('pgn'), /3\.\sBc4\sNf6\s\$4\s\{Blunder\s\(\d+\spoints\sof\swinning\schances\slost\)\.\s\S+\swas\sbest\.\}/);
    assert.deepEqual(await axe(), []);
    assert.equal(await review(), curve, 'the same scores');
    await page.click('#review');
    await page.click('#stop');
    await k.until(() => document.querySelector('#game-message').textContent === 'Game analysis stopped.');
  });

  assert.deepEqual(page.errors, []);
});
