// SPDX-License-Identifier: GPL-3.0-or-later
// The WebAssembly build run as the native engine runs: standard input goes to
// the engine's command queue, its lines to standard output, the arguments
// (bench, perft, --help) to main, and its exit status becomes the process's.
// Needs `node --no-experimental-fetch` on Node 18 and later; `--no-liftoff`
// makes its searches faster from the start (tests/web/solvane-node passes both).
import { writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const script = process.env.SOLVANE_WASM_JS || fileURLToPath(new URL('../build/wasm/solvane.js', import.meta.url));
const Solvane = createRequire(import.meta.url)(script);
const args = process.argv.slice(2);

const engine = await Solvane({
  arguments: args,
  print: (line) => process.stdout.write(line + '\n'),
  printErr: (line) => process.stderr.write(line + '\n'),
});

// SOLVANE_HEAP_LOG names a file that holds the size of the module's memory,
// written every tenth of a second, for the tests that watch it.
const heapLog = process.env.SOLVANE_HEAP_LOG;
if (heapLog) setInterval(() => writeFileSync(heapLog, `${engine.HEAP8.length}\n`), 100).unref();

// The tools read no input; the engine reads it until it ends.
if (args.length === 0) {
  process.stdin.setEncoding('utf8');
  process.stdin.on('data', (text) => engine.ccall('solvane_commande', null, ['string'], [text]));
  process.stdin.on('end', () => engine._solvane_fin_entree());
}
