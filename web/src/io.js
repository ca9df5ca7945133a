// SPDX-License-Identifier: GPL-3.0-or-later
// "Game in and out": a FEN or PGN loaded from the box, and the game's PGN or
// the position's FEN copied out. A text refused leaves the game as it was.
import { looksLikeFen } from './logic.js';

const $ = (id) => document.getElementById(id);

function say(text, error = false) {
  const message = $('io-message');
  message.textContent = text;
  message.classList.toggle('error', error);
}

async function copy(text, what) {
  $('io-text').value = text;
  try {
    await navigator.clipboard.writeText(text);
    say(`${what} copied to the clipboard.`);
  } catch {
    say(`${what} is in the box above.`);
  }
}

// headers(): the PGN tags of a game played here; loaded(): after a game or position is loaded.
export function wireGameIo(game, { headers, loaded }) {
  $('load').onclick = () => {
    const text = $('io-text').value.trim();
    const fen = looksLikeFen(text);
    try {
      if (fen) game.loadFen(text, $('io-chess960').checked);
      else game.loadPgn(text);
    } catch (error) {
      say(error.message, true);
      return;
    }
    say(fen ? 'Position loaded.' : `Game loaded: ${game.length} plies.`);
    loaded();
  };
  $('copy-pgn').onclick = () => copy(game.pgn(headers()), 'PGN');
  $('copy-fen').onclick = () => copy(game.fenAt(), 'FEN');
}
