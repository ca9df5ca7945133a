// SPDX-License-Identifier: GPL-3.0-or-later
// The page: its state, the refresh of what it shows, and the wiring of the
// game, the board, the clocks, the panels, the analyses and the engine.
import 'chessground/assets/chessground.base.css';
import 'chessground/assets/chessground.brown.css';
import 'chessground/assets/chessground.cburnett.css';
import { BoardView } from './board.js';
import { ClockView } from './clock.js';
import { Game } from './game.js';
import { wireGameIo } from './io.js';
import { wireKeyboard } from './keyboard.js';
import { canMove, pgnHeaders, soundOf, spokenSan, startNumber, takeBackPlies, turnText } from './logic.js';
import { fillLevels, readLevel, renderBanner, renderEvalBar, renderGraph, renderLines, renderMoves, UciLog } from './panels.js';
import { wireReview } from './review.js';
import { chess960Fen, INITIAL_FEN, typedMove } from './rules.js';
import { Sounds } from './sound.js';
import { startEngine, whenIsolated } from './startup.js';
import { DEPTHS, goCommand, levelOptions, levelSeconds, LINES, uciMove } from './uci.js';

const $ = (id) => document.getElementById(id);

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
const sounds = new Sounds($('sounds'));
const clocks = new ClockView(game, () => ended());
let reviewView = null;

const level = () => readLevel($('level-kind'), $('level-value'));
const setStatus = (text) => ($('engine-status').textContent = text);
const announce = (text) => ($('announce').textContent = text);

// Gives up the engine's search for its move, if one runs.
const cancelThinking = () => (view.thinking?.cancel(), (view.thinking = null));

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
    arrows: reviewView.arrows() ?? (shown?.rows ?? []).filter((row) => row.pv.length).map((row) => uciMove(row.pv[0])),
  });
  renderMoves($('moves'), game, jump);
  const outcome = game.outcome();
  renderBanner($('banner'), outcome);
  renderLines($('lines-body'), analysis?.position?.rows ?? [], playLine);
  renderEvalBar($('eval-bar'), shown?.rows[0]?.score ?? game.evals[game.cursor]);
  renderGraph($('graph'), game.evals, game.length + 1, game.cursor, jump, game.review?.moves);
  reviewView.render();
  const playing = view.mode === 'play';
  clocks.sync(playing, view.orientation);
  $('resign').disabled = !playing || !!outcome || gameRun;
  $('take-back').disabled = !playing || gameRun || takeBackPlies(game, view.userColor) === 0;
  $('stop').disabled = !analysis?.running;
  for (const id of ['analyse', 'analyse-game', 'review']) $(id).disabled = !live() || gameRun;
  document.body.dataset.thinking = view.thinking ? 'yes' : 'no';
  document.body.dataset.analysing = analysis?.running ? 'yes' : 'no';
  $('turn-status').textContent = turnText(view, game);
  const number = view.number === null ? '' : ` position ${view.number}`;
  $('variant').textContent = game.chess960 ? `Chess960${number}` : '';
}

const jump = (ply) => ((game.cursor = Math.max(0, Math.min(game.length, ply))), positionChanged());

// After any change of the position shown: the board, a running analysis
// moves on to the new position, and the engine plays when its turn comes.
function positionChanged() {
  refresh();
  if (analysis?.position?.running && analysis.position.fen !== game.fenAt()) startAnalysis();
  engineMove();
}

// A move just played, by the user or the engine: its clock pressed, its sound, its words.
function moved(played, who) {
  clocks.moved(played);
  const outcome = game.outcome();
  sounds.play(soundOf(played.san, outcome));
  announce(`${who} ${spokenSan(played.san)}.${outcome ? ` ${$('banner').textContent}` : ''}`);
}

// The game ended on the clock: the engine stops thinking, and the end is said.
function ended() {
  cancelThinking();
  refresh();
  sounds.play('end');
  announce($('banner').textContent);
}

