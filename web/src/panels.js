// SPDX-License-Identifier: GPL-3.0-or-later
// The panels beside the board: move list, result banner, analysis lines,
// evaluation bar and graph, the raw UCI drawer and the engine settings.
import { barText, clampSpin, DEPTHS, formatScore, graphValue, MOVE_TIMES, STRENGTHS, whiteShare } from './uci.js';

const el = (tag, props = {}, ...children) => {
  const node = Object.assign(document.createElement(tag), props);
  node.append(...children);
  return node;
};

// The moves in pairs; each one a button that shows the position after it.
export function renderMoves(list, game, onJump) {
  const items = [];
  const firstBlack = game.turnAt(0) === 'b';
  const number = +game.startFen.split(' ')[5] || 1;
  game.moves.forEach((move, i) => {
    const index = i + (firstBlack ? 1 : 0);
    if (index % 2 === 0 || i === 0) items.push(el('li', { value: number + Math.floor(index / 2) }));
    const button = el('button', { type: 'button', className: 'move', textContent: move.san });
    const mark = game.review?.moves[i].mark;
    if (mark) button.append(el('span', { className: `mark ${mark.word.toLowerCase()}`, textContent: mark.symbol }));
    button.dataset.ply = i + 1;
    if (i === 0 && firstBlack) items.at(-1).append(el('span', { className: 'move', textContent: '…' }));
    if (i + 1 === game.cursor) button.setAttribute('aria-current', 'true');
    button.onclick = () => onJump(i + 1);
    items.at(-1).append(button);
  });
  list.replaceChildren(...items);
  // Scrolls the list alone: scrollIntoView would move the whole page too.
  const current = list.querySelector('[aria-current]');
  if (current) list.scrollTop = current.offsetTop - list.offsetTop - list.clientHeight / 2;
}

export function renderBanner(banner, outcome) {
  banner.hidden = !outcome;
  if (!outcome) return;
  const winner = outcome.result === '1-0' ? 'White wins' : outcome.result === '0-1' ? 'Black wins' : 'Draw';
  const reason = outcome.reason[0].toUpperCase() + outcome.reason.slice(1);
  banner.textContent = `${reason}: ${winner} (${outcome.result})`;
  banner.dataset.result = outcome.result;
}

// The best lines: {depth, score, nodes, line, head, pv}, the line's first
// move (head) a button that plays it.
export function renderLines(body, rows, onPlay) {
  body.replaceChildren(
    ...rows.map((row) => {
      const move = el('button', { type: 'button', className: 'line-move', textContent: row.head });
      move.onclick = () => onPlay(row.pv[0]);
      return el(
        'tr',
        {},
        el('td', { textContent: row.depth }),
        el('td', { textContent: formatScore(row.score) }),
        el('td', { textContent: row.nodes.toLocaleString('en') }),
        el('td', { className: 'pv' }, ...(row.pv.length ? [move, row.line.slice(row.head.length)] : [])),
      );
    }),
  );
}

export function renderEvalBar(bar, score) {
  bar.querySelector('.eval-white').style.height = `${score ? whiteShare(score) : 50}%`;
  bar.querySelector('.eval-text').textContent = score ? barText(score) : '';
}

