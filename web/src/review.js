// SPDX-License-Identifier: GPL-3.0-or-later
// "Analyse the game" (the graph, at the depth chosen) and "Review the game"
// (the same at the review's fixed depth, then each move marked): the
// progress, the summary of each side, and "Next mistake", which shows the
// position before a marked move with the engine's move as an arrow and in SAN.
import { MARKS, nextMarked, REVIEW_DEPTH, review } from './marks.js';
import { numberedLine, pvToSan, uciMove } from './uci.js';

const $ = (id) => document.getElementById(id);
const NAMES = { w: 'White', b: 'Black' };

// page: {game, analysis(), prepare() (stops what runs, an analysis board), refresh, jump}
export function wireReview(page) {
  const { game } = page;
  const hint = { shown: null }; // {ply, best, played}: the marked move shown by "Next mistake"

  async function run(depth, reviewing) {
    page.prepare();
    const progress = $('game-progress');
    Object.assign(progress, { hidden: false, value: 0 });
    $('game-message').textContent = '';
    const done = page.analysis().analyseGame(game, depth, (share) => {
      progress.value = share;
      page.refresh();
    });
    page.refresh();
    const finished = await done;
    if (finished && reviewing) game.review = review(game.evals, game.moves.map((m) => m.color));
    const what = reviewing ? 'reviewed' : 'analysed';
    $('game-message').textContent = finished ? `Game ${what} at depth ${depth}.` : 'Game analysis stopped.';
    page.refresh();
  }

  $('analyse-game').onclick = () => run(Number($('game-depth').value), false);
  $('review').onclick = () => run(REVIEW_DEPTH, true);
  $('next-mistake').onclick = () => {
    const move = game.review && nextMarked(game.review.moves, $('review-side').value, hint.shown?.ply ?? game.cursor);
    if (!move) return ($('review-hint').textContent = `No move of ${NAMES[$('review-side').value]} is marked.`);
    const fen = game.fenAt(move.ply - 1);
    const best = game.bests[move.ply - 1];
    const played = game.moves[move.ply - 1];
    const bestSan = best ? numberedLine(fen, pvToSan(fen, [best], game.chess960)) : '';
    hint.shown = { ply: move.ply, best: best && uciMove(best), played: { from: played.from, to: played.to } };
    $('review-hint').textContent = `${numberedLine(fen, [played.san + move.mark.symbol])}: ${move.mark.word.toLowerCase()}` +
      (bestSan ? `. Solvane preferred ${bestSan}.` : '.');
    page.jump(move.ply - 1);
  };

  return {
    // The arrows of the marked move shown, while its position is: the engine's move, and the move played.
    arrows() {
      if (!hint.shown || game.cursor !== hint.shown.ply - 1 || !game.review) return null;
      return [hint.shown.best, { ...hint.shown.played, brush: 'red' }].filter(Boolean);
    },
    render() {
      if (!game.review) hint.shown = null;
      if (!hint.shown) $('review-hint').textContent = '';
      renderSummary($('review-summary'), game.review);
      $('next-mistake').disabled = !game.review;
    },
  };
}

// Each side's marks and accuracy.
function renderSummary(table, result) {
  table.hidden = !result;
  if (!result) return;
  const cell = (tag, text) => Object.assign(document.createElement(tag), { textContent: text });
  const rows = ['w', 'b'].map((color) => {
    const side = result.sides[color];
    const row = document.createElement('tr');
    row.append(cell('th', NAMES[color]), ...MARKS.map((mark) => cell('td', side.counts[mark.word])),
      cell('td', side.accuracy === null ? '–' : `${side.accuracy.toFixed(1)} %`));
    return row;
  });
  const head = document.createElement('tr');
  head.append(cell('th', 'Side'), ...MARKS.map((mark) => cell('th', `${mark.word} (${mark.symbol})`)), cell('th', 'Accuracy'));
  table.querySelector('thead').replaceChildren(head);
  table.querySelector('tbody').replaceChildren(...rows);
}
