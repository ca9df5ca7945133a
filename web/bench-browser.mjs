// SPDX-License-Identifier: GPL-3.0-or-later
// `solvane bench` in headless Chromium: the WebAssembly build (build/wasm, or
// SOLVANE_WASM_DIR) loaded by a bare page served as web/serve.py serves the
// page, cross-origin isolated, its main given the arguments. Prints what the
// bench prints: node web/bench-browser.mjs [DEPTH [THREADS]].
import { spawn } from 'node:child_process';
import { copyFileSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = fileURLToPath(new URL('..', import.meta.url));
const build = process.env.SOLVANE_WASM_DIR || path.join(root, 'build/wasm');
const dir = mkdtempSync(path.join(tmpdir(), 'solvane-bench-'));
for (const file of ['solvane.js', 'solvane.wasm', 'solvane.worker.js']) {
  copyFileSync(path.join(build, file), path.join(dir, file));
}
const options = `{ arguments: ${JSON.stringify(['bench', ...process.argv.slice(2)])},
  print: (line) => lines.push(line), printErr: (line) => lines.push(line), onExit: (code) => (exitStatus = code) }`;
writeFileSync(path.join(dir, 'index.html'), `<!doctype html><script src="solvane.js"></script>
<script>var lines = [], exitStatus = null; Solvane(${options});</script>`);

const server = spawn('python3', [path.join(root, 'web/serve.py'), dir, '--port', '0', '--quiet'],
  { stdio: ['ignore', 'pipe', 'inherit'] });
const url = await new Promise((resolve) =>
  createInterface({ input: server.stdout }).once('line', (line) => resolve(line.split(' on ')[1])));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-component-update'],
});
try {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction(() => exitStatus !== null, { timeout: 0, polling: 100 });
  process.stdout.write((await page.evaluate(() => lines.join('\n'))) + '\n');
  process.exitCode = await page.evaluate(() => exitStatus);
} finally {
  await browser.close();
  server.kill();
  rmSync(dir, { recursive: true, force: true });
}
