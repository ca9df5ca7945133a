// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's Web Worker (a classic one: the engine's own threads load
// solvane.js again with importScripts). Each message from the page is one
// command line for the engine's input queue; each line the engine prints goes
// back whole, as one message.
/* global Solvane */
importScripts('solvane.js');

let engine = null;
const waiting = [];
const pass = (line) => engine.ccall('solvane_commande', null, ['string'], [line + '\n']);

self.onmessage = (event) => (engine ? pass(event.data) : waiting.push(event.data));

// A sign of life twice a second: the page counts a silent worker as gone.
setInterval(() => postMessage({ alive: true }), 500);

Solvane({
  mainScriptUrlOrBlob: 'solvane.js',
  print: (line) => postMessage({ line }),
  printErr: (line) => postMessage({ error: line }),
}).then(
  (module) => {
    engine = module;
    waiting.splice(0).forEach(pass);
  },
  (error) => postMessage({ error: String(error) }),
);
