// SPDX-License-Identifier: GPL-3.0-or-later
// The board: chessground shows the position the page gives it, offers the
// legal moves of the side that may move, and reports the move made.
import { Chessground } from 'chessground';

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
  }

  // chess: a chess.js board; movable: whether its side to move may move now.
  // arrows: the best move's first, drawn boldest.
  show(chess, { lastMove, movable, orientation, arrows = [] }) {
    const turnColor = chess.turn() === 'w' ? 'white' : 'black';
    const dests = new Map();
    if (movable)
      for (const move of chess.moves({ verbose: true })) dests.set(move.from, [...(dests.get(move.from) || []), move.to]);
    this.ground.set({
      fen: chess.fen(),
      turnColor,
      orientation,
      check: chess.inCheck(),
      lastMove,
      movable: { color: movable ? turnColor : undefined, dests },
    });
    this.ground.setAutoShapes(
      arrows.map((arrow, i) => ({ orig: arrow.from, dest: arrow.to, brush: i === 0 ? 'blue' : 'paleBlue' })),
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
