// SPDX-License-Identifier: GPL-3.0-or-later
// The page: its state, the refresh of what it shows, and the wiring of the
// game, the board, the panels, the analyses and the engine.
import 'chessground/assets/chessground.base.css';
import 'chessground/assets/chessground.brown.css';
import 'chessground/assets/chessground.cburnett.css';
import { Analysis } from './analysis.js';
import { BoardView } from './board.js';
import { Engine } from './engine.js';
import { Game } from './game.js';
import { installApp } from './install.js';
import { wireGameIo } from './io.js';
import { canMove, pgnHeaders, settingsOptions, takeBackPlies, turnText } from './logic.js';
import {
  fillLevels, readLevel, renderBanner, renderEvalBar, renderGraph, renderLines, renderMoves, renderSettings, UciLog,
  wireNavigation,
} from './panels.js';
import { chess960Fen, INITIAL_FEN } from './rules.js';
import { clampSpin, DEPTHS, goCommand, levelOptions, levelSeconds, LINES, uciMove } from './uci.js';

const $ = (id) => document.getElementById(id);
const START_NUMBERS = { min: 0, max: 959 };

const game = new Game();
const view = {
  mode: 'play', // or 'analyse': the user moves both sides and the engine never replies
  userColor: 'w',
  orientation: 'white',
  thinking: null, // the engine's search for its move
  choosing: false, // the promotion choice is open
  number: null, // the Chess960 start position's number, for a game started here
};
let engine = null;
let analysis = null; // the engine's analyses, once there is an engine
const live = () => engine && !engine.dead;
const log = new UciLog($('raw'), $('uci-log'));

const level = () => readLevel($('level-kind'), $('level-value'));

const setStatus = (text) => ($('engine-status').textContent = text);

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

function refresh() {
  const gameRun = !!analysis?.gameRun;
  const last = game.moves[game.cursor - 1];
  const shown = analysis?.of(game.fenAt());
  view.board.show(game.at(), {
    lastMove: last ? [last.from, last.to] : undefined,
    movable: canMove({ ...view, gameRun }, game),
    orientation: view.orientation,
    arrows: (shown?.rows ?? []).filter((row) => row.pv.length).map((row) => uciMove(row.pv[0])),
  });
  renderMoves($('moves'), game, jump);
  const outcome = game.outcome();
  renderBanner($('banner'), outcome);
  renderLines($('lines-body'), analysis?.position?.rows ?? [], playLine);
  renderEvalBar($('eval-bar'), shown?.rows[0]?.score ?? game.evals[game.cursor]);
  renderGraph($('graph'), game.evals, game.length + 1, game.cursor, jump);
  const playing = view.mode === 'play';
  $('resign').disabled = !playing || !!outcome || gameRun;
  $('take-back').disabled = !playing || gameRun || takeBackPlies(game, view.userColor) === 0;
  $('stop').disabled = !analysis?.running;
  $('analyse').disabled = !live() || gameRun;
  $('analyse-game').disabled = !live() || gameRun;
  document.body.dataset.thinking = view.thinking ? 'yes' : 'no';
  document.body.dataset.analysing = analysis?.running ? 'yes' : 'no';
  $('turn-status').textContent = turnText(view, game);
  const number = view.number === null ? '' : ` position ${view.number}`;
  $('variant').textContent = game.chess960 ? `Chess960${number}` : '';
}

function jump(ply) {
  game.cursor = Math.max(0, Math.min(game.length, ply));
  positionChanged();
}

// After any change of the position shown: the board, a running analysis
// moves on to the new position, and the engine plays when its turn comes.
function positionChanged() {
  refresh();
  if (analysis?.position?.running && analysis.position.fen !== game.fenAt()) startAnalysis();
  engineMove();
}

