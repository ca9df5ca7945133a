// SPDX-License-Identifier: GPL-3.0-or-later
// The game's clocks on the page: the control chosen, both clocks shown beside
// the board, the side to move's running while a game is played, the engine
// told its clocks, and a fallen flag ending the game.
import { Clock, clockText, CONTROLS, parseControl } from './timing.js';

const $ = (id) => document.getElementById(id);
const now = () => performance.now();
const NAMES = { w: 'White', b: 'Black' };

export class ClockView {
  // onFlag(): the game has just ended on time.
  constructor(game, onFlag) {
    Object.assign(this, { game, onFlag, clock: null });
    const control = $('clock-control');
    control.replaceChildren(new Option('No clock', ''), ...CONTROLS.map((c) => new Option(c, c)),
      new Option('Custom', 'custom'));
    control.onchange = () => ($('custom-clock').hidden = control.value !== 'custom');
    setInterval(() => this.tick(), 100);
  }

  // The control chosen, or null; a custom one as typed ("2+1": minutes, seconds of increment).
  chosen() {
    const value = $('clock-control').value;
    return value === 'custom' ? parseControl($('clock-custom').value) : parseControl(value);
  }

  // A new game: its clocks at the control chosen.
  newGame() {
    this.game.control = this.chosen();
    this.clock = this.game.control && new Clock(this.game.control);
  }

  // A move made in play: the mover's clock pressed, its time after the move kept with it.
  moved(played) {
    if (this.clock?.running) played.clock = this.clock.press(played.color, now());
  }

  // After a take back, each side has its time after its last move kept.
  takenBack() {
    if (!this.clock) return;
    const left = { w: this.game.control.base, b: this.game.control.base };
    for (const move of this.game.moves) if (move.clock !== undefined) left[move.color] = move.clock;
    this.clock.set(left);
  }

  // A game loaded or an analysis board has no clock.
  drop() {
    this.clock = this.game.control = null;
  }

  // The "go" words of the engine's clocks, or null in a game without one.
  goWords() {
    return this.clock?.running ? this.clock.goWords(now()) : null;
  }

  engineSeconds(color) {
    return this.clock.remaining(color, now()) / 1000;
  }

  // The side to move's clock runs only while the game is played and not over; shown as the board is turned.
  sync(playing, orientation) {
    const { clock, game } = this;
    this.render(orientation);
    if (!clock) return;
    const turn = game.turnAt(game.length);
    if (!playing || game.outcome()) clock.stop(now());
    else if (clock.running !== turn) clock.start(turn, now());
  }

  tick() {
    const flagged = this.clock?.flagged(now());
    if (flagged) {
      this.clock.stop(now());
      this.game.flagged = flagged;
      this.onFlag();
    }
    this.render();
  }

  // White's clock at the bottom when White is, as the board is turned.
  render(orientation = this.orientation) {
    this.orientation = orientation;
    const { clock } = this;
    const bottom = orientation === 'white' ? 'w' : 'b';
    for (const [id, color] of [['clock-top', bottom === 'w' ? 'b' : 'w'], ['clock-bottom', bottom]]) {
      const box = $(id);
      box.hidden = !clock;
      if (!clock) continue;
      const left = clock.remaining(color, now());
      box.querySelector('.clock-name').textContent = NAMES[color];
      box.querySelector('.clock-time').textContent = clockText(left);
      box.classList.toggle('running', clock.running === color);
      box.classList.toggle('low', left < 10000);
      box.dataset.color = color;
    }
  }
}
