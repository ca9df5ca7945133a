// SPDX-License-Identifier: GPL-3.0-or-later
// The promise API over the raw UCI worker, the same in Node and in the
// browser: each request (a search, an option) has the engine to itself until
// it is answered, the next ones waiting their turn in order, so that no two
// exchanges ever interleave.

export class SolvaneError extends Error {
  constructor(message) {
    super(message);
    this.name = 'SolvaneError';
  }
}

const SINGLE_VALUED = new Set(['depth', 'seldepth', 'multipv', 'nodes', 'nps', 'time', 'hashfull', 'currmovenumber']);

// An "info" line as an object: numbers for its counts, score as { cp } or
// { mate }, pv as a list of moves; { string } for an "info string" line.
// Moves come in lower case whatever Promote_in_uppercase says.
export function parseInfo(line) {
  const words = line.trim().split(/\s+/);
  if (words[0] !== 'info') return null;
  const info = {};
  for (let i = 1; i < words.length; i++) {
    const word = words[i];
    if (word === 'string') {
      info.string = line.slice(line.indexOf(' string ') + 8);
      break;
    }
    if (word === 'pv') {
      info.pv = words.slice(i + 1).map(normalizeMove);
      break;
    }
    if (word === 'score') {
      const kind = words[++i];
      info.score = { [kind]: Number(words[++i]) };
      if (words[i + 1] === 'lowerbound' || words[i + 1] === 'upperbound') info.score[words[++i]] = true;
    } else if (SINGLE_VALUED.has(word)) {
      info[word] = Number(words[++i]);
    } else if (word === 'currmove') {
      info.currmove = normalizeMove(words[++i]);
    }
  }
  return info;
}

export const normalizeMove = (move) => (move && move !== '(none)' ? move.toLowerCase() : null);

// The "go" words of a search's limits, in the engine's own terms.
const GO_WORDS = ['wtime', 'btime', 'winc', 'binc', 'movestogo', 'depth', 'nodes', 'mate', 'movetime'];
function goLine(limits) {
  const words = ['go'];
  for (const key of GO_WORDS) {
    if (limits[key] === undefined) continue;
    const value = Number(limits[key]);
    if (!Number.isInteger(value) || value < 0) throw new TypeError(`${key} must be a whole number, not ${limits[key]}`);
    words.push(key, String(value));
  }
  if (limits.infinite) words.push('infinite');
  if (words.length === 1) throw new TypeError('a search needs depth, nodes, movetime, a clock (wtime, btime) or infinite');
  if (limits.searchmoves?.length) words.push('searchmoves', ...limits.searchmoves);
  return words.join(' ');
}

function positionLine(fen, moves = []) {
  if (typeof fen !== 'string' || /[\r\n]/.test(fen)) throw new TypeError('the position is a FEN string or "startpos"');
  const start = fen.trim() === 'startpos' || fen.trim() === '' ? 'position startpos' : `position fen ${fen.trim()}`;
  return moves.length ? `${start} moves ${moves.join(' ')}` : start;
}

export class Engine {
  // channel: { send(line), close() }; its lines and its end are given to
  // receive() and gone() by whoever made it.
  constructor(channel, mode) {
    this.channel = channel;
    this.mode = mode;
    this.name = '';
    this.options = new Map(); // lower-case name -> { name, type, default, min, max, vars }
    this.threads = 1;
    this.ended = null; // why no request is taken any more
    this.current = null; // the exchange under way
    this.tail = Promise.resolve();
    this.multipv = 1;
  }

  receive(line) {
    const exchange = this.current;
    if (exchange) exchange.onLine(line);
  }

  gone(reason) {
    if (this.ended) return;
    this.ended = reason;
    this.current?.fail(new SolvaneError(reason));
  }

  // Runs talk(exchange) when the engine is free; it resolves with what the
  // exchange resolves with. exchange.onLine gets each line until then.
  request(talk) {
    const run = () => {
      if (this.ended) return Promise.reject(new SolvaneError(this.ended));
      const exchange = { onLine: () => {}, searching: false, stopping: false };
      exchange.done = new Promise((resolve, reject) => {
        exchange.finish = (value) => ((this.current = null), resolve(value));
        exchange.fail = (error) => ((this.current = null), reject(error));
      });
      this.current = exchange;
      try {
        talk(exchange);
      } catch (error) {
        exchange.fail(error);
      }
      return exchange.done;
    };
    const result = this.tail.then(run, run);
    this.tail = result.catch(() => {});
    return result;
  }

  send(line) {
    this.channel.send(line);
  }

  // "uci" and its answer, the threads, then "isready".
  async handshake({ threads = 1, options = {} } = {}) {
    await this.request((exchange) => {
      exchange.onLine = (line) => {
        if (line.startsWith('id name ')) this.name = line.slice(8);
        else if (line.startsWith('option name ')) {
          const option = parseOption(line);
          this.options.set(option.name.toLowerCase(), option);
        } else if (line === 'uciok') exchange.finish();
      };
      this.send('uci');
    });
    if (this.mode === 'threads' && threads > 1) await this.setOption('Threads', threads);
    for (const [name, value] of Object.entries(options)) await this.setOption(name, value);
    await this.isReady();
  }

  isReady() {
    return this.request((exchange) => {
      exchange.onLine = (line) => line === 'readyok' && exchange.finish();
      this.send('isready');
    });
  }

