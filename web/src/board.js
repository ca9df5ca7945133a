// SPDX-License-Identifier: GPL-3.0-or-later
// The board: chessground shows the position the page gives it, offers the
// legal moves of the side that may move, and reports the move made.
import { Chessground } from 'chessground';
import { makeBoardFen } from 'chessops/fen';
import { boardDests } from './rules.js';

const ROLES = [
  ['q', 'queen'],
  ['r', 'rook'],
  ['b', 'bishop'],
  ['n', 'knight'],
];

export class BoardView {
  constructor(element, promotionElement, onMove) {
    this.promotionElement = promotionElement;
    this.ground = Chessground(element, {
      movable: { free: false, showDests: true, events: { after: (orig, dest) => onMove(orig, dest) } },
      premovable: { enabled: false },
      highlight: { lastMove: true, check: true },
      animation: { duration: 150 },
      drawable: { enabled: false, visible: true },
    });
    // Clocks and notices shown above the board move it: its bounds are measured again at each touch.
    for (const type of ['mousedown', 'touchstart'])
      element.addEventListener(type, () => this.ground.state.dom.bounds.clear(), { capture: true, passive: true });
  }

  // pos: a chessops position; movable: whether its side to move may move now.
  // arrows: the best move's first, drawn boldest, unless an arrow names its brush.
  show(pos, { lastMove, movable, orientation, arrows = [] }) {
    this.ground.set({
      fen: makeBoardFen(pos.board),
      turnColor: pos.turn,
      orientation,
      check: pos.isCheck(),
      lastMove,
      movable: { color: movable ? pos.turn : undefined, dests: movable ? boardDests(pos) : new Map() },
    });
    this.ground.setAutoShapes(
      arrows.map((arrow, i) => ({ orig: arrow.from, dest: arrow.to, brush: arrow.brush ?? (i === 0 ? 'blue' : 'paleBlue') })),
    );
  }

  // Asks which piece a pawn becomes; null when the choice is dismissed.
  choosePromotion(color) {
    const box = this.promotionElement;
    const side = color === 'w' ? 'white' : 'black';
    box.replaceChildren(
      ...ROLES.map(([letter, role]) => {
        const button = document.createElement('button');
        button.type = 'button';
        button.dataset.piece = letter;
        button.setAttribute('aria-label', role);
        button.append(Object.assign(document.createElement('piece'), { className: `${role} ${side}` }));
        return button;
      }),
    );
    box.hidden = false;
    return new Promise((resolve) => {
      box.onclick = (event) => {
        const button = event.target.closest('button');
        box.hidden = true;
        box.onclick = null;
        resolve(button ? button.dataset.piece : null);
      };
    });
  }
}
