// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard: the buttons and keys that step through the game (arrows,
// Home, End), "f" to flip the board, and a move typed in SAN or in the
// engine's notation.
const $ = (id) => document.getElementById(id);

// page: {game, jump, flip, playTyped(text) -> the reason it was refused, or null}
export function wireKeyboard({ game, jump, flip, playTyped }) {
  $('first').onclick = () => jump(0);
  $('previous').onclick = () => jump(game.cursor - 1);
  $('next').onclick = () => jump(game.cursor + 1);
  $('last').onclick = () => jump(game.length);
  const keys = {
    ArrowLeft: () => jump(game.cursor - 1), ArrowRight: () => jump(game.cursor + 1),
    ArrowUp: () => jump(0), ArrowDown: () => jump(game.length), Home: () => jump(0), End: () => jump(game.length),
    f: flip,
  };
  document.addEventListener('keydown', (event) => {
    if (event.target.closest('input, textarea, select') || event.ctrlKey || event.metaKey || event.altKey) return;
    if (!keys[event.key]) return;
    event.preventDefault();
    keys[event.key]();
  });
  $('move-form').onsubmit = (event) => {
    event.preventDefault();
    const input = $('move-input');
    const refused = playTyped(input.value);
    $('move-message').textContent = refused ?? '';
    if (!refused) input.value = '';
  };
}
