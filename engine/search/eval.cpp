#include "globals.h"
#include "movegen.h"
#include "search.h"

int64_t POSITIONS;

int eval() {
    ++POSITIONS;
    if (STOP == 1) return SCORE_ARRET;
    int score = 0;
    for (int c = 21; c <= 98; ++c) {
        switch (ECHIQUIER[c]) {
            case PION_P: score += PION; break;
            case CAVALIER_P: score += CAVALIER; break;
            case FOU_P: score += FOU; break;
            case TOUR_P: score += TOUR; break;
            case REINE: score += DAME; break;
            case -PION_P: score -= PION; break;
            case -CAVALIER_P: score -= CAVALIER; break;
            case -FOU_P: score -= FOU; break;
            case -TOUR_P: score -= TOUR; break;
            case -REINE: score -= DAME; break;
            default: break;
        }
    }
    if (MOBILITY != 0) {
        int m = nb_de_coups_possibles(BLANC) - nb_de_coups_possibles(NOIR);
        score += MOBILITY > 0 ? m * MOBILITY : m / -MOBILITY;
    }
    return score * TRAIT;
}
