// SPDX-License-Identifier: GPL-3.0-or-later
// The page in headless Chromium, served as `make web-serve` serves it, driven
// with real mouse drags and clicks. Every wait is for a condition on the page;
// screenshots of the steps go to build/web-test.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, rmSync } from 'node:fs';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { test } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';
import { fileURLToPath } from 'node:url';
import { Chess } from 'chessops/chess';
import { INITIAL_FEN, makeFen, parseFen } from 'chessops/fen';
import { makeSan, parseSan } from 'chessops/san';
import { makeSquare, parseUci } from 'chessops/util';
import puppeteer from 'puppeteer-core';

const root = fileURLToPath(new URL('../..', import.meta.url));
const webDir = process.env.SOLVANE_WEB_DIR || path.join(root, 'build/web');
const shots = path.join(root, 'build/web-test');
const WAIT = 120000; // slow machines are slow, not wrong
const OPENING = '[Event "Test"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *';

// web/serve.py on a free port; its first line gives the address.
function serve(...options) {
  const server = spawn('python3', [path.join(root, 'web/serve.py'), webDir, '--port', '0', '--quiet', ...options],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  server.once('exit', (code) => assert.fail(`the server ended (${code})`));
  return new Promise((resolve) =>
    createInterface({ input: server.stdout }).once('line', (line) => resolve({ server, url: line.split(' on ')[1] })));
}

test('Solvane in the browser', { timeout: 15 * 60000 }, async (t) => {
  rmSync(shots, { recursive: true, force: true });
  mkdirSync(shots, { recursive: true });
  const [isolated, plain] = [await serve(), await serve('--plain')];
  // Headless, in a profile of its own made and removed by puppeteer.
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-component-update'],
  });
  t.after(async () => {
    await browser.close();
    for (const { server } of [isolated, plain]) server.removeAllListeners('exit').kill();
  });
  const page = await browser.newPage();
  page.setDefaultTimeout(WAIT);
  await page.setViewport({ width: 1200, height: 900 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  page.on('request', (r) => /^(data:|http:\/\/127\.0\.0\.1:)/.test(r.url()) || errors.push(`request: ${r.url()}`));

  // Past the board's 150 ms move animation, so that pieces are drawn on their squares.
  const shot = (name) => sleep(300).then(() => page.screenshot({ path: path.join(shots, `${name}.png`) }));
  t.afterEach((step) => shot(step.name.split(/[:;,]/)[0].replace(/\W+/g, '-')));
  const text = (selector) => page.$eval(selector, (e) => e.textContent);
  const moves = () => page.$$eval('#moves button.move', (list) => list.map((b) => b.textContent));
  const until = (fn, ...args) => page.waitForFunction(fn, { timeout: WAIT, polling: 50 }, ...args);
  const state = (key) => page.$eval('body', (b, k) => b.dataset[k], key);
  // This many moves listed, and no search for a move under way: the engine has answered, if it had to.
  const settled = (n) => until((n) => document.querySelectorAll('#moves button.move').length === n &&
    document.body.dataset.thinking === 'no', n);
  // A square's centre on the screen, in eighths of the board from its top left corner, White at the bottom.
  const centre = (square) => page.$eval('#board', (board, sq) => {
    const [r, x, y] = [board.getBoundingClientRect(), sq.charCodeAt(0) - 96.5, 56.5 - sq.charCodeAt(1)];
    return [r.left + (x * r.width) / 8, r.top + (y * r.height) / 8];
  }, square);
  const frame = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  // A move such as "e2e4" made on the board: dragged, or clicked square by square.
  async function play(move, click = false) {
    const [from, to] = [await centre(move.slice(0, 2)), await centre(move.slice(2, 4))];
    if (click) return page.mouse.click(...from).then(() => page.mouse.click(...to));
    await page.mouse.move(...from);
    await page.mouse.down();
    await frame();
    await page.mouse.move(...to, { steps: 12 });
    await frame();
    await page.mouse.up();
  }
  const load = async (value) => (await page.$eval('#io-text', (box, v) => (box.value = v), value), page.click('#load'));
  const level = async (kind, value) => (await page.select('#level-kind', kind), page.select('#level-value', value));
  // The game's PGN or the position's FEN, as the page gives it out.
  const copy = async (what) =>
    (await page.$eval(`#copy-${what}`, (button) => button.click()), page.$eval('#io-text', (area) => area.value));
  const hasTags = (pgn, tags) => tags.forEach((tag) => assert.ok(pgn.includes(`[${tag}]`), tag));
  // The position after the moves given, each checked legal on the way; a move
  // in the engine's notation, checked legal there, in SAN.
  const replay = (sans, from = INITIAL_FEN) => sans.reduce((pos, san) => {
    const move = parseSan(pos, san);
    assert.ok(move, san);
    return (pos.play(move), pos);
  }, Chess.fromSetup(parseFen(from).unwrap()).unwrap());
  const sanOf = (pos, uci) => (assert.ok(pos.isLegal(parseUci(uci)), uci), makeSan(pos, parseUci(uci)));
  const fenAfter = (sans, from) => makeFen(replay(sans, from).toSetup());
  const legal = async () => [...replay(await moves()).allDests()]
    .flatMap(([from, tos]) => [...tos].map((to) => makeSquare(from) + makeSquare(to)));
  const playAny = async () => play((await legal())[0]);
  const stop = async () => (await page.click('#stop'), until(() => document.body.dataset.analysing === 'no'));
  // The analysis lines in SAN without move numbers; given a number, once that many rows of one depth are shown.
  async function lines(n) {
    if (n) await until((n) => {
      const depths = [...document.querySelectorAll('#lines-body tr')].map((tr) => tr.cells[0].textContent);
      return depths.length === n && depths.every((d) => d === depths[0] && +d >= 3);
    }, n);
    const texts = await page.$$eval('#lines-body td.pv', (cells) => cells.map((c) => c.textContent));
    return texts.map((line) => line.split(' ').filter((word) => !/^\d+\.+$/.test(word)));
  }

  await t.test('the engine starts; without isolation the page says why it cannot', async () => {
    await page.goto(plain.url);
    await page.waitForSelector('#isolation:not([hidden])');
    await page.goto(isolated.url);
    await until(() => document.body.dataset.engine === 'ready'); // started only when cross-origin isolated
    console.log(`# page start to engine ready: ${await state('startupMs')} ms`);
    await page.click('#raw summary');
    // The log is shown on "toggle", a task later.
    await until(() => document.querySelector('#uci-log').textContent.includes('uciok'));
    // The settings offer what the engine announced but its build stamp and the options the page sets itself.
    const announced = (await text('#uci-log')).match(/(?<=^← option name ).+?(?= type )/gm)
      .filter((name) => !/^(Solvane .*|Ponder|MultiPV|UCI_LimitStrength|UCI_Elo|Seed|UCI_Chess960)$/.test(name));
    assert.deepEqual(await page.$$eval('#settings-form input', (inputs) => inputs.map((i) => i.name)), announced);
    assert.ok(announced.includes('Threads') && announced.includes('Pawn'), announced.join());
    await page.$eval('#settings-form input[name="Move Overhead"]',
      (input) => ((input.value = '60000'), input.dispatchEvent(new Event('change'))));
    await until(() => document.querySelector('#uci-log').textContent.includes('→ setoption name Move Overhead value 5000'));
  });

  await t.test('a game by drags and clicks, its replies legal; answering while thinking; take back', async () => {
    await level('depth', '3');
    await page.click('#new-game');
    for (const [i, planned] of ['e2e4', 'g1f3', 'f1c4', 'd2d3', 'b1c3'].entries()) {
      const choices = await legal();
      await play(choices.includes(planned) ? planned : choices[0], i === 1);
      await settled(2 * i + 2);
    }
    // Every bestmove is the reply listed after the user's move, and no other reply came.
    const sans = await moves();
    const replies = (await text('#uci-log')).match(/(?<=^← bestmove )\S+/gm);
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
    assert.match(await text('#uci-log'), /^← info string UCI_Elo 800 plays line \d+ of \d+, seed \d+$/m);
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
      await play(move, i % 2 === 1);
      await settled(i + 1);
    }
    // Back to the game: the engine answers Black's move, a legal one, told the castlings as the king taking its rook.
    await page.select('#mode', 'play');
    await settled(6);
    await shot('chess960-castled');
    const [sans, log] = [await moves(), await text('#uci-log')];
    assert.deepEqual(sans.slice(0, 5), ['Ne3', 'O-O-O', 'Nf3', 'Ne6', 'O-O']);
    assert.equal(sanOf(replay(sans.slice(0, 5), start), log.match(/(?<=^← bestmove )\S+/gm).at(-1)), sans[5]);
    const told = `^→ setoption name UCI_Chess960 value true$[^]*^→ position fen ${start} moves ${castled}$`;
    assert.match(log, new RegExp(told, 'm'));
    // A FEN of Chess960 taken when asked for (unasked, the FEN test above refuses it).
    await page.click('#io-chess960');
    await load(`${rank} w KQkq - 0 1`);
    assert.deepEqual([await text('#variant'), await copy('fen')], ['Chess960', start]);
    await page.click('#io-chess960');
    // A game of standard chess tells the engine so.
    await load(INITIAL_FEN);
    await page.click('#analyse');
    await until(() => document.querySelector('#uci-log').textContent.includes('→ setoption name UCI_Chess960 value false'));
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

  await t.test('a phone-sized screen holds the board', async () => {
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true }); // reloads the page
    await until(() => document.body.dataset.engine === 'ready');
    const right = await page.$eval('#board', (b) => b.getBoundingClientRect().right);
    assert.ok(right <= 390, `the board ends at ${right} px`);
  });

  assert.deepEqual(errors, [], 'errors in the page, or requests to other sites');
});
