// SPDX-License-Identifier: GPL-3.0-or-later
// The page: wires the game, the board, the panels and the engine together.
import 'chessground/assets/chessground.base.css';
import 'chessground/assets/chessground.brown.css';
import 'chessground/assets/chessground.cburnett.css';
import { BoardView } from './board.js';
import { Engine } from './engine.js';
import { Game } from './game.js';
import { renderBanner, renderEvalBar, renderGraph, renderLines, renderMoves, renderSettings, UciLog } from './panels.js';
import {
  DEPTHS, MOVE_TIMES, goCommand, levelText, numberedLine, pvToSan, timeControlTag, uciMove, whiteScore,
} from './uci.js';

const $ = (id) => document.getElementById(id);
const other = (color) => (color === 'w' ? 'b' : 'w');

const game = new Game();
const view = {
  mode: 'play', // or 'analyse': the user moves both sides and the engine never replies
  userColor: 'w',
  orientation: 'white',
  thinking: null, // the engine's search for its move
  analysis: null, // {search, fen, turn, rows, running}
  gameRun: null, // the analysis of every position of the game
  choosing: false, // the promotion choice is open
};
let engine = null;
const log = new UciLog($('raw'), $('uci-log'));

function level() {
  const value = Number($('level-value').value);
  return $('level-kind').value === 'time' ? { kind: 'time', seconds: value } : { kind: 'depth', depth: value };
}

function fillLevels() {
  const kind = $('level-kind').value;
  const values = kind === 'time' ? MOVE_TIMES : DEPTHS;
  const chosen = kind === 'time' ? 1 : 6;
  $('level-value').replaceChildren(
    ...values.map((v) => new Option(kind === 'time' ? `${v} s` : `${v}`, v, false, v === chosen)),
  );
}

function setStatus(text) {
  $('engine-status').textContent = text;
}

// Gives up the engine's search for its move, if one runs.
function cancelThinking() {
  view.thinking?.cancel();
  view.thinking = null;
}

function setMode(mode) {
  view.mode = mode;
  $('mode').value = mode;
  if (mode === 'analyse') cancelThinking();
}

function canMove() {
  if (view.choosing || view.gameRun) return false;
  if (view.mode === 'analyse') return true;
  if (view.thinking || game.turnAt() !== view.userColor) return false;
  return game.cursor < game.length || !game.outcome();
}

function refresh() {
  const chess = game.at();
  const last = game.moves[game.cursor - 1];
  const analysis = view.analysis && view.analysis.fen === chess.fen() ? view.analysis : null;
  const best = analysis?.rows[0]?.pv[0];
  view.board.show(chess, {
    lastMove: last ? [last.from, last.to] : undefined,
    movable: canMove(),
    orientation: view.orientation,
    arrow: best ? uciMove(best) : null,
  });
  renderMoves($('moves'), game, jump);
  const outcome = game.outcome();
  renderBanner($('banner'), outcome);
  renderEvalBar($('eval-bar'), analysis?.rows[0]?.score ?? game.evals[game.cursor]);
  renderGraph($('graph'), game.evals, game.length + 1, game.cursor, jump);
  const playing = view.mode === 'play';
  $('resign').disabled = !playing || !!outcome || !!view.gameRun;
  $('take-back').disabled = !playing || !!view.gameRun || takeBackPlies() === 0;
  $('stop').disabled = !(view.analysis?.running || view.gameRun);
  $('analyse').disabled = !engine || !!view.gameRun;
  $('analyse-game').disabled = !engine || !!view.gameRun;
  document.body.dataset.thinking = view.thinking ? 'yes' : 'no';
  document.body.dataset.analysing = view.analysis?.running || view.gameRun ? 'yes' : 'no';
  let turn = '';
  if (view.thinking) turn = 'Solvane is thinking…';
  else if (playing && !outcome && game.cursor === game.length)
    turn = game.turnAt() === view.userColor ? 'Your move' : 'Solvane to move';
  $('turn-status').textContent = turn;
}

function jump(ply) {
  game.cursor = Math.max(0, Math.min(game.length, ply));
  positionChanged();
}

