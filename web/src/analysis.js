// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's analyses: one position searched until stopped for its best
// lines, or every position of the game searched to one depth (one line) for
// the evaluation graph. One of them runs at a time, and cancel() ends either.
import { updateLines } from './logic.js';
import { numberedLine, pvToSan, whiteScore } from './uci.js';

const other = (color) => (color === 'w' ? 'b' : 'w');
// Analyses search at full strength, whatever level the game is played at,
// in the game's variant.
const fullStrength = (lines, game) => ({ MultiPV: lines, UCI_LimitStrength: false, UCI_Chess960: game.chess960 });

export class Analysis {
  constructor(engine, onChange) {
    Object.assign(this, { engine, onChange });
    this.position = null; // {fen, turn, rows, running, search}
    this.gameRun = null; // {cancelled, search}
  }

  // The position analysis of this FEN, if it is the one shown.
  of(fen) {
    return this.position?.fen === fen ? this.position : null;
  }

  get running() {
    return !!(this.position?.running || this.gameRun);
  }

  // Searches the position shown until stopped, for its best lines: a row
  // for each line of the latest depth, with its score from White's side and
  // its moves in SAN.
  analysePosition(game, lines) {
    this.position?.search.cancel();
    const fen = game.fenAt();
    const turn = game.turnAt();
    const { chess960 } = game;
    const position = { fen, turn, rows: [], running: true };
    const onInfo = (info) => {
      const san = pvToSan(fen, info.pv, chess960);
      const row = {
        ...info, score: whiteScore(info, turn), line: numberedLine(fen, san), head: numberedLine(fen, san.slice(0, 1)),
      };
      position.rows = updateLines(position.rows, row);
      this.onChange();
    };
    position.search = this.engine.search(game.positionCommand(), 'go infinite', onInfo, fullStrength(lines, game));
    position.search.done.then(() => {
      position.running = false;
      if (this.position === position) this.onChange();
    });
    this.position = position;
    this.onChange();
  }

  // Scores every position of the game at one depth into game.evals, from
  // White's side, and its best move into game.bests; true once done, false
  // when cancelled.
  async analyseGame(game, depth, onProgress) {
    this.cancel();
    const run = { cancelled: false };
    this.gameRun = run;
    game.evals = [];
    game.bests = [];
    const plies = game.length + 1;
    for (let ply = 0; ply < plies; ply++) {
      const [ending, turn] = [game.ending(ply), game.turnAt(ply)];
      let score = { cp: 0 };
      if (ending?.reason === 'checkmate') score = { mate: 0, winner: other(turn) };
      else if (!ending) {
        let last = null;
        const onInfo = (info) => (last = info);
        run.search = this.engine.search(game.positionCommand(ply), `go depth ${depth}`, onInfo, fullStrength(1, game));
        await run.search.done;
        if (run.cancelled) return false;
        if (last) score = whiteScore(last, turn);
        game.bests[ply] = last?.pv[0];
      }
      game.evals[ply] = score;
      onProgress((ply + 1) / plies);
    }
    this.gameRun = null;
    return true;
  }

  // "Stop": the game's analysis is given up; a position's search ends with its rows kept.
  stop() {
    if (this.gameRun) this.cancelGameRun();
    else this.engine.stop();
  }

  cancel() {
    this.cancelGameRun();
    this.position?.search.cancel();
    this.position = null;
  }

  cancelGameRun() {
    if (!this.gameRun) return;
    this.gameRun.cancelled = true;
    this.gameRun.search?.cancel();
    this.gameRun = null;
  }
}
