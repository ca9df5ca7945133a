#include "bitboard.h"
#include "globals.h"
#include "movegen.h"
#include "search.h"

int64_t POSITIONS;

namespace {

inline int difference(int code) { return NB_PIECES[code + 6] - NB_PIECES[-code + 6]; }

}  // namespace

int eval() {
    ++POSITIONS;
    if (STOP == 1) return SCORE_ARRET;
    int score = difference(PION_P) * PION + difference(CAVALIER_P) * CAVALIER + difference(FOU_P) * FOU +
                difference(TOUR_P) * TOUR + difference(REINE) * DAME;
    if (MOBILITY != 0) {
        int m = difference_de_mobilite();
        score += MOBILITY > 0 ? m * MOBILITY : m / -MOBILITY;
    }
    return score * TRAIT;
}
