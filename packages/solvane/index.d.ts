// SPDX-License-Identifier: GPL-3.0-or-later
// Types of the solvane package; make npm-stage derives CommonJS's (index.d.cts) without SolvaneError.

/** `threads`: the WebAssembly build with threads (needs SharedArrayBuffer); `single`: the one without. */
export type Mode = 'auto' | 'threads' | 'single';

export interface StartSettings {
  /** Search threads (the Threads option); the single-thread build searches on one whatever is asked. */
  threads?: number;
  /** `auto` (the default): threads where SharedArrayBuffer exists, else single. */
  mode?: Mode;
  /** Options set once the engine has started, by name as `uci` announces them. */
  options?: Record<string, string | number | boolean>;
  /** Browser only: the folder holding worker.js and the engine's files, when they are not beside this module. */
  baseUrl?: string | URL;
}

export type Score = { cp: number; lowerbound?: true; upperbound?: true } | { mate: number; lowerbound?: true; upperbound?: true };

/** An `info` line read: moves in lower case (e7e8q) whatever Promote_in_uppercase says. */
export interface Info {
  depth?: number;
  seldepth?: number;
  multipv?: number;
  score?: Score;
  nodes?: number;
  nps?: number;
  time?: number;
  pv?: string[];
  currmove?: string;
  /** The text of an `info string` line. */
  string?: string;
}

export interface SearchLimits {
  depth?: number;
  nodes?: number;
  movetime?: number;
  wtime?: number;
  btime?: number;
  winc?: number;
  binc?: number;
  movestogo?: number;
  mate?: number;
  /** Searches until stop(). */
  infinite?: boolean;
  /** Moves played from the position before the search, as UCI moves (e2e4, e7e8q). */
  moves?: string[];
  /** The root searches only these moves. */
  searchmoves?: string[];
  /** Each info line as it comes. */
  onInfo?: (info: Info) => void;
}

export interface BestMove {
  /** null when the side to move has no legal move. */
  move: string | null;
  ponder: string | null;
  /** The last scored info line: the deepest depth completed. */
  info: Info | null;
}

export interface Analysis extends BestMove {
  depth: number;
  /** The best lines of that depth, best first (multipv 1, 2, …). */
  lines: Info[];
}

export interface EngineOption {
  name: string;
  type: string;
  default?: string | number | boolean;
  min?: number;
  max?: number;
  vars?: string[];
}

/** Raised for an engine that refused a request (a bad FEN, an unknown option) or that has ended (ES modules only: CommonJS sees its name). */
export class SolvaneError extends Error {}

export interface Engine {
  readonly name: string;
  readonly mode: 'threads' | 'single';
  readonly threads: number;
  /** The options `uci` announced, by lower-case name. */
  readonly options: Map<string, EngineOption>;
  /** A FEN or "startpos". Rejects with the engine's reason for a position it refuses. */
  bestMove(fen: string, limits: SearchLimits): Promise<BestMove>;
  analyse(fen: string, limits: SearchLimits & { multipv?: number }): Promise<Analysis>;
  /** Waits for the requests before it; resolves once the engine has the value. */
  setOption(name: string, value: string | number | boolean): Promise<void>;
  isReady(): Promise<void>;
  /** Ends the search under way, which still resolves with its bestmove. */
  stop(): Promise<void>;
  /** Ends the engine after the search under way; requests still waiting are refused. */
  quit(): Promise<void>;
}

/**
 * The raw UCI worker: a Worker in the browser, a worker_threads Worker under
 * Node. Post it UCI lines; each engine line comes back as one string message,
 * then { exit: status } once the engine has ended.
 */
export interface UciWorker {
  postMessage(line: string): void;
  terminate(): unknown;
}

export interface BenchResult {
  lines: string[];
  nodes: number | null;
}

export declare const Solvane: {
  start(settings?: StartSettings): Promise<Engine>;
  /** `bench DEPTH` in the package's engine, as `solvane bench DEPTH` prints it. */
  bench(depth?: number, settings?: { mode?: Mode; baseUrl?: string | URL }): Promise<BenchResult>;
  uciWorker(settings?: { mode?: Mode; args?: string[]; baseUrl?: string | URL }): UciWorker;
  /** Browser only: whether the threaded build can run on this page. */
  threadsAvailable?(): boolean;
};
export default Solvane;
