#include <cassert>

#include <initializer_list>

#include "movegen.h"

namespace {

// First non-empty cell from c along step d: a piece or the off-board value.
inline int premier_occupant(int c, int d) {
    do c += d;
    while (ECHIQUIER[c] == VIDE);
    return ECHIQUIER[c];
}

}  // namespace

int is_roi_echec(int c) {
    assert(case_jouable(c));
    const int* b = ECHIQUIER;
    int v = b[c];
    int a;  // attacking side
    if (v == -ROI) a = BLANC;
    else if (v != VIDE) a = NOIR;
    else a = TRAIT == BLANC ? NOIR : BLANC;

    if (a == BLANC) {
        if (b[c - 11] == PION_P || b[c - 9] == PION_P) return 1;
    } else {
        if (b[c + 11] == -PION_P || b[c + 9] == -PION_P) return 1;
    }
    for (int d : {1, -1, 10, -10}) {
        int p = premier_occupant(c, d);
        if (p == REINE * a || p == TOUR_P * a) return 1;
    }
    for (int d : {11, -11, 9, -9}) {
        int p = premier_occupant(c, d);
        if (p == REINE * a || p == FOU_P * a) return 1;
    }
    for (int d : {12, 21, 19, 8, -12, -21, -19, -8})
        if (b[c + d] == CAVALIER_P * a) return 1;
    for (int d : {1, 11, 10, 9, -1, -9, -10, -11})
        if (b[c + d] == ROI * a) return 1;
    return 0;
}

bool roi_du_trait_attaque() {
    return is_roi_echec(TRAIT == BLANC ? ROI_BLANC : ROI_NOIR) == 1;
}
