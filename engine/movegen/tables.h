// SPDX-License-Identifier: GPL-3.0-or-later
// Attack sets of the pieces as bitboards, for the attack test and the
// mobility count. Sliding attacks come from magic-multiplier tables.
#pragma once

#include <bit>
#include <initializer_list>
#include <utility>

#include "bitboard.h"
#include "position.h"

// The entry points kept for the search with the table of best moves are the
// twins of the plain search's: GCC would merge them, and then inline neither
// into its search. Clang merges no functions unless told to.
#if defined(__GNUC__) && !defined(__clang__)
#define JUMELLE [[gnu::no_icf]]
#else
#define JUMELLE
#endif

constexpr bitboard COLONNE_A = 0x0101010101010101ull;
constexpr bitboard COLONNE_H = COLONNE_A << 7;

// The squares beside these on their rank.
constexpr bitboard voisines(bitboard b) { return ((b << 1) & ~COLONNE_A) | ((b >> 1) & ~COLONNE_H); }

// By square, each field in its own array: a field of square b is then read
// at a fixed address plus 8 b.
struct magies {
    bitboard masque[64];  // squares whose occupant can block a ray
    bitboard multiplicateur[64];
    const bitboard* attaques[64];
    int decalage[64];
    bitboard portee[64];  // the rays on an empty board
};

extern bitboard ATTAQUES_CAVALIER[64];
extern bitboard ATTAQUES_ROI[64];
extern bitboard ATTAQUES_PION[2][64];  // squares a pawn of that side attacks
extern magies MAGIES_TOUR;
extern magies MAGIES_FOU;

// Squares along one direction on an empty board, by mailbox step.
enum direction { EST, OUEST, NORD, SUD, NORD_EST, SUD_EST, NORD_OUEST, SUD_OUEST };
extern bitboard RAYON[8][64];
extern bitboard ENTRE[64][64];  // squares strictly between two aligned squares, else none

inline bitboard attaques_tour(int b, bitboard occupation) {
    const magies& m = MAGIES_TOUR;
    return m.attaques[b][((occupation & m.masque[b]) * m.multiplicateur[b]) >> m.decalage[b]];
}

inline bitboard attaques_fou(int b, bitboard occupation) {
    const magies& m = MAGIES_FOU;
    return m.attaques[b][((occupation & m.masque[b]) * m.multiplicateur[b]) >> m.decalage[b]];
}

// Whether a piece of that side attacks the square (bit index): on the board
// as it stands, or with another occupation and only the pieces in presents.
bool case_attaquee(int b, int camp, bitboard occupation, bitboard presents);
inline bool case_attaquee(int b, int camp) { return case_attaquee(b, camp, JEU.OCCUPATION_BB, ~bitboard{0}); }

// Calls f(bit, attacks) for each piece of that side but the pawns: knights,
// bishops and queens along diagonals, rooks and queens along lines, the king.
template <class F>
void attaques_des_pieces(int camp, bitboard occupation, F&& f) {
    for (bitboard x = pieces_bb(CAVALIER_P * camp); x != 0;) {
        const int b = bit_suivant(x);
        f(b, ATTAQUES_CAVALIER[b]);
    }
    const bitboard dames = pieces_bb(REINE * camp);
    for (bitboard x = pieces_bb(FOU_P * camp) | dames; x != 0;) {
        const int b = bit_suivant(x);
        f(b, attaques_fou(b, occupation));
    }
    for (bitboard x = pieces_bb(TOUR_P * camp) | dames; x != 0;) {
        const int b = bit_suivant(x);
        f(b, attaques_tour(b, occupation));
    }
    for (bitboard x = pieces_bb(ROI * camp); x != 0;) {
        const int b = bit_suivant(x);
        f(b, ATTAQUES_ROI[b]);
    }
}

// The pawns of the side to move that may take en passant: those beside an
// enemy pawn that has just made its double step.
inline bitboard preneurs_en_passant() {
    int de, a;
    if (!dernier_coup(&de, &a) || JEU.ECHIQUIER[a] != -PION_P * JEU.TRAIT || (de - a != 20 && a - de != 20)) return 0;
    return pieces_bb(PION_P * JEU.TRAIT) & voisines(bitboard{1} << bit_de_case(a));
}
