#include <cassert>

#include "bitboard.h"
#include "globals.h"
#include "movegen.h"
#include "search.h"

int64_t POSITIONS;

namespace {

inline int difference(int code) { return NB_PIECES[code + 6] - NB_PIECES[-code + 6]; }

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

int MATERIEL_PARENT;
int VALEURS[13];  // by code + 6, Black's negative: what taking the piece removes

}  // namespace

int evaluation() { return note(materiel(), MOBILITY != 0 ? difference_de_mobilite() : 0, TRAIT); }

int eval() {
    ++POSITIONS;
    if (STOP == 1) return SCORE_ARRET;
    return evaluation();
}

void preparer_feuilles(int enfants) {
    MATERIEL_PARENT = materiel();
    for (int code = -PION_P; code <= PION_P; ++code) VALEURS[code + 6] = code > 0 ? valeur(code) : -valeur(-code);
    if (MOBILITY != 0) preparer_mobilites(enfants);
}

int evaluation_apres(int depart, int arrivee) {
    const int prise = ECHIQUIER[arrivee];
    assert(prise != ROI && prise != -ROI);
    const int score = MATERIEL_PARENT - VALEURS[prise + 6];
    return note(score, MOBILITY != 0 ? difference_de_mobilite_apres(depart, arrivee) : 0, -TRAIT);
}

int eval_apres(int depart, int arrivee) {
    ++POSITIONS;
    if (STOP == 1) return SCORE_ARRET;
    return evaluation_apres(depart, arrivee);
}
