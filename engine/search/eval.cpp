// SPDX-License-Identifier: GPL-3.0-or-later
#include <cassert>

#include "bitboard.h"
#include "globals.h"
#include "movegen.h"
#include "search.h"
#include "simulation.h"

namespace {

inline int difference(int code) { return JEU.NB_PIECES[code + 6] - JEU.NB_PIECES[-code + 6]; }

// What a piece of that kind is worth; kings are never taken and count nothing.
int valeur(int type) {
    switch (type) {
        case REINE: return DAME;
        case TOUR_P: return TOUR;
        case FOU_P: return FOU;
        case CAVALIER_P: return CAVALIER;
        case PION_P: return PION;
        default: return 0;
    }
}

// White's material less Black's.
int materiel() {
    int score = 0;
    for (int type = REINE; type <= PION_P; ++type) score += difference(type) * valeur(type);
    return score;
}

int note(int score, int mobilite, int trait) {
    if (MOBILITY != 0) score += MOBILITY > 0 ? mobilite * MOBILITY : mobilite / -MOBILITY;
    return score * trait;
}

// The most a side's moves can count: a queen reaches at most 27 squares, a
// rook 14, a bishop 13, a knight or a king 8, a pawn 4 (two advances, two
// captures); castling and en passant add at most 2 each.
int mobilite_maximale(int camp) {
    auto n = [camp](int type) { return JEU.NB_PIECES[type * camp + 6]; };
    return 27 * n(REINE) + 14 * n(TOUR_P) + 13 * n(FOU_P) + 8 * (n(CAVALIER_P) + n(ROI)) + 4 * n(PION_P) + 4;
}

// White's material less Black's after a move to arrivee: the parent's less
// the piece taken.
int materiel_apres(int arrivee) {
    const int prise = JEU.ECHIQUIER[arrivee];
    assert(prise != ROI && prise != -ROI);
    return RECHERCHE.MATERIEL_PARENT - RECHERCHE.VALEURS[prise + 6];
}

// The evaluation after the move, for the side then to move.
int note_apres(int materiel, int depart, int arrivee) {
    return note(materiel, MOBILITY != 0 ? difference_de_mobilite_apres(depart, arrivee) : 0, -JEU.TRAIT);
}

}  // namespace

int evaluation() { return note(materiel(), MOBILITY != 0 ? difference_de_mobilite() : 0, JEU.TRAIT); }

int eval() {
    ++RECHERCHE.POSITIONS;
    horloge_position();
    if (STOP == 1) return SCORE_ARRET;
    return evaluation();
}

void preparer_valeurs() {
    for (int code = -PION_P; code <= PION_P; ++code) RECHERCHE.VALEURS[code + 6] = code > 0 ? valeur(code) : -valeur(-code);
}

void preparer_feuilles(int enfants) {
    assert(RECHERCHE.VALEURS[REINE + 6] == DAME && RECHERCHE.VALEURS[-PION_P + 6] == -PION && !JEU.CHESS960);
    RECHERCHE.MATERIEL_PARENT = materiel();
    // A plain move leaves the mover's pieces as they are, and the opponent's
    // count is never below zero.
    const int plafond = mobilite_maximale(JEU.TRAIT);
    RECHERCHE.PLAFOND_MOBILITE = MOBILITY > 0 ? plafond * MOBILITY : MOBILITY < 0 ? plafond / -MOBILITY : 0;
    if (MOBILITY != 0) preparer_mobilites(enfants);
}

int evaluation_apres(int depart, int arrivee) { return note_apres(materiel_apres(arrivee), depart, arrivee); }

int score_feuille(int depart, int arrivee, int best) {
    ++RECHERCHE.POSITIONS;
    horloge_position();
    if (STOP == 1) return -SCORE_ARRET;
    // A leaf that cannot beat the best score even with every move the
    // mover's pieces could have needs no count: mostly quiet moves after a
    // capture that won material.
    const int materiel = materiel_apres(arrivee);
    const int plafond = materiel * JEU.TRAIT + RECHERCHE.PLAFOND_MOBILITE;
    if (plafond <= best) return plafond;
    return -note_apres(materiel, depart, arrivee);
}