async function engineMove() {
  if (!live() || view.mode !== 'play' || view.thinking || analysis.gameRun || game.outcome()) return;
  if (game.cursor !== game.length || game.turnAt() === view.userColor) return;
  const ply = game.length;
  const options = { ...levelOptions(level()), UCI_Chess960: game.chess960 };
  const search = engine.search(game.positionCommand(ply), goCommand(level()), undefined, options,
    levelSeconds(level()));
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

function stopEverything() {
  cancelThinking();
  analysis?.cancel();
  $('game-progress').hidden = true;
  $('game-message').textContent = '';
}

// A Chess960 game starts from the number typed, or from one drawn at random.
function newGame(chess960) {
  stopEverything();
  setMode('play');
  view.userColor = $('side').value;
  view.orientation = view.userColor === 'w' ? 'white' : 'black';
  const typed = $('start-number').value;
  view.number = !chess960 ? null : typed === '' ? Math.floor(Math.random() * 960) : clampSpin(START_NUMBERS, typed);
  game.reset(chess960 ? chess960Fen(view.number) : INITIAL_FEN, chess960);
  positionChanged();
}

function startAnalysis() {
  if (!analysis) return;
  setMode('analyse');
  analysis.analysePosition(game, Number($('lines').value));
}

// A line's first move, clicked in its row: played on the board in analysis.
function playLine(move) {
  if (view.mode !== 'analyse' || !game.play(uciMove(move))) return;
  positionChanged();
}

// Every position of the game searched to one depth, for the graph.
async function analyseGame() {
  stopEverything();
  setMode('analyse');
  const depth = Number($('game-depth').value);
  const progress = $('game-progress');
  Object.assign(progress, { hidden: false, value: 0 });
  const done = analysis.analyseGame(game, depth, (share) => {
    progress.value = share;
    refresh();
  });
  refresh();
  $('game-message').textContent = (await done) ? `Game analysed to depth ${depth}.` : 'Game analysis stopped.';
  refresh();
}

function takeBack() {
  const plies = takeBackPlies(game, view.userColor);
  if (!plies) return;
  cancelThinking();
  game.takeBack(plies);
  positionChanged();
}

function wire() {
  $('level-kind').onchange = () => fillLevels($('level-kind'), $('level-value'));
  $('mode').onchange = () => {
    setMode($('mode').value);
    positionChanged();
  };
  $('new-game').onclick = () => newGame(false);
  $('new-chess960').onclick = () => newGame(true);
  $('take-back').onclick = takeBack;
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
  wireNavigation(game, jump);
  $('analyse').onclick = startAnalysis;
  $('lines').onchange = () => analysis?.position?.running && startAnalysis();
  $('stop').onclick = () => analysis?.stop();
  $('analyse-game').onclick = analyseGame;
  wireGameIo(game, {
    headers: () => pgnHeaders(new Date(), engine?.name ?? 'Solvane', view.userColor, level()),
    loaded: () => {
      stopEverything();
      view.number = null;
      positionChanged();
    },
  });
}

// The engine in its worker; again after it is gone, with the settings the
// user chose, going on with the game or the analysis shown.
function startEngine(resume = false) {
  $('restart-engine').hidden = true;
  engine = new Engine('engine-worker.js', {
    onLine: (line) => log.add('←', line),
    onSent: (line) => log.add('→', line),
    onError: (message) => setStatus(`Engine error: ${message}`),
    onDead: (reason) => {
      const resume = !!analysis.position?.running; // before its search is told it ended
      setStatus(`Engine stopped: ${reason}. The board still works.`);
      Object.assign($('restart-engine'), { hidden: false, onclick: () => startEngine(resume) });
      document.body.dataset.engine = 'dead';
      refresh();
    },
  });
  analysis = new Analysis(engine, refresh);
  engine.ready.then((ms) => {
    setStatus(`${engine.name} ready (${Math.round(ms)} ms)`);
    renderSettings($('settings-form'), settingsOptions(engine.options, engine.name), (name, value) =>
      engine.setOption(name, value));
    document.body.dataset.engine = 'ready';
    document.body.dataset.startupMs = Math.round(ms);
    if (resume) startAnalysis();
    refresh();
    engineMove();
  });
}

function start() {
  view.board = new BoardView($('board'), $('promotion'), onBoardMove);
  fillLevels($('level-kind'), $('level-value'));
  $('game-depth').replaceChildren(...DEPTHS.map((d) => new Option(`${d}`, d, false, d === 4)));
  $('lines').replaceChildren(...LINES.map((n) => new Option(`${n}`, n, false, n === 3)));
  wire();
  installApp((apply) => Object.assign($('update'), { hidden: false }) && ($('apply-update').onclick = apply))
    .then((isolated) => {
      if (isolated) return startEngine();
      $('isolation').hidden = false;
      setStatus('Engine unavailable: the page is not cross-origin isolated');
      setMode('analyse');
      refresh();
    });
  refresh();
}

start();
