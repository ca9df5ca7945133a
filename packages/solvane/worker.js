// SPDX-License-Identifier: GPL-3.0-or-later
// Solvane's raw UCI worker: a classic Web Worker in the browser, a worker
// thread under Node. Each message in is one UCI line; each line the engine
// writes comes out as one message (a string); { exit: status } once the
// engine has ended. The threaded build needs SharedArrayBuffer; the single
// one carries out a line at a time, its searches giving the event loop a turn
// now and then, so that a "stop" or "ponderhit" reaches them.
'use strict';
(function () {
  const inNode = typeof importScripts !== 'function';
  let post, listen, settings;
  if (inNode) {
    const { parentPort, workerData } = require('node:worker_threads');
    post = (message) => parentPort.postMessage(message);
    listen = (handler) => parentPort.on('message', handler);
    settings = workerData || {};
  } else {
    post = (message) => self.postMessage(message);
    listen = (handler) => (self.onmessage = (event) => handler(event.data));
    // ?mode=threads|single&args=bench+5; without a mode, threads where the page is cross-origin isolated.
    const query = new URL(self.location.href).searchParams;
    const mode = query.get('mode') || (self.crossOriginIsolated ? 'threads' : 'single');
    settings = { single: mode === 'single', arguments: query.get('args') ? query.get('args').split(' ') : undefined };
  }
  const single = !!settings.single;
  const name = single ? 'solvane-single' : 'solvane';
  const here = (file) => (inNode ? require('node:path').join(__dirname, file) : new URL(file, self.location.href).href);

  const waiting = [];
  let onLine = (line) => waiting.push(line);
  listen((line) => onLine(String(line)));

  const config = {
    print: (line) => post(line),
    printErr: (line) => console.error(line),
    onExit: (status) => post({ exit: status }),
    locateFile: (file) => here(file),
  };
  if (settings.arguments) config.arguments = settings.arguments;
  if (inNode) config.wasmBinary = require('node:fs').readFileSync(here(name + '.wasm'));
  else config.mainScriptUrlOrBlob = here(name + '.js');

  // A turn of the event loop for a search of the single build: messages that
  // came meanwhile are read first, then the search goes on.
  const turn = inNode ? setImmediate : (() => {
    const channel = new MessageChannel();
    const queue = [];
    channel.port1.onmessage = () => queue.shift()();
    return (fn) => (queue.push(fn), channel.port2.postMessage(0));
  })();
  const STOP = 1, PONDERHIT = 2;
  let interrupt = 0;
  config.ceder = (resume) => turn(() => {
    const code = interrupt;
    interrupt = 0;
    resume(code);
  });

  const factory = inNode ? require(here(name + '.js')) : (importScripts(here(name + '.js')), self[single ? 'SolvaneSingle' : 'Solvane']);
  factory(config).then((engine) => {
    if (settings.arguments) return; // a tool run by main: its lines, then its exit
    if (!single) {
      onLine = (line) => engine.ccall('solvane_commande', null, ['string'], [line + '\n']);
      waiting.splice(0).forEach(onLine);
      return;
    }
    // The single build: a line at a time. During a search, "stop" and
    // "ponderhit" go to it at its next turn; a command that would stop a
    // running search stops it too, and waits with the rest for the bestmove.
    let busy = false;
    const next = async () => {
      busy = true;
      while (waiting.length) {
        interrupt = 0;
        const ended = await engine.ccall('solvane_ligne', 'number', ['string'], [waiting.shift()], { async: true });
        if (ended) {
          post({ exit: 0 });
          if (inNode) process.exit(0);
          return self.close();
        }
      }
      busy = false;
    };
    onLine = (line) => {
      const word = line.trim().split(/\s+/)[0];
      if (busy && word === 'ponderhit') return void (interrupt = interrupt || PONDERHIT);
      if (busy && ['stop', 'quit', 'position', 'setoption', 'go'].includes(word)) interrupt = STOP;
      if (busy && word === 'stop') return;
      waiting.push(line);
      if (!busy) next();
    };
    if (waiting.length) next();
  }, (error) => {
    console.error(String(error));
    post({ exit: 1 });
  });
})();
