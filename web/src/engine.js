// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the engine: commands to the worker, lines back, and the
// searches waiting for their bestmove. Every "go" ends with exactly one
// bestmove line, in order, so the oldest waiting search owns the next one;
// a search given up still takes its bestmove, which is then dropped. A worker
// silent for SILENCE_MS, or a search past its deadline, counts as an engine
// gone: its searches end unanswered and onDead says why.
import { parseInfo, parseOption } from './uci.js';

const SILENCE_MS = 3000;

export class Engine {
  constructor(workerUrl, { onLine = () => {}, onSent = () => {}, onError = () => {}, onDead = () => {} } = {}) {
    Object.assign(this, { onLine, onSent, onError, onDead });
    this.dead = null; // why the engine is gone, once it is
    this.name = 'Solvane';
    this.options = []; // as "uci" announced them, complete once ready
    this.searches = [];
    this.pendingOptions = new Map();
    this.optionsSent = new Map();
    this.ready = new Promise((resolve) => (this.whenReady = resolve));
    this.worker = new Worker(workerUrl);
    this.started = this.heard = performance.now();
    this.worker.onmessage = ({ data }) => {
      this.heard = performance.now();
      if (data.line !== undefined) this.receive(data.line);
      else if (data.error !== undefined) onError(data.error);
    };
    this.worker.onerror = (event) => this.die(event.message || 'the engine failed');
    this.watch = setInterval(() => {
      const now = performance.now();
      if (now - this.heard > SILENCE_MS) this.die('the engine stopped answering');
      else if (this.searches.some((s) => s.deadline < now)) this.die('the engine did not answer in time');
    }, 500);
    this.watch.unref?.(); // under Node, the watch alone keeps no process alive
    this.send('uci');
    this.send('isready');
  }

  send(line) {
    if (this.dead) return;
    this.onSent(line);
    this.worker.postMessage(line);
  }

  // The engine is gone: its worker ends, and so do its searches, unanswered.
  die(reason) {
    if (this.dead) return;
    this.dead = reason;
    clearInterval(this.watch);
    this.worker.terminate();
    for (const search of this.searches.splice(0)) search.finish(undefined);
    this.onDead(reason);
  }

  receive(line) {
    this.onLine(line);
    const [word, second] = line.split(' ', 2);
    if (word === 'id' && second === 'name') this.name = line.slice('id name '.length);
    else if (word === 'option') {
      const option = parseOption(line);
      if (option) {
        this.options.push(option);
        this.optionsSent.set(option.name, option.value);
      }
    } else if (line === 'readyok') this.whenReady(performance.now() - this.started);
    else if (word === 'info') {
      const info = parseInfo(line);
      const search = this.searches[0];
      if (info && search && !search.cancelled) search.onInfo(info);
    } else if (word === 'bestmove') {
      const search = this.searches.shift();
      if (search) search.finish(search.cancelled ? undefined : line.split(' ')[1]);
      if (!this.busy) this.sendOptions();
    }
  }

  get busy() {
    return this.searches.length > 0;
  }

  // Sends the options given, then "position" and "go"; the returned search's
  // `done` resolves with the best move ("(none)" without a legal move), or
  // undefined once cancelled or once the engine is gone. A search that should
  // end by itself gives its time: past it and a few seconds more, the engine
  // counts as gone.
  search(position, go, onInfo = () => {}, options = {}, seconds = Infinity) {
    for (const [name, value] of Object.entries(options)) this.pendingOptions.set(name, value);
    this.sendOptions();
    const search = { onInfo, cancelled: false, deadline: performance.now() + (seconds + 5) * 1000 };
    search.done = new Promise((resolve) => (search.finish = resolve));
    if (this.dead) {
      search.finish(undefined);
      search.cancel = () => {};
      return search;
    }
    search.cancel = () => {
      if (search.cancelled) return;
      search.cancelled = true;
      // A later search's "position" has stopped it already; a "stop" now would stop that one.
      if (this.searches.at(-1) === search) this.send('stop');
    };
    this.searches.push(search);
    this.send(position);
    this.send(go);
    return search;
  }

  stop() {
    if (this.busy) this.send('stop');
  }

  // A change of option would stop a running search: it waits until none runs.
  setOption(name, value) {
    this.pendingOptions.set(name, value);
    if (!this.busy) this.sendOptions();
  }

  // Each value once: an option already at that value is not sent again.
  sendOptions() {
    for (const [name, value] of this.pendingOptions)
      if (this.optionsSent.get(name) !== value) {
        this.send(`setoption name ${name} value ${value}`);
        this.optionsSent.set(name, value);
      }
    this.pendingOptions.clear();
  }
}
