// SPDX-License-Identifier: GPL-3.0-or-later
// Clocks without a browser: the controls offered, a chess clock's arithmetic
// (the time of the side to move runs; a move adds its increment), the clocks
// told to the engine, the PGN's TimeControl and clock comments, and the
// result of a fallen flag. Shared by the page and its unit tests.

// Minutes and seconds of increment: "3+2".
export const CONTROLS = ['1+0', '3+2', '5+0', '10+0', '15+10'];

// "3+2" -> {base: 180000, increment: 2000} in milliseconds; minutes may be
// fractional ("0.25+0"); null for anything else or a clock of no time.
export function parseControl(text) {
  const m = /^\s*(\d+(?:\.\d+)?)\s*\+\s*(\d+(?:\.\d+)?)\s*$/.exec(text ?? '');
  if (!m || +m[1] <= 0 || +m[1] > 600 || +m[2] > 600) return null;
  return { base: Math.round(+m[1] * 60000), increment: Math.round(+m[2] * 1000) };
}

// PGN's TimeControl: seconds, "+", seconds of increment.
export const timeControlTag = ({ base, increment }) => `${base / 1000}+${increment / 1000}`;

const other = (color) => (color === 'w' ? 'b' : 'w');

// A chess clock, read and pressed at times given in milliseconds.
export class Clock {
  constructor({ base, increment }) {
    Object.assign(this, { increment, left: { w: base, b: base }, running: null, since: 0 });
  }

  // Time left to a side at `now`, the running side's time counted down.
  remaining(color, now) {
    return this.left[color] - (this.running === color ? now - this.since : 0);
  }

  // The side whose flag has fallen, or null.
  flagged(now) {
    return this.running && this.remaining(this.running, now) <= 0 ? this.running : null;
  }

  start(color, now) {
    this.stop(now);
    Object.assign(this, { running: color, since: now });
  }

  stop(now) {
    if (this.running) this.left[this.running] = this.remaining(this.running, now);
    this.running = null;
  }

  // The mover's move is made: its increment added, the other side's time runs.
  // Returns the mover's time left.
  press(color, now) {
    this.stop(now);
    this.left[color] += this.increment;
    this.start(other(color), now);
    return this.left[color];
  }

  // Both sides' times as they were (take back), nothing running.
  set(left) {
    this.left = { ...left };
    this.running = null;
  }

  // The engine's "go" words for its clocks at `now`.
  goWords(now) {
    const [w, b] = ['w', 'b'].map((c) => Math.max(1, Math.round(this.remaining(c, now))));
    return `wtime ${w} btime ${b} winc ${this.increment} binc ${this.increment}`;
  }
}

// A clock as shown: "4:58", "1:02:03"; tenths under ten seconds ("0:09.3").
export function clockText(ms) {
  const t = Math.max(0, ms);
  if (t < 10000) return `0:0${Math.floor(t / 1000)}.${Math.floor((t % 1000) / 100)}`;
  const s = Math.floor(t / 1000);
  const [h, m] = [Math.floor(s / 3600), Math.floor((s % 3600) / 60)];
  const two = (n) => String(n).padStart(2, '0');
  return h ? `${h}:${two(m)}:${two(s % 60)}` : `${m}:${two(s % 60)}`;
}

// The PGN comment of a move's clock, whole seconds: "[%clk 0:04:58]".
export function clockComment(ms) {
  const s = Math.max(0, Math.floor(ms / 1000));
  const two = (n) => String(n).padStart(2, '0');
  return `[%clk ${Math.floor(s / 3600)}:${two(Math.floor((s % 3600) / 60))}:${two(s % 60)}]`;
}

// A fallen flag loses, but draws when the other side cannot mate by any
// series of legal moves (chessops' test for that side's material). pos: a
// chessops position.
export function flagResult(pos, flagged) {
  const name = flagged === 'w' ? 'White' : 'Black';
  if (pos.hasInsufficientMaterial(flagged === 'w' ? 'black' : 'white'))
    return { result: '1/2-1/2', reason: `${name}'s time is up, but the other side cannot mate` };
  return { result: flagged === 'w' ? '0-1' : '1-0', reason: `${name}'s time is up` };
}
