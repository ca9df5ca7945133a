#include <cassert>

#include "movegen.h"
#include "tables.h"

int camp_attaquant(int c) {
    int v = ECHIQUIER[c];
    if (v == -ROI) return BLANC;
    if (v != VIDE) return NOIR;
    return TRAIT == BLANC ? NOIR : BLANC;
}

int is_roi_echec(int c) {
    assert(case_jouable(c));
    return case_attaquee(bit_de_case(c), camp_attaquant(c)) ? 1 : 0;
}

bool roi_du_trait_attaque() {
    return TRAIT == BLANC ? case_attaquee(bit_de_case(ROI_BLANC), NOIR) : case_attaquee(bit_de_case(ROI_NOIR), BLANC);
}
