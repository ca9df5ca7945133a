// SPDX-License-Identifier: GPL-3.0-or-later
// CommonJS entry under Node: every call is asynchronous, so the ES module is
// loaded on the first one.
'use strict';
const load = () => import('./node.mjs');

exports.Solvane = {
  start: (settings) => load().then((m) => m.Solvane.start(settings)),
  bench: (depth, settings) => load().then((m) => m.Solvane.bench(depth, settings)),
  uciWorker: (settings) => {
    const { Worker } = require('node:worker_threads');
    const single = settings && settings.mode === 'single';
    return new Worker(require('node:path').join(__dirname, 'worker.js'),
      { workerData: { single, arguments: settings && settings.args } });
  },
};
exports.default = exports.Solvane;