// After any change of the position shown: the board, a running analysis
// moves on to the new position, and the engine plays when its turn comes.
function positionChanged() {
  refresh();
  if (view.analysis?.running && view.analysis.fen !== game.at().fen()) startAnalysis();
  engineMove();
}

async function engineMove() {
  if (!engine || view.mode !== 'play' || view.thinking || view.gameRun || game.outcome()) return;
  if (game.cursor !== game.length || game.turnAt() === view.userColor) return;
  const ply = game.length;
  const search = engine.search(game.positionCommand(ply), goCommand(level()));
  view.thinking = search;
  refresh();
  const best = await search.done;
  if (view.thinking === search) view.thinking = null;
  if (best !== undefined && best !== '(none)' && game.length === ply) {
    game.cursor = ply;
    if (!game.play(uciMove(best))) setStatus(`Solvane played an illegal move: ${best}`);
  }
  positionChanged();
}

async function onBoardMove(from, to) {
  let promotion;
  if (game.needsPromotion(from, to)) {
    view.choosing = true;
    refresh();
    promotion = await view.board.choosePromotion(game.turnAt());
    view.choosing = false;
    if (!promotion) return refresh();
  }
  cancelThinking();
  game.play({ from, to, promotion });
  positionChanged();
}

// Back to the user's move, with one move of the user's taken back.
function takeBackPlies() {
  const plies = Math.min(game.length, game.turnAt(game.length) === view.userColor ? 2 : 1);
  return game.moves.slice(game.length - plies).some((m) => m.color === view.userColor) ? plies : 0;
}

function stopEverything() {
  cancelThinking();
  if (view.gameRun) view.gameRun.cancelled = true;
  view.gameRun?.search?.cancel();
  view.gameRun = null;
  view.analysis?.search.cancel();
  view.analysis = null;
  renderLines($('lines-body'), []);
  $('game-progress').hidden = true;
  $('game-message').textContent = '';
}

function newGame() {
  stopEverything();
  setMode('play');
  view.userColor = $('side').value;
  view.orientation = view.userColor === 'w' ? 'white' : 'black';
  game.reset();
  positionChanged();
}

function startAnalysis() {
  if (!engine) return;
  setMode('analyse');
  view.analysis?.search.cancel();
  const chess = game.at();
  const fen = chess.fen();
  const turn = chess.turn();
  const analysis = { fen, turn, rows: [], running: true };
  analysis.search = engine.search(game.positionCommand(), 'go infinite', (info) => {
    analysis.rows.unshift({ ...info, score: whiteScore(info, turn), line: numberedLine(fen, pvToSan(fen, info.pv)) });
    renderLines($('lines-body'), analysis.rows);
    refresh();
  });
  view.analysis = analysis;
  renderLines($('lines-body'), []);
  analysis.search.done.then(() => {
    analysis.running = false;
    if (view.analysis === analysis) refresh();
  });
  refresh();
}

function stop() {
  if (view.gameRun) {
    view.gameRun.cancelled = true;
    view.gameRun.search?.cancel();
  } else engine?.stop();
}

// Every position of the game searched to one depth, for the graph.
async function analyseGame() {
  stopEverything();
  setMode('analyse');
  const depth = Number($('game-depth').value);
  const run = { cancelled: false };
  view.gameRun = run;
  const progress = $('game-progress');
  progress.hidden = false;
  progress.value = 0;
  game.evals = [];
  const plies = game.length + 1;
  refresh();
  for (let ply = 0; ply < plies && !run.cancelled; ply++) {
    const chess = game.at(ply);
    let score = { cp: 0 };
    if (chess.isCheckmate()) score = { mate: 0, winner: other(chess.turn()) };
    else if (!chess.isDraw()) {
      let last = null;
      run.search = engine.search(game.positionCommand(ply), `go depth ${depth}`, (info) => (last = info));
      await run.search.done;
      if (run.cancelled) break;
      if (last) score = whiteScore(last, chess.turn());
    }
    game.evals[ply] = score;
    progress.value = (ply + 1) / plies;
    refresh();
  }
  if (view.gameRun === run) view.gameRun = null;
  $('game-message').textContent = run.cancelled ? 'Game analysis stopped.' : `Game analysed to depth ${depth}.`;
  refresh();
}