  setOption(name, value) {
    return this.request((exchange) => {
      const option = this.options.get(String(name).toLowerCase());
      if (!option) throw new SolvaneError(`no option named ${name}`);
      if (option.name === 'MultiPV') this.multipv = Number(value);
      // The single-thread build takes the option and searches on its one thread.
      if (option.name === 'Threads') this.threads = this.mode === 'single' ? 1 : Number(value);
      exchange.onLine = (line) => line === 'readyok' && exchange.finish();
      this.send(`setoption name ${option.name} value ${value}`);
      this.send('isready');
    });
  }

  // Sets the position, and the lines to search if they are not those set:
  // an "info string" before the "readyok" says why the engine refused it.
  #position(exchange, fen, moves, multipv, then) {
    const line = positionLine(fen, moves);
    if (multipv !== this.multipv) {
      this.send(`setoption name MultiPV value ${multipv}`);
      this.multipv = multipv;
    }
    this.send(line);
    this.send('isready');
    const notices = [];
    exchange.onLine = (text) => {
      if (text.startsWith('info string ')) notices.push(text.slice(12));
      else if (text === 'readyok') {
        if (notices.length) exchange.fail(new SolvaneError(notices.join('; ')));
        else then();
      }
    };
  }

  // One search: resolves with its bestmove, its ponder move and the last
  // info line of its deepest depth; one that "stop" ends resolves the same.
  bestMove(fen, limits = {}) {
    const go = goLine(limits);
    return this.#search(fen, limits, 1, go, (infos, move, ponder) => ({
      move,
      ponder,
      info: infos.filter((i) => i.score).at(-1) ?? null,
    }));
  }

  // The best lines (multipv of them) of the deepest depth completed.
  analyse(fen, limits = {}) {
    const multipv = limits.multipv ?? 1;
    if (!Number.isInteger(multipv) || multipv < 1) throw new TypeError('multipv is a whole number from 1');
    const go = goLine(limits);
    return this.#search(fen, limits, multipv, go, (infos, move, ponder) => {
      const scored = infos.filter((i) => i.score);
      const depth = scored.at(-1)?.depth ?? 0;
      const lines = scored.filter((i) => i.depth === depth).sort((a, b) => (a.multipv ?? 1) - (b.multipv ?? 1));
      return { move, ponder, depth, lines };
    });
  }

  #search(fen, limits, multipv, go, result) {
    return this.request((exchange) => {
      this.#position(exchange, fen, limits.moves, multipv, () => {
        const infos = [];
        exchange.searching = true;
        exchange.onLine = (text) => {
          if (text.startsWith('info ')) {
            const info = parseInfo(text);
            infos.push(info);
            limits.onInfo?.(info);
          } else if (text.startsWith('bestmove ')) {
            const [, move, , ponder] = text.split(/\s+/);
            exchange.finish(result(infos, normalizeMove(move), normalizeMove(ponder)));
          }
        };
        this.send(go);
        if (exchange.stopping) this.send('stop');
      });
    });
  }

  // Ends the search under way, if any (it resolves with its bestmove); the
  // requests waiting go on after it.
  async stop() {
    const exchange = this.current;
    if (!exchange) return;
    exchange.stopping = true;
    if (exchange.searching) this.send('stop');
    await exchange.done.catch(() => {});
  }

  // Ends the engine once the search under way has stopped; requests made
  // since are refused.
  async quit() {
    if (this.ended) return;
    const stopping = this.stop();
    this.ended = 'the engine has quit';
    await stopping;
    this.send('quit');
    this.channel.close();
  }
}

// An "option name … type …" line: its name and its type's words.
export function parseOption(line) {
  const words = line.split(' ');
  const typeAt = words.indexOf('type');
  const option = { name: words.slice(2, typeAt).join(' '), type: words[typeAt + 1] };
  for (let i = typeAt + 2; i < words.length; i++) {
    const key = words[i];
    if (key === 'var') (option.vars ??= []).push(words[++i]);
    else if (key === 'default' || key === 'min' || key === 'max') {
      const value = words[++i] ?? '';
      option[key] = option.type === 'spin' ? Number(value) : option.type === 'check' ? value === 'true' : value;
    }
  }
  return option;
}

// Starts an engine over a channel made by connect(receive, gone).
export async function startEngine(connect, mode, settings) {
  let engine = null;
  const early = [];
  const channel = connect(
    (line) => (engine ? engine.receive(line) : early.push(line)),
    (reason) => engine?.gone(reason),
  );
  engine = new Engine(channel, mode);
  const opening = engine.handshake(settings);
  early.splice(0).forEach((line) => engine.receive(line));
  try {
    await opening;
  } catch (error) {
    channel.close();
    throw error;
  }
  return engine;
}

// Runs main with arguments (bench, perft) in a worker: its lines, and the
// node total when it is a bench.
export function runTool(start, args) {
  return new Promise((resolve, reject) => {
    const lines = [];
    start(
      (line) => lines.push(line),
      (reason, status) => {
        const total = lines.map((l) => /^Nodes searched: (\d+)/.exec(l)).find(Boolean);
        if (status === 0) resolve({ lines, nodes: total ? Number(total[1]) : null });
        else reject(new SolvaneError(reason));
      },
      args,
    );
  });
}
