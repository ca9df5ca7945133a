// SPDX-License-Identifier: GPL-3.0-or-later
// Solvane under Node: the engine in a worker thread (worker.js), threaded by
// default, Node having SharedArrayBuffer; mode 'single' runs the build without threads.
import { Worker } from 'node:worker_threads';
import { fileURLToPath } from 'node:url';
import { Engine, SolvaneError, parseInfo, parseOption, runTool, startEngine } from './api.mjs';

export { Engine, SolvaneError, parseInfo, parseOption };

const WORKER = fileURLToPath(new URL('./worker.js', import.meta.url));

function pickMode(mode = 'auto') {
  if (!['auto', 'threads', 'single'].includes(mode)) throw new TypeError(`mode is auto, threads or single, not ${mode}`);
  return mode === 'single' ? 'single' : 'threads';
}

// The raw UCI worker: post it UCI lines, each engine line comes back as one message.
export function uciWorker({ mode, args } = {}) {
  return new Worker(WORKER, { workerData: { single: pickMode(mode) === 'single', arguments: args } });
}

function connect(mode, args) {
  return (receive, gone) => {
    const worker = uciWorker({ mode, args });
    let status = null;
    worker.on('message', (message) =>
      typeof message === 'string' ? receive(message) : (status = message.exit));
    worker.on('error', (error) => gone(`the engine failed: ${error.message}`, 1));
    worker.on('exit', (code) => gone('the engine has ended', status ?? code));
    return { send: (line) => worker.postMessage(line), close: () => void worker.terminate() };
  };
}

export const Solvane = {
  async start({ threads = 1, mode, options } = {}) {
    const chosen = pickMode(mode);
    return startEngine(connect(chosen), chosen, { threads, options });
  },
  // `solvane bench DEPTH` in the package's engine: { lines, nodes }.
  bench(depth = 5, { mode } = {}) {
    return runTool((receive, gone, args) => connect(pickMode(mode), args)(receive, gone), ['bench', String(depth)]);
  },
  uciWorker,
};
export default Solvane;
