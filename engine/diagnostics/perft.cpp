// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagnostics.h"
#include "globals.h"
#include "movegen.h"
#include "search.h"
#include "sortie.h"

namespace {

// Calls visite(m, leaves) for every legal move, leaves counted to depth - 1.
template <typename Visite>
uint64_t parcourir(int profondeur, Visite visite) {
    coups_ordonnes coups;
    generer_dans_l_ordre(&coups);
    uint64_t total = 0;
    for (const coup m : coups) {
        ajoute_coup_partie(m.depart, m.arrivee);
        if (!roi_du_trait_attaque()) {
            uint64_t n = 1;
            if (profondeur > 1) {
                inverse_trait();
                n = perft(profondeur - 1);
                inverse_trait();
            }
            visite(m, n);
            total += n;
        }
        retire_coup_partie();
    }
    return total;
}

}  // namespace

uint64_t perft(int profondeur) {
    if (profondeur <= 0) return 1;
    if (STOP == 1) return 0;
    const instantanes_differes differes;
    return parcourir(profondeur, [](coup, uint64_t) {});
}

uint64_t perft_division(int profondeur) {
    std::string texte;
    uint64_t total = 0;
    if (profondeur <= 0) {
        total = 1;
    } else {
        const instantanes_differes differes;
        total = parcourir(profondeur, [&](coup m, uint64_t n) {
            texte += texte_coup(m) + format_texte(": %llu\n", static_cast<unsigned long long>(n));
        });
    }
    // A count given up ("stop", "quit") prints nothing: it would be wrong.
    if (STOP == 1) return total;
    texte += format_texte("\nNodes searched: %llu\n", static_cast<unsigned long long>(total));
    sortie_texte(texte);
    return total;
}
