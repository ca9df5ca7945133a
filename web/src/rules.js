// SPDX-License-Identifier: GPL-3.0-or-later
// The rules, kept by chessops: positions read from a FEN and written back,
// the moves the board offers, the engine's notation of a move, and the
// Chess960 start positions by number. Pure functions, shared by the page and
// its unit tests.
import { castlingSide, Chess, normalizeMove } from 'chessops/chess';
import { INITIAL_FEN, makeFen, parseFen } from 'chessops/fen';
import { parseSan } from 'chessops/san';
import {
  charToRole, kingCastlesTo, makeSquare, makeUci, parseSquare, roleToChar, squareFile, squareRank,
} from 'chessops/util';

export { INITIAL_FEN };

const COLOR_NAMES = { white: 'White', black: 'Black' };

// The six fields of a FEN, each with chessops' code for it and what is wrong
// when it is refused. chessops alone would also take pockets, three-check
// counters and promoted-piece marks, which are no chess.
const FIELDS = [
  [/^[1-8pnbrqk]+(\/[1-8pnbrqk]+){7}$/i, 'ERR_BOARD', 'an invalid piece, or a rank of other than eight squares'],
  [/^[wb]$/, 'ERR_TURN', 'a side to move other than w or b'],
  [/^(-|[a-hkq]{1,4})$/i, 'ERR_CASTLING', 'an invalid castling field'],
  [/^(-|[a-h][36])$/, 'ERR_EP_SQUARE', 'an invalid en passant square'],
  [/^\d+$/, 'ERR_HALFMOVES', 'an invalid halfmove clock'],
  [/^[1-9]\d*$/, 'ERR_FULLMOVES', 'an invalid move number'],
];
const POSITION_ERRORS = {
  ERR_EMPTY: 'each side needs one king',
  ERR_KINGS: 'each side needs one king',
  ERR_PAWNS_ON_BACKRANK: 'a pawn on the first or last rank',
};

// The position of a FEN, its castling rights as standard chess has them, or
// as Chess960 has them when asked: Shredder-FEN (the rooks' files) or X-FEN
// (KQkq for the outermost rook). Throws "Invalid FEN: …" with the reason.
export function readFen(text, chess960) {
  const fields = text.trim().split(/\s+/);
  const refuse = (reason) => new Error(`Invalid FEN: ${reason}`);
  if (fields.length !== FIELDS.length) throw refuse('six fields are needed (the move counters may be left out)');
  FIELDS.forEach(([shape, , reason], i) => {
    if (!shape.test(fields[i])) throw refuse(reason);
  });
  const setup = parseFen(fields.join(' '));
  if (setup.isErr) throw refuse(FIELDS.find(([, code]) => code === setup.error.message)[2]);
  const position = Chess.fromSetup(setup.value);
  if (position.isErr) {
    const code = position.error.message;
    const other = setup.value.turn === 'white' ? 'black' : 'white';
    throw refuse(POSITION_ERRORS[code] ??
      `${COLOR_NAMES[other]} is in check but it is ${COLOR_NAMES[setup.value.turn]}'s move`);
  }
  for (const rook of setup.value.castlingRights) {
    const fault = castlingFault(position.value, rook, chess960);
    if (fault) throw refuse(`castling with the rook on ${makeSquare(rook)}: ${fault}`);
  }
  return position.value;
}

// Why a castling right cannot be, or null. chessops would drop it unsaid.
function castlingFault(pos, rook, chess960) {
  const color = squareRank(rook) === 0 ? 'white' : 'black';
  const king = pos.board.kingOf(color);
  if (!pos.board.pieces(color, 'rook').has(rook)) return `no ${color} rook there`;
  if (squareRank(king) !== squareRank(rook)) return `the ${color} king is not on its first rank`;
  if (!pos.castles.castlingRights.has(rook)) return 'the king is not between its two castling rooks';
  const standard = squareFile(rook) % 7 === 0 && squareFile(king) === 4;
  if (!chess960 && !standard) return 'Chess960 castling (ask for Chess960)';
  return null;
}