function ioMessage(text, error = false) {
  const message = $('io-message');
  message.textContent = text;
  message.classList.toggle('error', error);
}

async function copy(text, what) {
  $('io-text').value = text;
  try {
    await navigator.clipboard.writeText(text);
    ioMessage(`${what} copied to the clipboard.`);
  } catch {
    ioMessage(`${what} is in the box above.`);
  }
}

function pgnHeaders() {
  const date = new Date();
  const engineName = engine?.name ?? 'Solvane';
  return {
    Event: 'Solvane web game',
    Site: 'Solvane web page',
    Date: `${date.getFullYear()}.${String(date.getMonth() + 1).padStart(2, '0')}.${String(date.getDate()).padStart(2, '0')}`,
    Round: '-',
    White: view.userColor === 'w' ? 'Player' : engineName,
    Black: view.userColor === 'b' ? 'Player' : engineName,
    TimeControl: timeControlTag(level()),
    Level: levelText(level()),
  };
}

function load() {
  const text = $('io-text').value.trim();
  const fen = /^\S+(\/\S+){7}(\s|$)/.test(text);
  try {
    if (fen) game.loadFen(text);
    else game.loadPgn(text);
  } catch (error) {
    ioMessage(error.message, true);
    return;
  }
  stopEverything();
  ioMessage(fen ? 'Position loaded.' : `Game loaded: ${game.length} plies.`);
  positionChanged();
}

function start() {
  view.board = new BoardView($('board'), $('promotion'), onBoardMove);
  fillLevels();
  $('game-depth').replaceChildren(...DEPTHS.map((d) => new Option(`${d}`, d, false, d === 4)));
  $('level-kind').onchange = fillLevels;
  $('mode').onchange = () => {
    setMode($('mode').value);
    positionChanged();
  };
  $('new-game').onclick = newGame;
  $('take-back').onclick = () => {
    const plies = takeBackPlies();
    if (!plies) return;
    cancelThinking();
    game.takeBack(plies);
    positionChanged();
  };
  $('flip').onclick = () => {
    view.orientation = view.orientation === 'white' ? 'black' : 'white';
    refresh();
  };
  $('resign').onclick = () => {
    cancelThinking();
    game.cursor = game.length;
    game.resigned = view.userColor;
    refresh();
  };
  $('first').onclick = () => jump(0);
  $('previous').onclick = () => jump(game.cursor - 1);
  $('next').onclick = () => jump(game.cursor + 1);
  $('last').onclick = () => jump(game.length);
  document.addEventListener('keydown', (event) => {
    if (event.target.closest('input, textarea, select')) return;
    if (event.key === 'ArrowLeft') jump(game.cursor - 1);
    if (event.key === 'ArrowRight') jump(game.cursor + 1);
  });
  $('analyse').onclick = startAnalysis;
  $('stop').onclick = stop;
  $('analyse-game').onclick = analyseGame;
  $('load').onclick = load;
  $('copy-pgn').onclick = () => copy(game.pgn(pgnHeaders()), 'PGN');
  $('copy-fen').onclick = () => copy(game.at().fen(), 'FEN');
  renderSettings($('settings-form'), (name, value) => engine?.setOption(name, value));

  if (!self.crossOriginIsolated) {
    $('isolation').hidden = false;
    setStatus('Engine unavailable: the page is not cross-origin isolated');
    setMode('analyse');
  } else {
    engine = new Engine('engine-worker.js', {
      onLine: (line) => log.add('←', line),
      onSent: (line) => log.add('→', line),
      onError: (message) => setStatus(`Engine error: ${message}`),
    });
    engine.ready.then((ms) => {
      setStatus(`${engine.name} ready (${Math.round(ms)} ms)`);
      document.body.dataset.engine = 'ready';
      document.body.dataset.startupMs = Math.round(ms);
      refresh();
      engineMove();
    });
  }
  refresh();
}

start();