// The evaluation over the game, ±10 pawns, a dot on each marked move; a
// click on a column shows its ply.
export function renderGraph(svg, evals, plies, cursor, onJump, marked = []) {
  const width = 300, height = 100, step = width / Math.max(1, plies - 1);
  const y = (score) => height / 2 - (graphValue(score) / 10) * (height / 2 - 2);
  const points = evals.map((score, ply) => (score ? `${(ply * step).toFixed(1)},${y(score).toFixed(1)}` : null));
  const ns = 'http://www.w3.org/2000/svg';
  const shape = (tag, attrs) => {
    const node = document.createElementNS(ns, tag);
    for (const [k, v] of Object.entries(attrs)) node.setAttribute(k, v);
    return node;
  };
  if (!evals.length) return svg.replaceChildren();
  const nodes = [shape('line', { x1: 0, y1: height / 2, x2: width, y2: height / 2, class: 'axis' })];
  if (points.some(Boolean)) nodes.push(shape('polyline', { points: points.filter(Boolean).join(' '), class: 'curve' }));
  nodes.push(shape('line', { x1: cursor * step, y1: 0, x2: cursor * step, y2: height, class: 'cursor' }));
  for (const { ply, mark } of marked.filter((move) => move.mark && evals[move.ply]))
    nodes.push(shape('circle', { cx: ply * step, cy: y(evals[ply]), r: 2.2, class: `mark ${mark.word.toLowerCase()}` }));
  for (let ply = 0; ply < evals.length; ply++) {
    const column = shape('rect', { x: ply * step - step / 2, y: 0, width: step, height, class: 'column' });
    column.dataset.ply = ply;
    column.addEventListener('click', () => onJump(ply));
    nodes.push(column);
  }
  svg.replaceChildren(...nodes);
}

// Every line to and from the engine; the drawer shows the last few hundred.
export class UciLog {
  constructor(details, pre, limit = 2000) {
    Object.assign(this, { details, pre, limit, lines: [], pending: false });
    details.addEventListener('toggle', () => this.render());
  }

  add(prefix, line) {
    this.lines.push(`${prefix} ${line}`);
    if (this.lines.length > this.limit) this.lines.splice(0, this.lines.length - this.limit);
    if (this.details.open && !this.pending) {
      this.pending = true;
      requestAnimationFrame(() => this.render());
    }
  }

  render() {
    this.pending = false;
    if (!this.details.open) return;
    this.pre.textContent = this.lines.join('\n');
    this.pre.scrollTop = this.pre.scrollHeight;
  }
}

// The levels of the kind chosen: seconds per move, a fixed depth or a
// strength by rating ("full" for none).
export function fillLevels(kindSelect, valueSelect) {
  const kind = kindSelect.value;
  const options = {
    time: MOVE_TIMES.map((v) => new Option(`${v} s`, v, false, v === 1)),
    depth: DEPTHS.map((v) => new Option(`${v}`, v, false, v === 6)),
    strength: STRENGTHS.map(({ elo, word }) =>
      new Option(elo === null ? word : `${elo}, ${word}`, elo ?? 'full', false, elo === 1200)),
  }[kind];
  valueSelect.replaceChildren(...options);
}

export function readLevel(kindSelect, valueSelect) {
  const value = valueSelect.value;
  if (kindSelect.value === 'strength') return { kind: 'strength', elo: value === 'full' ? null : Number(value) };
  return kindSelect.value === 'time' ? { kind: 'time', seconds: Number(value) } : { kind: 'depth', depth: Number(value) };
}

// A field for each option the engine announced, at its default; a change
// is sent at once (the engine bridge holds it while a search runs). Built
// again for an engine started anew, the fields keep what the user chose
// and send it.
export function renderSettings(form, options, onChange) {
  if (form.elements.length) {
    for (const input of form.querySelectorAll('input'))
      onChange(input.name, input.type === 'checkbox' ? input.checked : +input.value);
    return;
  }
  const fields = options.map((option) => {
    const input = el('input', { name: option.name });
    if (option.type === 'check') {
      Object.assign(input, { type: 'checkbox', checked: option.value });
      input.addEventListener('change', () => onChange(option.name, input.checked));
    } else {
      Object.assign(input, { type: 'number', min: option.min, max: option.max, step: 1, value: option.value });
      input.addEventListener('change', () => {
        input.value = clampSpin(option, input.value);
        onChange(option.name, +input.value);
      });
    }
    return el('label', {}, `${option.name} `, input);
  });
  const reset = el('button', { type: 'button', textContent: 'Defaults' });
  reset.onclick = () =>
    options.forEach((option) => {
      const input = form.elements[option.name];
      const current = option.type === 'check' ? input.checked : +input.value;
      if (current === option.value) return;
      if (option.type === 'check') input.checked = option.value;
      else input.value = option.value;
      onChange(option.name, option.value);
    });
  form.replaceChildren(...fields, reset);
}
