// SPDX-License-Identifier: GPL-3.0-or-later
// The nodes of the principal variations, one per legal move searched, from
// a pool of the thread's own.
#include "search.h"

namespace {

// Nodes come from a free list refilled by whole blocks: one node per legal
// move searched would otherwise cost a heap allocation each.
constexpr int NOEUDS_PAR_BLOC = 4096;

}  // namespace

struct bloc_variations {
    variation noeuds[NOEUDS_PAR_BLOC];
    bloc_variations* suivant;
};

variation* nouvelle_variation(coup m) {
    if (RECHERCHE.libres == nullptr) {
        RECHERCHE.blocs = new bloc_variations{{}, RECHERCHE.blocs};
        variation* bloc = RECHERCHE.blocs->noeuds;
        for (int i = 0; i < NOEUDS_PAR_BLOC; ++i) bloc[i].suivant = i + 1 < NOEUDS_PAR_BLOC ? &bloc[i + 1] : nullptr;
        RECHERCHE.libres = bloc;
    }
    variation* v = RECHERCHE.libres;
    RECHERCHE.libres = v->suivant;
    *v = {m.depart, m.arrivee, nullptr};
    return v;
}

void libere_variation(variation* v) {
    while (v != nullptr) {
        variation* suivant = v->suivant;
        v->suivant = RECHERCHE.libres;
        RECHERCHE.libres = v;
        v = suivant;
    }
}

void init_variation() {
    RECHERCHE.POSITIONS = 0;
    RECHERCHE.P_VARIATION.depart = 0;
    RECHERCHE.P_VARIATION.arrivee = 0;
    libere_variation(RECHERCHE.P_VARIATION.suivant);
    RECHERCHE.P_VARIATION.suivant = nullptr;
    // The first of several lines was the principal variation's.
    for (size_t i = 1; i < LIGNES.size(); ++i) libere_variation(LIGNES[i].pv);
    LIGNES.clear();
    RECHERCHE.LONGEST = 0;
}

void liberer_variations() {
    while (RECHERCHE.blocs != nullptr) {
        bloc_variations* suivant = RECHERCHE.blocs->suivant;
        delete RECHERCHE.blocs;
        RECHERCHE.blocs = suivant;
    }
    RECHERCHE.libres = nullptr;
}
