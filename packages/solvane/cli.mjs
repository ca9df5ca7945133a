#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// `solvane` from the package, as the native engine runs: UCI on standard
// input and output, or a tool (`solvane bench 5`, `solvane perft 4`).
// --single runs the build without threads.
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';

const args = process.argv.slice(2);
const single = args[0] === '--single';
if (single) args.shift();
const worker = new Worker(fileURLToPath(new URL('./worker.js', import.meta.url)),
  { workerData: { single, arguments: args.length ? args : undefined } });
worker.on('message', (message) => {
  if (typeof message === 'string') process.stdout.write(message + '\n');
  else process.exitCode = message.exit;
});
worker.on('error', (error) => {
  process.stderr.write(`solvane: ${error.message}\n`);
  process.exitCode = 1;
});
worker.on('exit', () => process.exit());
if (!args.length) {
  const input = createInterface({ input: process.stdin });
  input.on('line', (line) => worker.postMessage(line));
  input.on('close', () => worker.postMessage('quit'));
}
