// SPDX-License-Identifier: GPL-3.0-or-later
#include <cassert>

#include "movegen.h"
#include "tables.h"

namespace {

// The side is_roi_echec asks about for that square.
int camp_attaquant(int c) {
    int v = JEU.ECHIQUIER[c];
    if (v == -ROI) return BLANC;
    if (v != VIDE) return NOIR;
    return JEU.TRAIT == BLANC ? NOIR : BLANC;
}

}  // namespace

int is_roi_echec(int c) {
    assert(case_jouable(c));
    return case_attaquee(bit_de_case(c), camp_attaquant(c)) ? 1 : 0;
}

bool roi_du_trait_attaque() { return is_roi_echec(JEU.TRAIT == BLANC ? JEU.ROI_BLANC : JEU.ROI_NOIR) == 1; }

bool legal_une_fois_joue(coup m) {
    ajoute_coup_partie(m.depart, m.arrivee);
    const bool legal = !roi_du_trait_attaque();
    retire_coup_partie();
    return legal;
}

namespace {

[[gnu::always_inline]] inline legalite legalite_du_trait() {
    const int ennemi = -JEU.TRAIT;
    const int roi = bit_de_case(JEU.TRAIT == BLANC ? JEU.ROI_BLANC : JEU.ROI_NOIR);
    if (case_attaquee(roi, ennemi)) return {~bitboard{0}};
    // An enemy slider on a line from the king with one own piece between pins it.
    const bitboard dames = pieces_bb(REINE * ennemi);
    bitboard cloueurs = (MAGIES_TOUR.portee[roi] & (pieces_bb(TOUR_P * ennemi) | dames)) |
                        (MAGIES_FOU.portee[roi] & (pieces_bb(FOU_P * ennemi) | dames));
    bitboard a_tester = bitboard{1} << roi;
    while (cloueurs != 0) {
        const bitboard entre = ENTRE[roi][bit_suivant(cloueurs)] & JEU.OCCUPATION_BB;
        if (std::has_single_bit(entre) && (entre & JEU.CAMP_BB[indice_camp(JEU.TRAIT)]) != 0) a_tester |= entre;
    }
    // En passant takes a second piece off the board.
    return {a_tester | preneurs_en_passant()};
}

}  // namespace

legalite preparer_legalite() { return legalite_du_trait(); }
JUMELLE legalite preparer_legalite_avec_table() { return legalite_du_trait(); }

bool coup_a_tester(const legalite& l, coup m) { return l.a_tester >> bit_de_case(m.depart) & 1; }

bool roque_ou_en_passant(coup m) {
    const int piece = JEU.ECHIQUIER[m.depart], d = m.depart, a = m.arrivee;
    if (piece == ROI || piece == -ROI) return a - d == 2 || d - a == 2 || a >= PREMIER_CODE_ROQUE;
    return a < PREMIER_CODE_PROMOTION && prise_en_passant(piece, d, a, JEU.ECHIQUIER[a]);
}

bool roi_attaque_apres(coup m) {
    const int piece = JEU.ECHIQUIER[m.depart];
    const int arrivee = m.arrivee >= PREMIER_CODE_PROMOTION ? promotion_cible(m.arrivee) : m.arrivee;
    const bitboard de = bitboard{1} << bit_de_case(m.depart), a = bitboard{1} << bit_de_case(arrivee);
    const int roi = piece == ROI || piece == -ROI ? arrivee : JEU.TRAIT == BLANC ? JEU.ROI_BLANC : JEU.ROI_NOIR;
    // The piece taken on the arrival square attacks no more.
    return case_attaquee(bit_de_case(roi), -JEU.TRAIT, (JEU.OCCUPATION_BB & ~de) | a, ~a);
}