async function engineMove() {
  if (!live() || view.mode !== 'play' || view.thinking || analysis.gameRun || game.outcome()) return;
  if (game.cursor !== game.length || game.turnAt() === view.userColor) return;
  const ply = game.length;
  const options = { ...levelOptions(level()), UCI_Chess960: game.chess960 };
  const clock = clocks.goWords();
  const depth = level().kind === 'depth' ? ` depth ${level().depth}` : '';
  const search = engine.search(game.positionCommand(ply), clock ? `go ${clock}${depth}` : goCommand(level()), undefined,
    options, clock ? clocks.engineSeconds(game.turnAt()) : levelSeconds(level()));
  view.thinking = search;
  refresh();
  const best = await search.done;
  if (view.thinking === search) view.thinking = null;
  if (best !== undefined && best !== '(none)' && game.length === ply && !game.outcome()) {
    game.cursor = ply;
    const played = game.play(uciMove(best));
    if (played) moved(played, 'Solvane played');
    else setStatus(`Solvane played an illegal move: ${best}`);
  }
  positionChanged();
}

function userMove(move) {
  cancelThinking();
  const played = game.play(move);
  if (played) moved(played, 'You played');
  positionChanged();
  return played;
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
  userMove({ from, to, promotion });
}

// A move typed: played if the board would take it; otherwise the reason.
function playTyped(text) {
  if (!canMove({ ...view, gameRun: !!analysis?.gameRun }, game)) return 'It is not your move.';
  const move = typedMove(game.at(), text);
  return move && userMove(move) ? null : `No legal move "${text.trim()}" here.`;
}

// Whatever runs stops, before a new game, a load or an analysis of the game.
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
  view.number = chess960 ? startNumber($('start-number').value) : null;
  game.reset(chess960 ? chess960Fen(view.number) : INITIAL_FEN, chess960);
  clocks.newGame();
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

function takeBack() {
  const plies = takeBackPlies(game, view.userColor);
  if (!plies) return;
  cancelThinking();
  game.takeBack(plies);
  clocks.takenBack();
  positionChanged();
}

const flip = () => ((view.orientation = view.orientation === 'white' ? 'black' : 'white'), refresh());

function wire() {
  $('level-kind').onchange = () => fillLevels($('level-kind'), $('level-value'));
  $('mode').onchange = () => (setMode($('mode').value), positionChanged());
  $('new-game').onclick = () => newGame(false);
  $('new-chess960').onclick = () => newGame(true);
  $('take-back').onclick = takeBack;
  $('flip').onclick = flip;
  $('resign').onclick = () => {
    cancelThinking();
    game.cursor = game.length;
    game.resigned = view.userColor;
    ended();
  };
  wireKeyboard({ game, jump, flip, playTyped });
  $('analyse').onclick = startAnalysis;
  $('lines').onchange = () => analysis?.position?.running && startAnalysis();
  $('stop').onclick = () => analysis?.stop();
  const prepare = () => (stopEverything(), setMode('analyse'));
  reviewView = wireReview({ game, analysis: () => analysis, prepare, refresh, jump });
  wireGameIo(game, {
    headers: () => pgnHeaders(new Date(), engine?.name ?? 'Solvane', view.userColor, level(), game.control),
    loaded: () => {
      stopEverything();
      clocks.drop();
      view.number = null;
      positionChanged();
    },
  });
}

// The engine in its worker; again after it is gone, with the settings the
// user chose, going on with the game or the analysis shown.
function launch(resume = false) {
  ({ engine, analysis } = startEngine({ log, refresh, restart: launch, ready: () => {
    if (resume) startAnalysis();
    refresh();
    engineMove();
  } }));
}

function start() {
  view.board = new BoardView($('board'), $('promotion'), onBoardMove);
  fillLevels($('level-kind'), $('level-value'));
  $('game-depth').replaceChildren(...DEPTHS.map((d) => new Option(`${d}`, d, false, d === 4)));
  $('lines').replaceChildren(...LINES.map((n) => new Option(`${n}`, n, false, n === 3)));
  wire();
  whenIsolated(launch, () => (setMode('analyse'), refresh()));
  refresh();
}

start();
