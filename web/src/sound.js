// SPDX-License-Identifier: GPL-3.0-or-later
// The sounds of a move, a capture, a check and the game's end, made with the
// Web Audio API (no files to load), and the switch that turns them off,
// remembered in the browser.
const KEY = 'solvane-sounds';
// Each sound: notes of [frequency in Hz, start and length in seconds], and its wave.
const SOUNDS = {
  move: { wave: 'triangle', notes: [[520, 0, 0.07]] },
  capture: { wave: 'square', notes: [[260, 0, 0.05], [180, 0.04, 0.09]] },
  check: { wave: 'sine', notes: [[880, 0, 0.09], [1175, 0.1, 0.12]] },
  end: { wave: 'sine', notes: [[523, 0, 0.18], [659, 0.12, 0.18], [784, 0.24, 0.35]] },
};

export class Sounds {
  constructor(checkbox) {
    this.checkbox = checkbox;
    checkbox.checked = localStorage.getItem(KEY) !== 'off';
    checkbox.addEventListener('change', () => localStorage.setItem(KEY, checkbox.checked ? 'on' : 'off'));
  }

  play(kind) {
    if (!this.checkbox.checked || !self.AudioContext) return;
    // Made at the first sound, after the user's first gesture, as browsers require.
    this.context ??= new AudioContext();
    const { wave, notes } = SOUNDS[kind];
    const t = this.context.currentTime;
    for (const [frequency, start, length] of notes) {
      const [tone, gain] = [this.context.createOscillator(), this.context.createGain()];
      Object.assign(tone, { type: wave });
      tone.frequency.value = frequency;
      gain.gain.setValueAtTime(0.15, t + start);
      gain.gain.exponentialRampToValueAtTime(0.001, t + start + length);
      tone.connect(gain).connect(this.context.destination);
      tone.start(t + start);
      tone.stop(t + start + length);
    }
  }
}
