// SPDX-License-Identifier: GPL-3.0-or-later
// A user's page: the engine's move in a position, then bench 5, shown on the page.
import { Solvane } from 'solvane';

const show = (id, text) => (document.getElementById(id).textContent = text);
try {
  const engine = await Solvane.start();
  show('mode', engine.mode);
  const fen = 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1';
  const { move } = await engine.bestMove(fen, { depth: 5, onInfo: (info) => info.pv && show('line', info.pv.join(' ')) });
  show('best', move);
  await engine.quit();
  show('bench', (await Solvane.bench(5)).nodes);
} catch (error) {
  show('error', String(error));
}
