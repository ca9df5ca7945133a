// SPDX-License-Identifier: GPL-3.0-or-later
// The page in headless Chromium, served as `make web-serve` serves it, driven
// with real mouse drags and clicks. Every wait is for a condition on the page;
// a screenshot of each step goes to build/web-test.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { Chess } from 'chess.js';
import puppeteer from 'puppeteer-core';

const root = fileURLToPath(new URL('../..', import.meta.url));
const webDir = process.env.SOLVANE_WEB_DIR || path.join(root, 'build/web');
const shots = path.join(root, 'build/web-test');
const WAIT = 120000; // slow machines are slow, not wrong

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
  const profile = mkdtempSync(path.join(tmpdir(), 'solvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
  });
  t.after(async () => {
    await browser.close();
    for (const { server } of [isolated, plain]) server.removeAllListeners('exit').kill();
    rmSync(profile, { recursive: true, force: true });
  });
  const page = await browser.newPage();
  page.setDefaultTimeout(WAIT);
  await page.setViewport({ width: 1200, height: 900 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  page.on('request', (r) => /^(data:|http:\/\/127\.0\.0\.1:)/.test(r.url()) || errors.push(`request: ${r.url()}`));

  // Past the board's 150 ms move animation, so that pieces are drawn on their squares.
  const shot = async (name) => {
    await new Promise((resolve) => setTimeout(resolve, 300));
    await page.screenshot({ path: path.join(shots, `${name}.png`) });
  };
  const text = (selector) => page.$eval(selector, (e) => e.textContent);
  const moves = () => page.$$eval('#moves button.move', (list) => list.map((b) => b.textContent));
  const until = (fn, ...args) => page.waitForFunction(fn, { timeout: WAIT, polling: 50 }, ...args);
  const state = (key) => page.$eval('body', (b, k) => b.dataset[k], key);
  // The engine has answered: this many moves listed, and no search for a move under way.
  const settled = (n) => until((n) => document.querySelectorAll('#moves button.move').length === n &&
    document.body.dataset.thinking === 'no', n);
  const centre = (square) => page.$eval('#board', (board, sq) => {
    const r = board.getBoundingClientRect();
    const [file, rank] = [sq.charCodeAt(0) - 97, Number(sq[1]) - 1];
    const [col, row] = board.classList.contains('orientation-white') ? [file, 7 - rank] : [7 - file, rank];
    return [r.left + ((col + 0.5) * r.width) / 8, r.top + ((row + 0.5) * r.height) / 8];
  }, square);
  const frame = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  async function drag(from, to) {
    await page.mouse.move(...(await centre(from)));
    await page.mouse.down();
    await frame();
    await page.mouse.move(...(await centre(to)), { steps: 12 });
    await frame();
    await page.mouse.up();
  }
  const clickClick = async (from, to) => {
    await page.mouse.click(...(await centre(from)));
    await page.mouse.click(...(await centre(to)));
  };
  async function load(value) {
    await page.$eval('#io-text', (area, v) => (area.value = v), value);
    await page.click('#load');
  }
  async function level(kind, value) {
    await page.select('#level-kind', kind);
    await page.select('#level-value', value);
  }
  const fen = async () => (await page.$eval('#copy-fen', (b) => b.click()), page.$eval('#io-text', (area) => area.value));
  // The position after the moves given, each checked legal on the way.
  const replay = (sans, from) => sans.reduce((chess, san) => (chess.move(san), chess), new Chess(from));
  const legal = async () => replay(await moves()).moves({ verbose: true }).map((m) => m.lan);

  await t.test('the engine starts; without isolation the page says why it cannot', async () => {
    await page.goto(plain.url);
    await page.waitForSelector('#isolation:not([hidden])');
    await page.goto(isolated.url);
    await until(() => document.body.dataset.engine === 'ready');
    assert.equal(await page.evaluate(() => self.crossOriginIsolated), true);
    console.log(`# page start to engine ready: ${await state('startupMs')} ms`);
    await page.click('#raw summary');
    await until(() => document.querySelector('#uci-log').textContent.includes('uciok')); // shown on "toggle", a task later
    // The settings offer what the engine announced, its build stamp and the options the page sets apart.
    const announced = (await text('#uci-log')).split('\n').map((l) => /^← option name (.+?) type /.exec(l)?.[1])
      .filter((name) => name && !name.startsWith('Solvane ') &&
        !['Ponder', 'MultiPV', 'UCI_LimitStrength', 'UCI_Elo', 'Seed'].includes(name));
    assert.deepEqual(await page.$$eval('#settings-form input', (inputs) => inputs.map((i) => i.name)), announced);
    assert.ok(announced.includes('Threads') && announced.includes('Pawn'), announced.join());
    await page.$eval('#settings-form input[name="Move Overhead"]', (input) => {
      input.value = '60000';
      input.dispatchEvent(new Event('change'));
    });
    await until(() => document.querySelector('#uci-log').textContent.includes('→ setoption name Move Overhead value 5000'));
    await shot('00-ready');
  });

  await t.test('a short game by drag and drop: every reply legal and listed', async () => {
    await level('depth', '3');
    await page.click('#new-game');
    const planned = ['e2e4', 'g1f3', 'f1c4', 'd2d3', 'b1c3'];
    for (const [i, move] of planned.entries()) {
      const choices = await legal();
      const chosen = choices.includes(move) ? move : choices[0];
      await (i === 1 ? clickClick : drag)(chosen.slice(0, 2), chosen.slice(2, 4));
      await settled(2 * i + 2);
    }
    const sans = await moves();
    const replies = (await text('#uci-log')).split('\n').filter((l) => l.startsWith('← bestmove '));
    assert.equal(replies.length, planned.length);
    replies.forEach((line, i) => {
      const uci = line.split(' ')[2];
      const move = { from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4]?.toLowerCase() };
      assert.equal(replay(sans.slice(0, 2 * i + 1)).move(move).san, sans[2 * i + 1], line);
    });
    await shot('01-play');
  });

  await t.test('the page answers while the engine thinks; take back', async () => {
    const count = (await moves()).length;
    await level('time', '10');
    const [move] = await legal();
    await drag(move.slice(0, 2), move.slice(2, 4));
    await until(() => document.body.dataset.thinking === 'yes');
    await page.click('#flip');
    await until(() => document.querySelector('#board').classList.contains('orientation-black'));
    assert.equal(await state('thinking'), 'yes', 'flipped while the engine thinks');
    await shot('02-thinking');
    await page.click('#flip');
    await page.click('#take-back');
    await settled(count);
    await page.click('#take-back');
    await settled(count - 2);
    await level('depth', '3');
  });

  await t.test('a level by rating: the engine plays at that strength, and the PGN says so', async () => {
    await level('strength', '800');
    await page.click('#new-game');
    const [move] = await legal();
    await drag(move.slice(0, 2), move.slice(2, 4));
    await settled(2);
    const log = await text('#uci-log');
    for (const line of ['→ setoption name UCI_LimitStrength value true', '→ setoption name UCI_Elo value 800'])
      assert.ok(log.includes(line), line);
    assert.match(log, /← info string UCI_Elo 800 plays line \d+ of \d+, seed \d+/);
    await page.click('#copy-pgn');
    const pgn = await page.$eval('#io-text', (area) => area.value);
    for (const tag of ['BlackElo "800"', 'Level "rating 800, beginner"']) assert.ok(pgn.includes(`[${tag}]`), tag);
    await level('depth', '3');
    await page.click('#new-game');
  });

  await t.test('a pawn promotes to the piece chosen', async () => {
    await load('7k/P6p/8/8/8/8/8/K7 w - -'); // counters may be left out
    await drag('a7', 'a8');
    await page.waitForSelector('#promotion:not([hidden])');
    await shot('03-promotion');
    await page.click('#promotion [data-piece=n]');
    await settled(2);
    assert.equal((await moves())[0], 'a8=N');
  });

  await t.test('FEN and PGN in and out; bad ones refused, the game kept', async () => {
    const pgn = '[Event "Test"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *';
    await load(pgn);
    await settled(6);
    const before = { moves: await moves(), fen: await fen() };
    for (const [bad, reason] of [
      ['rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1', /^Invalid FEN: .*invalid piece/],
      ['4k3/4R3/8/8/8/8/8/4K3 w - - 0 1', /^Invalid FEN: Black is in check/],
      ['1. e4 e5 2. Nf9 *', /^Invalid PGN/],
    ]) {
      await load(bad);
      await until(() => document.querySelector('#io-message').classList.contains('error'));
      assert.match(await text('#io-message'), reason, bad);
      assert.deepEqual({ moves: await moves(), fen: await fen() }, before, bad);
    }
    await page.click('#moves button[data-ply="3"]');
    assert.equal(await fen(), replay(before.moves.slice(0, 3)).fen());
    await page.click('#copy-pgn');
    const out = await page.$eval('#io-text', (area) => area.value);
    for (const tag of ['Event "Test"', 'White "Player"', 'Black "Solvane 1.8.5"', 'Result "*"', 'TimeControl "-"'])
      assert.ok(out.includes(`[${tag}]`), tag);
    assert.match(out, /\[Date "\d{4}\.\d\d\.\d\d"\]\n(.|\n)*\n\n1\. e4 e5 2\. Nf3 Nc6 3\. Bb5 a6 \*$/);
    await shot('04-pgn');
  });

  await t.test('an analysis shows the best lines in SAN until stopped; a click plays a line\'s move', async () => {
    await page.click('#moves button[data-ply="6"]');
    const from = await fen();
    // Rows of one completed depth, as many as the Lines setting asks for.
    const lines = async (n) => {
      await until((n) => {
        const depths = [...document.querySelectorAll('#lines-body tr')].map((tr) => tr.cells[0].textContent);
        return depths.length === n && depths.every((d) => d === depths[0] && +d >= 3);
      }, n);
      return page.$$eval('#lines-body td.pv', (cells) => cells.map((c) => c.textContent));
    };
    await page.click('#analyse');
    const sans = (await lines(3)).map((line) => line.split(' ').filter((word) => !/^\d+\.+$/.test(word)));
    for (const san of sans) assert.ok(replay(san, from).history().length >= 2, san.join(' '));
    assert.equal(new Set(sans.map((san) => san[0])).size, 3, 'three different first moves');
    assert.equal((await page.$$('#board svg.cg-shapes line')).length, 3, 'an arrow for each line');
    assert.match(await text('#eval-bar .eval-text'), /^([+-]\d+\.\d\d|0\.00|#-?\d+)$/);
    await shot('05-analysis');
    await page.select('#lines', '2');
    await lines(2);
    // Stopped, the rows stay, and stand still to be clicked.
    await page.click('#stop');
    await until(() => document.body.dataset.analysing === 'no');
    const [best] = (await text('#lines-body td.pv')).split(' ').filter((word) => !/^\d+\.+$/.test(word));
    await page.click('#lines-body tr .line-move');
    await until((n) => document.querySelectorAll('#moves button.move').length === n, 7);
    assert.equal(await fen(), replay([best], from).fen());
  });

  await t.test('a mated position: its result in the evaluation bar, which holds it', async () => {
    await load('6k1/5ppp/8/8/8/8/5PPP/r5K1 w - - 0 1');
    await page.click('#analyse');
    await until(() => document.querySelector('#eval-bar .eval-text').textContent === '0-1');
    const fits = await page.$eval('#eval-bar .eval-text', (e) => e.scrollWidth <= e.clientWidth);
    assert.ok(fits, 'the text overflows the bar');
    await shot('05-mated');
    await page.click('#stop');
    await until(() => document.body.dataset.analysing === 'no');
    await load('[Event "Test"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *');
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
    await page.select('#mode', 'analyse');
    await page.click('#analyse');
    await until(() => document.querySelectorAll('#lines-body tr').length > 0);
    await worker().evaluate(() => self.close());
    await until(() => document.body.dataset.engine === 'dead');
    const [move] = await legal();
    const count = (await moves()).length;
    await drag(move.slice(0, 2), move.slice(2, 4));
    await until((n) => document.querySelectorAll('#moves button.move').length === n, count + 1);
    await restart();
    const from = await fen();
    await until(() => document.body.dataset.analysing === 'yes' && document.querySelectorAll('#lines-body tr').length > 0);
    const line = (await text('#lines-body td.pv')).split(' ').filter((word) => !/^\d+\.+$/.test(word));
    assert.ok(replay(line, from).history().length > 0, line.join(' '));
    await page.click('#stop');
    await until(() => document.body.dataset.analysing === 'no');
    // The engine itself ends, its worker alive: its move does not come in time.
    await page.select('#mode', 'play');
    await level('time', '0.1');
    await page.select('#side', 'b');
    await worker().evaluate(() => engine.ccall('solvane_commande', null, ['string'], ['quit\n']));
    await page.click('#new-game');
    await restart();
    await settled(1);
    await shot('06-restarted');
    await page.select('#side', 'w');
    await level('depth', '3');
    await page.click('#new-game');
    await load('[Event "Test"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *');
  });

  await t.test('the whole game analysed, its graph clickable', async () => {
    await page.select('#game-depth', '2');
    await page.click('#analyse-game');
    await until(() => /analysed/.test(document.querySelector('#game-message').textContent));
    assert.equal(await page.$eval('#game-progress', (p) => p.value), 1);
    assert.equal((await page.$$('#graph rect.column')).length, 7);
    await page.click('#graph rect.column[data-ply="4"]');
    await until(() => document.querySelector('#moves [aria-current]')?.dataset.ply === '4');
    await shot('06-game-graph');
  });

  await t.test('checkmate, stalemate and resignation end the game with a banner', async () => {
    await page.select('#mode', 'play');
    for (const [position, from, to, banner] of [
      ['6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1', 'a1', 'a8', 'Checkmate: White wins (1-0)'],
      ['k7/8/3Q4/8/8/8/8/7K w - - 0 1', 'd6', 'b6', 'Stalemate: Draw (1/2-1/2)'],
    ]) {
      await load(position);
      await drag(from, to);
      await until(() => !document.querySelector('#banner').hidden);
      assert.deepEqual([await text('#banner'), await state('thinking')], [banner, 'no']);
      await shot(`07-${banner.split(':')[0].toLowerCase()}`);
    }
    await page.click('#new-game');
    await page.click('#resign');
    assert.equal(await text('#banner'), 'White resigns: Black wins (0-1)');
  });

  await t.test('a phone-sized screen holds the board', async () => {
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true }); // reloads the page
    await until(() => document.body.dataset.engine === 'ready');
    const right = await page.$eval('#board', (b) => b.getBoundingClientRect().right);
    assert.ok(right <= 390, `the board ends at ${right} px`);
    await shot('08-phone');
  });

  assert.deepEqual(errors, [], 'errors in the page, or requests to other sites');
});