// A position's FEN. In Chess960 its castling field names the rooks' files,
// White's first, king side first (Shredder-FEN, as the engine writes it).
export function fenOf(pos, chess960) {
  const fields = makeFen(pos.toSetup()).split(' ');
  if (chess960) {
    const rights = [...pos.castles.castlingRights].sort((a, b) => squareRank(a) - squareRank(b) || b - a);
    const file = (rook) => makeSquare(rook)[0];
    fields[2] = rights.map((rook) => (squareRank(rook) ? file(rook) : file(rook).toUpperCase())).join('') || '-';
  }
  return fields.join(' ');
}

// Where the pieces of the side to move may go, as the board offers it: a
// castling as the king onto its own rook and, where that rook stands three
// files or more away, as the king's two steps toward it.
export function boardDests(pos) {
  const dests = new Map();
  const king = pos.board.kingOf(pos.turn);
  for (const [from, squares] of pos.allDests()) {
    if (squares.isEmpty()) continue;
    const names = [...squares].map(makeSquare);
    if (from === king)
      for (const rook of squares.intersect(pos.board[pos.turn]))
        if (Math.abs(rook - from) >= 3) names.push(makeSquare(from + 2 * Math.sign(rook - from)));
    dests.set(makeSquare(from), names);
  }
  return dests;
}

// The legal move of {from, to, promotion} (square names, a piece letter) as
// the board or the engine gives it, castling as boardDests offers it; null
// if there is none.
export function legalMove(pos, { from, to, promotion }) {
  if (!boardDests(pos).get(from)?.includes(to)) return null;
  const move = { from: parseSquare(from), to: parseSquare(to), promotion: promotion && charToRole(promotion) };
  return pos.isLegal(move) ? normalizeMove(pos, move) : null;
}

// The engine's notation of a legal move: castling as the king taking its
// rook in Chess960, as the king's two steps in standard chess.
export function uciOf(pos, move, chess960) {
  const side = !chess960 && castlingSide(pos, move);
  return makeUci(side ? { ...move, to: kingCastlesTo(pos.turn, side) } : move);
}

// The knights' two squares among the five left to them, by the number's last digit.
const KNIGHTS = [[0, 1], [0, 2], [0, 3], [0, 4], [1, 2], [1, 3], [1, 4], [2, 3], [2, 4], [3, 4]];

// White's first rank in Chess960 start position n (0 to 959), standard
// numbering: n's base-4 digits place the light-squared bishop, then the
// dark-squared one; the rest, by 6, the queen on a square left; by 10, the
// knights; rook, king and rook take the last three (518 is standard chess).
export function chess960Rank(n) {
  const rank = Array(8).fill('');
  const free = () => rank.flatMap((piece, file) => (piece ? [] : [file]));
  rank[2 * (n % 4) + 1] = 'B';
  rank[2 * (Math.floor(n / 4) % 4)] = 'B';
  rank[free()[Math.floor(n / 16) % 6]] = 'Q';
  const left = free();
  for (const i of KNIGHTS[Math.floor(n / 96)]) rank[left[i]] = 'N';
  free().forEach((file, i) => (rank[file] = 'RKR'[i]));
  return rank.join('');
}

export function chess960Fen(n) {
  const rank = chess960Rank(n);
  return `${rank.toLowerCase()}/pppppppp/8/8/8/8/PPPPPPPP/${rank} w KQkq - 0 1`;
}

// A move typed by the user, in SAN ("Nf3", "exd5", "O-O", "0-0", "e8=Q+")
// or in the engine's notation ("g1f3", "e7e8q"), as the board gives it
// ({from, to, promotion}, castling as the king onto its rook); null if no
// legal move.
export function typedMove(pos, text) {
  const word = text.trim().replace(/[+#!?]+$/, '');
  const uci = /^([a-h][1-8])([a-h][1-8])([qrbn]?)$/i.exec(word);
  const move = uci ? legalMove(pos, { from: uci[1].toLowerCase(), to: uci[2].toLowerCase(), promotion: uci[3] || undefined })
    : parseSan(pos, word.replace(/^0-0(-0)?$/, (castling) => castling.replaceAll('0', 'O')));
  if (!move) return null;
  return { from: makeSquare(move.from), to: makeSquare(move.to), promotion: move.promotion && roleToChar(move.promotion) };
}
