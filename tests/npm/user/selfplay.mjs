// SPDX-License-Identifier: GPL-3.0-or-later
// A user's script: the engine plays itself from the start, each move checked
// legal by chessops, with a different kind of limit each move. Prints the game.
import { Solvane } from 'solvane';
import { Chess } from 'chessops/chess';
import { makeFen } from 'chessops/fen';
import { parseUci } from 'chessops/util';

const mode = process.argv[2] || 'auto';
const engine = await Solvane.start({ mode, threads: 2 });
const limits = [{ depth: 3 }, { movetime: 40 }, { nodes: 5000 }, { wtime: 2000, btime: 2000, winc: 20, binc: 20 }];
const pos = Chess.default();
const moves = [];
while (moves.length < 16 && !pos.isEnd()) {
  const fen = makeFen(pos.toSetup());
  const { move } = await engine.bestMove(fen, limits[moves.length % limits.length]);
  const played = move && parseUci(move);
  if (!played || !pos.isLegal(played)) throw new Error(`the engine played ${move} in ${fen}`);
  pos.play(played);
  moves.push(move);
}
await engine.quit();
console.log(JSON.stringify({ mode: engine.mode, threads: engine.threads, moves }));
