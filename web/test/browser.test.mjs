// SPDX-License-Identifier: GPL-3.0-or-later
// The page in headless Chromium, served as `make web-serve` serves it, driven
// with real mouse drags and clicks. Every wait is for a condition on the page;
// screenshots of the steps go to build/web-test.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { INITIAL_FEN } from 'chessops/fen';
import { fenAfter, kit, launch, newPage, replay, sanOf, serve } from './kit.mjs';

const OPENING = '[Event "Test"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *';

test('Solvane in the browser', { timeout: 15 * 60000 }, async (t) => {
  const [browser, isolated] = [await launch(), await serve()];
  t.after(async () => {
    await browser.close();
    isolated.kill();
  });
  const page = await newPage(browser);
  const { shot, text, log, logged, moves, until, state, settled, play, load, level, copy, legal, playAny, stop } = kit(page);
  t.afterEach((step) => shot(step.name.split(/[:;,]/)[0].replace(/\W+/g, '-')));
  const hasTags = (pgn, tags) => tags.forEach((tag) => assert.ok(pgn.includes(`[${tag}]`), tag));
  // The analysis lines in SAN without move numbers; given a number, once that many rows of one depth are shown.
  async function lines(n) {
    if (n) await until((n) => {
      const depths = [...document.querySelectorAll('#lines-body tr')].map((tr) => tr.cells[0].textContent);
      return depths.length === n && depths.every((d) => d === depths[0] && +d >= 3);
    }, n);
    const texts = await page.$$eval('#lines-body td.pv', (cells) => cells.map((c) => c.textContent));
    return texts.map((line) => line.split(' ').filter((word) => !/^\d+\.+$/.test(word)));
  }

  await t.test('the engine starts', async () => {
    await page.goto(isolated.url);
    await until(() => document.body.dataset.engine === 'ready'); // started only when cross-origin isolated
    console.log(`# page start to engine ready: ${await state('startupMs')} ms`);
    await page.click('#raw summary');
    // The log is shown on "toggle", a task later.
    await logged('uciok');
    // The settings offer what the engine announced but its build stamp, the options the page sets itself
    // and the one button, Clear Hash, which a table that only orders moves gives a page no use for.
    const announced = (await log()).match(/(?<=^← option name ).+?(?= type )/gm)
      .filter((name) => !/^(Solvane .*|Ponder|MultiPV|UCI_LimitStrength|UCI_Elo|Seed|UCI_Chess960|Clear Hash)$/.test(name));
    assert.deepEqual(await page.$$eval('#settings-form input', (inputs) => inputs.map((i) => i.name)), announced);
    assert.ok(announced.includes('Threads') && announced.includes('Pawn'), announced.join());
    await page.$eval('#settings-form input[name="Move Overhead"]',
      (input) => ((input.value = '60000'), input.dispatchEvent(new Event('change'))));
    await logged('→ setoption name Move Overhead value 5000');
  });

  await t.test('a game by drags and clicks, its replies legal; answering while thinking; take back', async () => {
    await level('depth', '3');
    await page.click('#new-game');
    for (const [i, planned] of ['e2e4', 'g1f3', 'f1c4', 'd2d3', 'b1c3'].entries()) {
      const choices = await legal();
      await play(choices.includes(planned) ? planned : choices[0], i === 1 ? 'click' : 'drag');
      await settled(2 * i + 2);
    }
    // Every bestmove is the reply listed after the user's move, and no other reply came.
    const sans = await moves();
    const replies = (await log()).match(/(?<=^← bestmove )\S+/gm);
    const played = replies.map((uci, i) => sanOf(replay(sans.slice(0, 2 * i + 1)), uci));
    assert.deepEqual(played, sans.filter((_, i) => i % 2));
    // The page answers while the engine thinks; take back.
    const count = sans.length;
    await level('time', '10');
    await playAny();
    await until(() => document.body.dataset.thinking === 'yes');
    await page.click('#flip');
    await until(() => document.querySelector('#board').classList.contains('orientation-black'));
    assert.equal(await state('thinking'), 'yes', 'flipped while the engine thinks');
    await shot('thinking');
    await page.click('#flip');
    await page.click('#take-back');
    await settled(count);
    await page.click('#take-back');
    await settled(count - 2);
  });

  await t.test('a level by rating: the engine plays at that strength, and the PGN says so', async () => {
    await level('strength', '800');
    await page.click('#new-game');
    await playAny();
    await settled(2);
    // Told both options (only then does it say so), it draws among its lines.
    assert.match(await log(), /^← info string UCI_Elo 800 plays line \d+ of \d+, seed \d+$/m);
    hasTags(await copy('pgn'), ['BlackElo "800"', 'Level "rating 800, beginner"']);
    await level('depth', '3');
  });

  await t.test('a pawn promotes to the piece chosen', async () => {
    await load('7k/P6p/8/8/8/8/8/K7 w - -'); // counters may be left out
    await play('a7a8');
    await page.waitForSelector('#promotion:not([hidden])');
    await shot('promotion');
    await page.click('#promotion [data-piece=n]');
    await settled(2);
    assert.equal((await moves())[0], 'a8=N');
  });

  await t.test('FEN and PGN in and out; bad ones refused, the game kept', async () => {
    await load(OPENING);
    await settled(6);
    const before = { moves: await moves(), fen: await copy('fen') };
    for (const [bad, reason] of [
      ['rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1', /^Invalid FEN: .*invalid piece/],
      ['4k3/4R3/8/8/8/8/8/4K3 w - - 0 1', /^Invalid FEN: Black is in check/],
      ['1. e4 e5 2. Nf9 *', /^Invalid PGN/],
      ['1. d4 d5 2. Ke3 Nf6 *', /^Invalid PGN: .*Ke3/], // an illegal move: none of the game kept
      ['bbrknnrq/pppppppp/8/8/8/8/PPPPPPPP/BBRKNNRQ w KQkq - 0 1', /^Invalid FEN: .*rook on c1: Chess960 castling/],
    ]) {
      await load(bad);
      await until(() => document.querySelector('#io-message').classList.contains('error'));
      assert.match(await text('#io-message'), reason, bad);
      assert.deepEqual({ moves: await moves(), fen: await copy('fen') }, before, bad);
    }
    await page.click('#moves button[data-ply="3"]');
    assert.equal(await copy('fen'), fenAfter(before.moves.slice(0, 3)));
    const out = await copy('pgn');
    hasTags(out, ['Event "Test"', 'White "Player"', 'Black "Solvane 1.8.5"', 'Result "*"', 'TimeControl "-"']);
    assert.match(out, /\[Date "\d{4}\.\d\d\.\d\d"\]\n(.|\n)*\n\n1\. e4 e5 2\. Nf3 Nc6 3\. Bb5 a6 \*$/);
  });

  await t.test('analyses: best lines in SAN, a line\'s move clicked, the game graph, a mate in the bar', async () => {
    await page.click('#moves button[data-ply="6"]');
    const from = await copy('fen');
    await page.click('#analyse');
    const sans = await lines(3);
    for (const san of sans) assert.ok(san.length >= 2 && replay(san, from), san.join(' '));
    assert.equal(new Set(sans.map((san) => san[0])).size, 3, 'three different first moves');
    assert.equal((await page.$$('#board svg.cg-shapes line')).length, 3, 'an arrow for each line');
    assert.match(await text('#eval-bar .eval-text'), /^([+-]\d+\.\d\d|0\.00|#-?\d+)$/);
    await shot('analysis');
    await page.select('#lines', '2');
    await lines(2);
    // Stopped, the rows stay, and stand still to be clicked.
    await stop();
    const [[best]] = await lines();
    await page.click('#lines-body tr .line-move');
    await settled(7);
    assert.equal(await copy('fen'), fenAfter([best], from));
    // The whole game analysed, its graph clickable.
    await page.select('#game-depth', '2');
    await page.click('#analyse-game');
    await until(() => /analysed/.test(document.querySelector('#game-message').textContent));
    assert.equal(await page.$eval('#game-progress', (p) => p.value), 1);
    assert.equal((await page.$$('#graph rect.column')).length, 8);
    await page.click('#graph rect.column[data-ply="4"]');
    await until(() => document.querySelector('#moves [aria-current]')?.dataset.ply === '4');
    // A mated position: its result in the evaluation bar, which holds it.
    await load('6k1/5ppp/8/8/8/8/5PPP/r5K1 w - - 0 1');
    await page.click('#analyse');
    await until(() => document.querySelector('#eval-bar .eval-text').textContent === '0-1');
    assert.ok(await page.$eval('#eval-bar .eval-text', (e) => e.scrollWidth <= e.clientWidth), 'the text overflows');
    await stop();
  });

  await t.test('Chess960: a numbered start, both castlings on the board, the engine told; X-FEN when asked', async () => {
    const rank = 'bbrknnrq/pppppppp/8/8/8/8/PPPPPPPP/BBRKNNRQ';
    const start = `${rank} w GCgc - 0 1`;
    await page.$eval('#start-number', (input) => (input.value = '752'));
    await page.click('#new-chess960');
    assert.deepEqual([await text('#variant'), await copy('fen')], ['Chess960 position 752', start]);
    // Both sides moved on the board, White's by drags and Black's by clicks: Black castles queen side, White king side.
    await page.select('#mode', 'analyse');
    const castled = 'f1e3 d8c8 e1f3 f8e6 d1g1';
    for (const [i, move] of castled.split(' ').entries()) {
      await play(move, i % 2 === 1 ? 'click' : 'drag');
      await settled(i + 1);
    }
    // Back to the game: the engine answers Black's move, a legal one, told the castlings as the king taking its rook.
    await page.select('#mode', 'play');
    await settled(6);
    await shot('chess960-castled');
    const [sans, uciLog] = [await moves(), await log()];
    assert.deepEqual(sans.slice(0, 5), ['Ne3', 'O-O-O', 'Nf3', 'Ne6', 'O-O']);
    assert.equal(sanOf(replay(sans.slice(0, 5), start), uciLog.match(/(?<=^← bestmove )\S+/gm).at(-1)), sans[5]);
    const told = `^→ setoption name UCI_Chess960 value true$[^]*^→ position fen ${start} moves ${castled}$`;
    assert.match(uciLog, new RegExp(told, 'm'));
    // A FEN of Chess960 taken when asked for (unasked, the FEN test above refuses it).
    await page.click('#io-chess960');
    await load(`${rank} w KQkq - 0 1`);
    assert.deepEqual([await text('#variant'), await copy('fen')], ['Chess960', start]);
    await page.click('#io-chess960');
    // A game of standard chess tells the engine so.
    await load(INITIAL_FEN);
    await page.click('#analyse');
    await logged('→ setoption name UCI_Chess960 value false');
    await stop();
  });

  await t.test('checkmate, stalemate and resignation end the game with a banner', async () => {
    await page.select('#mode', 'play');
    for (const [position, move, banner] of [
      ['6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1', 'a1a8', 'Checkmate: White wins (1-0)'],
      ['k7/8/3Q4/8/8/8/8/7K w - - 0 1', 'd6b6', 'Stalemate: Draw (1/2-1/2)'],
    ]) {
      await load(position);
      await play(move);
      await until(() => !document.querySelector('#banner').hidden);
      assert.deepEqual([await text('#banner'), await state('thinking')], [banner, 'no']);
      await shot(`banner-${banner.split(':')[0].toLowerCase()}`);
    }
    await page.click('#new-game');
    await page.click('#resign');
    assert.equal(await text('#banner'), 'White resigns: Black wins (0-1)');
  });

  await t.test('the page survives its engine: gone or silent, then started again', async () => {
    const worker = () => page.workers().find((w) => w.url().endsWith('/engine-worker.js'));
    const restart = async () => {
      await page.waitForSelector('#restart-engine:not([hidden])');
      assert.match(await text('#engine-status'), /^Engine stopped: /);
      await page.click('#restart-engine');
      await until(() => document.body.dataset.engine === 'ready');
    };
    // Its worker ends during an analysis: the board still takes moves, and
    // a new engine goes on analysing the position shown.
    await page.click('#analyse');
    await lines(2);
    await worker().evaluate(() => self.close());
    await until(() => document.body.dataset.engine === 'dead');
    await playAny();
    await settled(1);
    await restart();
    const from = await copy('fen');
    const [line] = await lines(2);
    assert.ok(line.length > 0 && replay(line, from), line.join(' '));
    await stop();
    // The engine itself ends, its worker alive: its move does not come in time.
    await level('time', '0.1');
    await page.select('#side', 'b');
    await worker().evaluate(() => engine.ccall('solvane_commande', null, ['string'], ['quit\n']));
    await page.click('#new-game');
    await restart();
    await settled(1);
  });

  assert.deepEqual(page.errors, [], 'errors in the page, or requests to other sites');
});
