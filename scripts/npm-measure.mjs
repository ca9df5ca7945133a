#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the npm package's two builds under Node, from its folder
// (build/npm/solvane, or the one named): the time of one search through the
// promise API, turns included, each build in turn, and how soon a "stop"
// ends a search that would go on. Usage: node scripts/npm-measure.mjs [FOLDER] [ROUNDS]
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const folder = process.argv[2] || fileURLToPath(new URL('../build/npm/solvane', import.meta.url));
const rounds = Number(process.argv[3] || 7);
const { Solvane } = await import(pathToFileURL(path.join(folder, 'node.mjs')).href);
const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
const engines = { threads: await Solvane.start({ mode: 'threads' }), single: await Solvane.start({ mode: 'single' }) };
const FEN = 'r2q1rk1/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R2QK2R w KQ - 0 9';
const search = {}, stop = {};
for (let round = 0; round < rounds; round++)
  for (const [mode, engine] of Object.entries(engines)) {
    let t = performance.now();
    const { info } = await engine.bestMove(FEN, { depth: 7 });
    (search[mode] ??= []).push(performance.now() - t);
    const endless = engine.bestMove('startpos', { infinite: true });
    await new Promise((r) => setTimeout(r, 200 + 37 * round));
    t = performance.now();
    await engine.stop();
    await endless;
    (stop[mode] ??= []).push(performance.now() - t);
    if (round === 0) console.log(`${mode}: depth 7, ${info.nodes} nodes`);
  }
for (const mode of Object.keys(engines)) {
  console.log(`${mode}: go depth 7 median ${median(search[mode]).toFixed(0)} ms (${search[mode].map((x) => x.toFixed(0)).join(' ')}); ` +
    `stop to bestmove median ${median(stop[mode]).toFixed(1)} ms, most ${Math.max(...stop[mode]).toFixed(1)} ms`);
  await engines[mode].quit();
}
const ratios = search.single.map((x, i) => x / search.threads[i]);
console.log(`single / threads, pair by pair: median ${median(ratios).toFixed(3)} (${Math.min(...ratios).toFixed(3)} to ${Math.max(...ratios).toFixed(3)})`);
