// SPDX-License-Identifier: GPL-3.0-or-later
// The built page (build/web, or SOLVANE_WEB_DIR) measured in headless Chromium:
//   node web/bench-page.mjs ready [N]     page request to "engine ready", N loads (median)
//   node web/bench-page.mjs speed [N]     "go depth 7" from the start in the page, isolated by
//                                         its headers (web/serve.py) and by its service worker
//                                         (a plain static server), N rounds in turn, each
//                                         round's first the other of the last
//   node web/bench-page.mjs stop [N]      "stop" after "go infinite" to its bestmove, N times
//   node web/bench-page.mjs review D...   "Analyse the game" of an 80-ply game at each depth D
import { spawn } from 'node:child_process';
import { createInterface } from 'node:readline';
import { kit, launch, newPage, root, serve, webDir } from './test/kit.mjs';

const [what = 'ready', ...args] = process.argv.slice(2);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const browser = await launch();
const hosts = { headers: await serve(webDir), worker: await serve(webDir, { plainServer: true }) };

// A page of the host given, its engine ready; a raw engine worker of its own when asked.
async function open(host) {
  const page = await newPage(browser);
  await page.goto(hosts[host].url);
  await kit(page).ready();
  return page;
}

// The worker's lines until one starts with `until`; resolves the milliseconds from the first command sent.
const worker = (page, commands, until, delay = 0) => page.evaluate((commands, until, delay) => new Promise((resolve) => {
  self.bench ??= new Worker('engine-worker.js');
  let t0;
  self.bench.onmessage = ({ data }) => data.line?.startsWith(until) && resolve(performance.now() - t0);
  const [first, ...rest] = commands;
  self.bench.postMessage(first);
  setTimeout(() => ((t0 = performance.now()), rest.forEach((c) => self.bench.postMessage(c))), delay);
}), commands, until, delay);

// 80 plies of the engine against itself at depth 3 under Node, in SAN.
async function selfPlay() {
  const engine = spawn(`${root}/tests/web/solvane-node`, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const lines = createInterface({ input: engine.stdout });
  const moves = [];
  const best = () => new Promise((resolve) => lines.on('line', function f(l) {
    if (l.startsWith('bestmove')) (lines.off('line', f), resolve(l.split(' ')[1]));
  }));
  for (let ply = 0; ply < 80; ply++) {
    engine.stdin.write(`position startpos moves ${moves.join(' ')}\ngo depth 3\n`);
    moves.push((await best()).toLowerCase());
  }
  engine.stdin.end();
  return moves;
}

try {
  if (what === 'ready') {
    const n = +(args[0] ?? 7);
    for (const host of ['headers', 'worker']) {
      const times = [];
      for (let i = 0; i < n; i++) {
        const page = await open(host);
        times.push(+(await kit(page).state('startupMs')));
        await page.browserContext().close();
      }
      console.log(`${host}: engine ready in ${median(times)} ms (median of ${n}: ${times.join(' ')})`);
    }
  } else if (what === 'speed') {
    const pages = { headers: await open('headers'), worker: await open('worker') };
    const times = { headers: [], worker: [] };
    for (let i = 0; i < +(args[0] ?? 7); i++)
      for (const host of i % 2 ? ['worker', 'headers'] : ['headers', 'worker'])
        times[host].push(await worker(pages[host], ['uci', 'position startpos', 'go depth 7'], 'bestmove', 300));
    const ratios = times.headers.map((t, i) => times.worker[i] / t);
    for (const [host, ms] of Object.entries(times))
      console.log(`${host}: go depth 7 in ${median(ms).toFixed(0)} ms (median; ${ms.map(Math.round).join(' ')})`);
    console.log(`service worker / headers: ${median(ratios).toFixed(3)} (median of the rounds' ratios)`);
  } else if (what === 'stop') {
    const page = await open('worker');
    const times = [];
    for (let i = 0; i < +(args[0] ?? 20); i++) {
      await worker(page, ['uci', 'isready'], 'readyok');
      await worker(page, ['position startpos', 'go infinite'], 'info depth 5');
      times.push(await worker(page, ['isready', 'stop'], 'bestmove'));
    }
    const most = Math.max(...times).toFixed(1);
    console.log(`stop to bestmove: median ${median(times).toFixed(1)} ms, most ${most} ms over ${times.length}`);
  } else if (what === 'review') {
    const page = await open('headers');
    const k = kit(page);
    const { Chess } = await import('chessops/chess');
    const { makeSanAndPlay } = await import('chessops/san');
    const { parseUci } = await import('chessops/util');
    const pos = Chess.default();
    const sans = (await selfPlay()).map((uci) => makeSanAndPlay(pos, parseUci(uci)));
    await k.load(sans.join(' '));
    for (const depth of args) {
      await page.select('#game-depth', depth);
      const t0 = Date.now();
      await page.click('#analyse-game');
      await k.until(() => /analysed/.test(document.querySelector('#game-message').textContent));
      console.log(`depth ${depth}: ${sans.length} plies in ${((Date.now() - t0) / 1000).toFixed(1)} s`);
    }
  }
} finally {
  await browser.close();
  Object.values(hosts).forEach((host) => host.kill());
}
