// SPDX-License-Identifier: GPL-3.0-or-later
// Solvane in the browser: the engine in a Web Worker (worker.js), found
// beside this module through import.meta.url, or in the folder `baseUrl`
// names. Threaded on a cross-origin isolated page (SharedArrayBuffer), single
// thread elsewhere.
import { Engine, SolvaneError, parseInfo, parseOption, runTool, startEngine } from './api.mjs';

export { Engine, SolvaneError, parseInfo, parseOption };

export const threadsAvailable = () =>
  typeof SharedArrayBuffer === 'function' && globalThis.crossOriginIsolated === true;

function pickMode(mode = 'auto') {
  if (!['auto', 'threads', 'single'].includes(mode)) throw new TypeError(`mode is auto, threads or single, not ${mode}`);
  if (mode === 'threads' && !threadsAvailable())
    throw new SolvaneError('threads need SharedArrayBuffer: serve the page cross-origin isolated (see the README)');
  return mode === 'auto' ? (threadsAvailable() ? 'threads' : 'single') : mode;
}

// The raw UCI worker: post it UCI lines, each engine line comes back as one message.
export function uciWorker({ mode, args, baseUrl } = {}) {
  const url = baseUrl ? new URL('worker.js', new URL(baseUrl, location.href)) : new URL('./worker.js', import.meta.url);
  url.searchParams.set('mode', pickMode(mode));
  if (args) url.searchParams.set('args', args.join(' '));
  return new Worker(url);
}

function connect(mode, baseUrl, args) {
  return (receive, gone) => {
    const worker = uciWorker({ mode, args, baseUrl });
    worker.onmessage = ({ data }) => {
      if (typeof data === 'string') receive(data);
      else (worker.terminate(), gone('the engine has ended', data.exit));
    };
    worker.onerror = (event) => gone(`the engine failed: ${event.message || 'its worker did not load'}`, 1);
    return {
      send: (line) => worker.postMessage(line),
      close: () => worker.terminate(),
    };
  };
}

export const Solvane = {
  async start({ threads = 1, mode, options, baseUrl } = {}) {
    const chosen = pickMode(mode);
    return startEngine(connect(chosen, baseUrl), chosen, { threads, options });
  },
  // `solvane bench DEPTH` in the package's engine: { lines, nodes }.
  bench(depth = 5, { mode, baseUrl } = {}) {
    return runTool((receive, gone, args) => connect(pickMode(mode), baseUrl, args)(receive, gone), ['bench', String(depth)]);
  },
  uciWorker,
  threadsAvailable,
};
export default Solvane;
