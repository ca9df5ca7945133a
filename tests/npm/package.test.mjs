// SPDX-License-Identifier: GPL-3.0-or-later
// The packed tarball as a user meets it: installed into a fresh project of
// its own (tests/npm/project, its lock) with `npm install <tgz>`, no link to
// this repository; the user's scripts (tests/npm/user) run there: a game
// against itself in Node with every move checked legal, CommonJS, bench 5 from
// the command line; a page bundled by esbuild and by Rollup that headless
// Chromium loads with and without cross-origin isolation, which must show a
// bestmove and bench 5's node total.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { cpSync, mkdirSync, mkdtempSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { rollup } from 'rollup';
import { nodeResolve } from '@rollup/plugin-node-resolve';

const here = fileURLToPath(new URL('.', import.meta.url));
const root = path.join(here, '../..');
const dist = path.join(root, 'build/dist');
const tgz = process.env.SOLVANE_NPM_TGZ || path.join(dist, readdirSync(dist).find((f) => /^solvane-[\d.]+\.tgz$/.test(f)));
const BENCH_5 = 1451608;
const MOVE = /^[a-h][1-8][a-h][1-8][qrbn]?$/;

const run = (cwd, command, args, timeout = 120000) => execFileSync(command, args, { cwd, timeout, encoding: 'utf8' });

// web/serve.py on a free port, with the isolation headers or without.
function serve(folder, plain) {
  const server = spawn('python3', [path.join(root, 'web/serve.py'), folder, '--port', '0', '--quiet', ...(plain ? ['--plain'] : [])],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve) =>
    createInterface({ input: server.stdout }).once('line', (line) => resolve({ server, url: line.split(' on ')[1] })));
}

test('the npm package as a user installs it', { timeout: 300000 }, async (t) => {
  const project = mkdtempSync(path.join(tmpdir(), 'solvane-user-'));
  t.after(() => rmSync(project, { recursive: true, force: true }));
  cpSync(path.join(here, 'project'), project, { recursive: true });
  cpSync(path.join(here, 'user'), project, { recursive: true });
  const npm = ['--no-audit', '--no-fund', '--prefer-offline', '--loglevel=error'];
  run(project, 'npm', ['ci', ...npm]);
  run(project, 'npm', ['install', ...npm, tgz]);

  await t.test('Node: a game against itself, every move legal, both builds; CommonJS', () => {
    for (const [mode, threads] of [['auto', 2], ['single', 1]]) {
      const game = JSON.parse(run(project, 'node', ['selfplay.mjs', mode]));
      assert.deepEqual([game.mode, game.threads, game.moves.length], [mode === 'auto' ? 'threads' : mode, threads, 16]);
    }
    assert.match(run(project, 'node', ['commonjs.cjs']).trim(), MOVE);
  });

  await t.test('npx solvane bench 5, both builds', () => {
    for (const args of [['bench', '5'], ['--single', 'bench', '5']])
      assert.match(run(project, 'npx', ['--no-install', 'solvane', ...args]), new RegExp(`\nNodes searched: ${BENCH_5}\n`));
  });

  await t.test('a page bundled by esbuild and by Rollup shows a bestmove and bench 5', async () => {
    // Each bundle with the package's worker and engine beside it, as its README says.
    const engineFiles = ['worker.js', 'solvane.js', 'solvane.wasm', 'solvane.worker.js', 'solvane-single.js',
      'solvane-single.wasm'];
    const bundles = {};
    for (const bundler of ['esbuild', 'rollup']) {
      const out = path.join(project, `public-${bundler}`);
      mkdirSync(out);
      cpSync(path.join(project, 'index.html'), path.join(out, 'index.html'));
      for (const file of engineFiles) cpSync(path.join(project, 'node_modules/solvane', file), path.join(out, file));
      bundles[bundler] = out;
    }
    run(project, path.join(here, 'node_modules/.bin/esbuild'),
      ['page.js', '--bundle', '--format=esm', '--target=es2022', `--outfile=${bundles.esbuild}/app.js`, '--log-level=warning']);
    const bundle = await rollup({ input: path.join(project, 'page.js'), plugins: [nodeResolve({ browser: true })] });
    await bundle.write({ file: path.join(bundles.rollup, 'app.js'), format: 'es' });
    await bundle.close();

    const browser = await puppeteer.launch({
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync'],
    });
    const servers = [];
    t.after(async () => {
      await browser.close();
      servers.forEach(({ server }) => server.kill());
    });
    for (const [bundler, plain, mode] of [['esbuild', true, 'single'], ['esbuild', false, 'threads'], ['rollup', true, 'single']]) {
      const served = await serve(bundles[bundler], plain);
      servers.push(served);
      const page = await browser.newPage();
      const errors = [];
      page.on('pageerror', (error) => errors.push(error.message));
      page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
      await page.goto(served.url);
      await page.waitForFunction(() => document.getElementById('bench').textContent || document.getElementById('error').textContent,
        { timeout: 120000, polling: 100 });
      const shown = await page.evaluate(() =>
        Object.fromEntries(['mode', 'best', 'bench', 'error'].map((id) => [id, document.getElementById(id).textContent])));
      const label = `${bundler}, ${plain ? 'without' : 'with'} isolation`;
      assert.deepEqual({ ...shown, best: MOVE.test(shown.best) }, { mode, best: true, bench: String(BENCH_5), error: '' }, label);
      assert.deepEqual(errors, [], label);
      await page.close();
    }
  });
});
