// SPDX-License-Identifier: GPL-3.0-or-later
// What the browser tests share: the page served (by web/serve.py, or by a
// plain static server), headless Chromium, and helpers bound to a page that
// drive it with real mouse and touch input and wait for conditions on it.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync } from 'node:fs';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { setTimeout as sleep } from 'node:timers/promises';
import { fileURLToPath } from 'node:url';
import { Chess } from 'chessops/chess';
import { INITIAL_FEN, makeFen, parseFen } from 'chessops/fen';
import { makeSan, parseSan } from 'chessops/san';
import { makeSquare, parseUci } from 'chessops/util';
import puppeteer from 'puppeteer-core';

export const root = fileURLToPath(new URL('../..', import.meta.url));
export const webDir = process.env.SOLVANE_WEB_DIR || path.join(root, 'build/web');
export const shots = path.join(root, 'build/web-test');
export const WAIT = 120000; // slow machines are slow, not wrong
mkdirSync(shots, { recursive: true });

// A server on a free port: web/serve.py (its options: --plain for no
// headers), or with static: true Python's own http.server, as any host
// would serve the folder. kill() ends it.
export async function serve(dir = webDir, { plain = false, plainServer = false } = {}) {
  const args = plainServer ? ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', dir]
    : [path.join(root, 'web/serve.py'), dir, '--port', '0', '--quiet', ...(plain ? ['--plain'] : [])];
  const server = spawn('python3', args, { stdio: ['ignore', 'pipe', 'ignore'] });
  const line = await new Promise((resolve) => createInterface({ input: server.stdout }).once('line', resolve));
  const url = plainServer ? /\((http:\S+)\)/.exec(line)[1] : line.split(' on ')[1];
  return { url, kill: () => server.kill() };
}

// Headless, in a profile of its own made and removed by puppeteer.
export const launch = () => puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});

// A page of a context of its own (its own service workers and storage),
// whose errors and requests to other sites are collected in `errors`.
export async function newPage(browser, viewport = { width: 1200, height: 900 }) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.setDefaultTimeout(WAIT);
  await page.setViewport(viewport);
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && page.errors.push(message.text()));
  page.on('request', (r) => /^(data:|http:\/\/127\.0\.0\.1:)/.test(r.url()) || page.errors.push(`request: ${r.url()}`));
  return page;
}

// The position after the moves given, each checked legal on the way.
export const replay = (sans, from = INITIAL_FEN) => sans.reduce((pos, san) => {
  const move = parseSan(pos, san);
  assert.ok(move, san);
  return (pos.play(move), pos);
}, Chess.fromSetup(parseFen(from).unwrap()).unwrap());
// A move in the engine's notation, checked legal there, in SAN.
export const sanOf = (pos, uci) => (assert.ok(pos.isLegal(parseUci(uci)), uci), makeSan(pos, parseUci(uci)));
export const fenAfter = (sans, from) => makeFen(replay(sans, from).toSetup());

export function kit(page) {
  const k = {};
  // Past the board's 150 ms move animation, so that pieces are drawn on their squares.
  k.shot = (name, options = {}) => sleep(300).then(() => page.screenshot({ path: path.join(shots, `${name}.png`), ...options }));
  k.text = (selector) => page.$eval(selector, (e) => e.textContent);
  k.moves = () => page.$$eval('#moves button.move', (list) => list.map((b) => b.firstChild.textContent));
  k.until = (fn, ...args) => page.waitForFunction(fn, { timeout: WAIT, polling: 50 }, ...args);
  k.state = (key) => page.$eval('body', (b, key) => b.dataset[key], key);
  // As the user reloads: CDP's own reload passes by the service worker.
  k.reload = () => Promise.all([page.waitForNavigation(), page.evaluate(() => location.reload())]);
  k.ready = () => k.until(() => document.body.dataset.engine === 'ready');
  // This many moves listed, and no search for a move under way: the engine has answered, if it had to.
  k.settled = (n) => k.until((n) => document.querySelectorAll('#moves button.move').length === n &&
    document.body.dataset.thinking === 'no', n);
  // A square's centre on the screen, in eighths of the board from its top left corner.
  k.centre = (square) => page.$eval('#board', (board, sq) => {
    let [x, y] = [sq.charCodeAt(0) - 96.5, 56.5 - sq.charCodeAt(1)];
    if (board.classList.contains('orientation-black')) [x, y] = [8 - x, 8 - y];
    const r = board.getBoundingClientRect();
    return [r.left + (x * r.width) / 8, r.top + (y * r.height) / 8];
  }, square);
  const frame = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  // The UCI log as drawn: it is redrawn at the next frame, so a line just received is shown a frame later.
  k.log = async () => (await frame(), k.text('#uci-log'));
  k.logged = (line) => k.until((line) => document.querySelector('#uci-log').textContent.includes(line), line);
  // A move such as "e2e4" made on the board: dragged, clicked square by square, or tapped.
  k.play = async (move, how = 'drag') => {
    const [from, to] = [await k.centre(move.slice(0, 2)), await k.centre(move.slice(2, 4))];
    if (how === 'click') return page.mouse.click(...from).then(() => page.mouse.click(...to));
    if (how === 'tap') return page.touchscreen.tap(...from).then(() => page.touchscreen.tap(...to));
    await page.mouse.move(...from);
    await page.mouse.down();
    await frame();
    await page.mouse.move(...to, { steps: 12 });
    await frame();
    await page.mouse.up();
  };
  k.load = async (value) => (await page.$eval('#io-text', (box, v) => (box.value = v), value), page.click('#load'));
  k.level = async (kind, value) => (await page.select('#level-kind', kind), page.select('#level-value', value));
  // The game's PGN or the position's FEN, as the page gives it out.
  k.copy = async (what) =>
    (await page.$eval(`#copy-${what}`, (button) => button.click()), page.$eval('#io-text', (area) => area.value));
  // The legal moves on the board, the game started from the FEN given.
  k.legal = async (from) => [...replay(await k.moves(), from).allDests()]
    .flatMap(([from, tos]) => [...tos].map((to) => makeSquare(from) + makeSquare(to)));
  k.playAny = async (how, from) => k.play((await k.legal(from))[0], how);
  k.stop = async () => (await page.click('#stop'), k.until(() => document.body.dataset.analysing === 'no'));
  return k;
}
