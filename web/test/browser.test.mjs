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

function serve() {
  const server = spawn('python3', [path.join(root, 'web/serve.py'), webDir, '--port', '0', '--quiet'], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  return new Promise((resolve, reject) => {
    createInterface({ input: server.stdout }).once('line', (line) => resolve({ server, url: line.split(' on ')[1] }));
    server.once('exit', (code) => reject(new Error(`the server ended (${code})`)));
  });
}

test('Solvane in the browser', { timeout: 15 * 60000 }, async (t) => {
  mkdirSync(shots, { recursive: true });
  const { server, url } = await serve();
  const profile = mkdtempSync(path.join(tmpdir(), 'solvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
  });
  t.after(async () => {
    await browser.close();
    server.kill();
    rmSync(profile, { recursive: true, force: true });
  });
  const page = await browser.newPage();
  page.setDefaultTimeout(WAIT);
  await page.setViewport({ width: 1200, height: 900 });
  const errors = [];
  const foreign = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  page.on('request', (request) => request.url().startsWith(url) || request.url().startsWith('data:') ||
    foreign.push(request.url()));

  const shot = (name) => page.screenshot({ path: path.join(shots, `${name}.png`) });
  const text = (selector) => page.$eval(selector, (e) => e.textContent);
  const moves = () => page.$$eval('#moves button.move', (list) => list.map((b) => b.textContent));
  const until = (fn, ...args) => page.waitForFunction(fn, { timeout: WAIT, polling: 50 }, ...args);
  // The engine has answered: this many moves, and no search for a move under way.
  const settled = (count) =>
    until((n) => document.querySelectorAll('#moves button.move').length === n &&
      document.body.dataset.thinking === 'no', count);
  const centre = (square) => page.$eval('#board', (board, sq) => {
    const r = board.getBoundingClientRect();
    const white = board.classList.contains('orientation-white');
    const file = sq.charCodeAt(0) - 97, rank = Number(sq[1]) - 1;
    const [col, row] = white ? [file, 7 - rank] : [7 - file, rank];
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
  async function clickClick(from, to) {
    await page.mouse.click(...(await centre(from)));
    await page.mouse.click(...(await centre(to)));
  }
  async function load(textToLoad) {
    await page.$eval('#io-text', (area, value) => (area.value = value), textToLoad);
    await page.click('#load');
  }
  async function level(kind, value) {
    await page.select('#level-kind', kind);
    await page.select('#level-value', value);
  }
  const fen = async () => {
    await page.click('#copy-fen');
    return page.$eval('#io-text', (area) => area.value);
  };
  // The position after the listed moves, each checked legal on the way.
  const replay = (sans, from) => sans.reduce((chess, san) => (chess.move(san), chess), new Chess(from));

  await t.test('the engine starts', async () => {
    await page.goto(url);
    await until(() => document.body.dataset.engine === 'ready');
    assert.equal(await page.evaluate(() => self.crossOriginIsolated), true);
    console.log(`# page start to engine ready: ${await page.$eval('body', (b) => b.dataset.startupMs)} ms`);
    await page.click('#raw summary');
    await shot('01-ready');
  });

  await t.test('a short game by drag and drop: every reply legal and listed', async () => {
    await level('depth', '3');
    await page.click('#new-game');
    const planned = ['e2e4', 'g1f3', 'f1c4', 'd2d3', 'b1c3'];
    for (let i = 0; i < planned.length; i++) {
      const chess = replay(await moves());
      const legal = chess.moves({ verbose: true }).map((m) => m.lan);
      const move = legal.includes(planned[i]) ? planned[i] : legal[0];
      await (i === 1 ? clickClick : drag)(move.slice(0, 2), move.slice(2, 4));
      await settled(2 * i + 2);
    }
    const sans = await moves();
    const replies = (await text('#uci-log')).split('\n').filter((l) => l.startsWith('← bestmove ')).map((l) => l.split(' ')[2]);
    assert.equal(replies.length, planned.length);
    replies.forEach((uci, i) => {
      const before = replay(sans.slice(0, 2 * i + 1));
      assert.equal(before.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4]?.toLowerCase() }).san,
        sans[2 * i + 1], `reply ${i + 1}`);
    });
    await shot('02-play');
  });

  await t.test('the page answers while the engine thinks; take back', async () => {
    const count = (await moves()).length;
    await level('time', '10');
    const chess = replay(await moves());
    const move = chess.moves({ verbose: true })[0].lan;
    await drag(move.slice(0, 2), move.slice(2, 4));
    await until(() => document.body.dataset.thinking === 'yes');
    await page.click('#flip');
    await until(() => document.querySelector('#board').classList.contains('orientation-black'));
    assert.equal(await page.$eval('body', (b) => b.dataset.thinking), 'yes', 'flipped while the engine thinks');
    await shot('03-thinking');
    await page.click('#flip');
    await page.click('#take-back');
    await settled(count);
    await page.click('#take-back');
    await settled(count - 2);
    await level('depth', '3');
  });

  await t.test('a pawn promotes to the piece chosen', async () => {
    await load('7k/P6p/8/8/8/8/8/K7 w - - 0 1');
    await drag('a7', 'a8');
    await page.waitForSelector('#promotion:not([hidden])');
    await shot('04-promotion');
    await page.click('#promotion [data-piece=n]');
    await settled(2);
    assert.equal((await moves())[0], 'a8=N');
  });

  await t.test('FEN and PGN in and out; bad ones refused, the game kept', async () => {
    const pgn = '[Event "Test"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *';
    await load(pgn);
    await settled(6);
    const before = { moves: await moves(), fen: await fen() };
    assert.deepEqual(before.moves, ['e4', 'e5', 'Nf3', 'Nc6', 'Bb5', 'a6']);
    for (const [bad, reason] of [
      ['rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1', /^Invalid FEN: .*invalid piece/],
      ['4k3/8/8/8/8/8/8/4KR2 w - - 0 1 moves', /^Invalid FEN/],
      ['4k3/4R3/8/8/8/8/8/4K3 w - - 0 1', /^Invalid FEN: Black is in check/],
      ['1. e4 e5 2. Nf9 *', /^Invalid PGN/],
    ]) {
      await load(bad);
      await until(() => document.querySelector('#io-message').classList.contains('error'));
      assert.match(await text('#io-message'), reason, bad);
      assert.deepEqual({ moves: await moves(), fen: await fen() }, before, bad);
    }
    await load('rnbqkb1r/pppp1ppp/5n2/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -');
    await until(() => document.querySelectorAll('#moves button.move').length === 0);
    assert.equal(await fen(), 'rnbqkb1r/pppp1ppp/5n2/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 0 1');
    await load(pgn);
    await settled(6);
    await page.click('#moves button[data-ply="3"]');
    assert.equal(await fen(), replay(before.moves.slice(0, 3)).fen());
    await page.click('#copy-pgn');
    const out = await page.$eval('#io-text', (area) => area.value);
    for (const tag of ['White "Player"', 'Black "Solvane 1.8.5"', 'Result "*"', 'TimeControl "-"', 'Level "depth 3"'])
      assert.ok(out.includes(`[${tag}]`), tag);
    assert.match(out, /\[Date "\d{4}\.\d\d\.\d\d"\]/);
    assert.ok(out.endsWith('1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *'), out);
    await shot('05-pgn');
  });

  await t.test('an analysis runs until stopped and shows its line in SAN', async () => {
    const from = await fen();
    await page.click('#analyse');
    await until(() => document.querySelectorAll('#lines-body tr').length >= 3);
    const line = await page.$eval('#lines-body tr td.pv', (td) => td.textContent);
    const sans = line.split(' ').filter((word) => !/^\d+\.+$/.test(word));
    assert.ok(sans.length >= 3 && replay(sans, from), line);
    assert.ok(await page.$('#board svg.cg-shapes line'), 'the best move as an arrow');
    assert.notEqual(await text('#eval-bar .eval-text'), '');
    await shot('06-analysis');
    await page.click('#stop');
    await until(() => document.body.dataset.analysing === 'no');
  });

  await t.test('the whole game analysed, its graph clickable', async () => {
    await page.select('#game-depth', '2');
    await page.click('#analyse-game');
    await until(() => /analysed/.test(document.querySelector('#game-message').textContent));
    assert.equal(await page.$eval('#game-progress', (p) => p.value), 1);
    assert.equal((await page.$$('#graph rect.column')).length, 7);
    await page.click('#graph rect.column[data-ply="4"]');
    await until(() => document.querySelector('#moves [aria-current]')?.dataset.ply === '4');
    await shot('07-game-graph');
  });

  await t.test('checkmate, stalemate and resignation end the game with a banner', async () => {
    await page.select('#mode', 'play');
    for (const [position, from, to, banner, name] of [
      ['6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1', 'a1', 'a8', 'Checkmate: White wins (1-0)', '08-checkmate'],
      ['k7/8/3Q4/8/8/8/8/7K w - - 0 1', 'd6', 'b6', 'Stalemate: Draw (1/2-1/2)', '09-stalemate'],
    ]) {
      await load(position);
      await drag(from, to);
      await until(() => !document.querySelector('#banner').hidden);
      assert.equal(await text('#banner'), banner);
      assert.equal(await page.$eval('body', (b) => b.dataset.thinking), 'no');
      await shot(name);
    }
    await page.click('#new-game');
    await page.click('#resign');
    assert.equal(await text('#banner'), 'White resigns: Black wins (0-1)');
  });

  await t.test('a phone-sized screen holds the board', async () => {
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true }); // reloads the page
    await until(() => document.body.dataset.engine === 'ready');
    const box = await page.$eval('#board', (b) => b.getBoundingClientRect().right);
    assert.ok(box <= 390, `the board ends at ${box} px`);
    await shot('10-phone');
  });

  assert.deepEqual(foreign, [], 'requests to other sites');
  assert.deepEqual(errors, [], 'errors in the page');
});
