// SPDX-License-Identifier: GPL-3.0-or-later
// The counting rules that the mobility of the position on the board and the
// mobility after a move share. Private to the move generator's library.
#pragma once

#include <initializer_list>

#include "movegen.h"
#include "tables.h"

namespace comptes {

constexpr bitboard RANGEE_2 = 0xFFull << 8;
constexpr bitboard RANGEE_3 = 0xFFull << 16;
constexpr bitboard RANGEE_6 = 0xFFull << 40;
constexpr bitboard RANGEE_7 = 0xFFull << 48;

struct comptage {
    int coups = 0;
    bitboard attaques = 0;  // every square a piece of the side attacks
};

// A pawn counts its advances and its captures; it attacks both diagonals
// whatever stands there.
template <int camp>
comptage compter_pions(bitboard pions, bitboard vides, bitboard ennemis) {
    bitboard un, deux, est, ouest;
    if constexpr (camp == BLANC) {
        un = (pions << 8) & vides;
        deux = ((un & (RANGEE_2 | RANGEE_3)) << 8) & vides;  // from ranks 1 and 2
        est = (pions & ~COLONNE_H) << 9;
        ouest = (pions & ~COLONNE_A) << 7;
    } else {
        un = (pions >> 8) & vides;
        deux = ((un & (RANGEE_6 | RANGEE_7)) >> 8) & vides;  // from ranks 7 and 8
        est = (pions & ~COLONNE_H) >> 7;
        ouest = (pions & ~COLONNE_A) >> 9;
    }
    return {std::popcount(un) + std::popcount(deux) + std::popcount(est & ennemis) + std::popcount(ouest & ennemis),
            est | ouest};
}

// Moves of every piece of one side (castling apart): a piece move counts for
// each empty or enemy square it reaches, a pawn for its advances and captures.
template <int camp>
comptage compter_pieces() {
    const bitboard propres = JEU.CAMP_BB[camp == BLANC ? 0 : 1];
    const bitboard ennemis = JEU.CAMP_BB[camp == BLANC ? 1 : 0];
    comptage c = compter_pions<camp>(pieces_bb(PION_P * camp), ~JEU.OCCUPATION_BB, ennemis);

    const bitboard accessibles = ~propres;
    attaques_des_pieces(camp, JEU.OCCUPATION_BB, [&](int, bitboard a) {
        c.attaques |= a;
        c.coups += std::popcount(a & accessibles);
    });
    return c;
}

// En passant captures each side could count after the move de -> a that
// brought `arrive` there: a double step of a pawn now beside enemy pawns.
inline void compter_en_passant(int de, int a, int arrive, int* blancs, int* noirs) {
    const int* b = JEU.ECHIQUIER;
    if (arrive == -PION_P && de == a + 20 && a >= 61 && a <= 68) *blancs += (b[a - 1] == PION_P) + (b[a + 1] == PION_P);
    if (arrive == PION_P && de == a - 20 && a >= 51 && a <= 58) *noirs += (b[a - 1] == -PION_P) + (b[a + 1] == -PION_P);
}

constexpr bitboard cases(std::initializer_list<int> liste) {
    bitboard b = 0;
    for (int c : liste) b |= bitboard{1} << calculer_bit(c);
    return b;
}

struct roques {
    int petit_blanc, grand_blanc, petit_noir, grand_noir;
};
inline roques roques_actuels() { return {JEU.PETIT_ROQUE_BLANC, JEU.GRAND_ROQUE_BLANC, JEU.PETIT_ROQUE_NOIR, JEU.GRAND_ROQUE_NOIR}; }

// The squares each castling term looks at: the king's and the two it crosses.
constexpr bitboard CASES_PETIT_BLANC = cases({25, 26, 27});
constexpr bitboard CASES_GRAND_BLANC = cases({25, 24, 23});
constexpr bitboard CASES_PETIT_NOIR = cases({95, 96, 97});
constexpr bitboard CASES_GRAND_NOIR = cases({95, 94, 93});

// The castling terms ask is_roi_echec about squares that need not be empty:
// a square holding the black king is tested for White's attacks, any other
// piece for Black's, an empty square for the side not to move's.
inline bitboard en_echec(bitboard att_blancs, bitboard att_noirs, bitboard occupation, bitboard roi_noir, int trait) {
    return (roi_noir & att_blancs) | (occupation & ~roi_noir & att_noirs) |
           (~occupation & (trait == BLANC ? att_noirs : att_blancs));
}

inline int termes_roque(const roques& r, bitboard en_echec, int camp) {
    if (camp == BLANC)
        return (r.petit_blanc != 0 && (en_echec & CASES_PETIT_BLANC) == 0) +
               (r.grand_blanc != 0 && (en_echec & CASES_GRAND_BLANC) == 0);
    return (r.petit_noir != 0 && (en_echec & CASES_PETIT_NOIR) == 0) +
           (r.grand_noir != 0 && (en_echec & CASES_GRAND_NOIR) == 0);
}

}  // namespace comptes
