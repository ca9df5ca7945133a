// SPDX-License-Identifier: GPL-3.0-or-later
// The root of an iteration asked for several lines (MultiPV).
#include <algorithm>
#include <vector>

#include "noeud.h"
#include "ordre.h"
#include "search.h"

namespace {

// One thread: each move searched with the k-th best exact score so far as
// its lower bound, and the deepest mated side of its own tree noted.
void chercher_seul(noeud& n, const std::vector<coup_etendu>& coups, int k) {
    classement rang(k);
    std::vector<ligne_racine> trouvees;
    for (const coup_etendu& c : coups) {
        const int longest = RECHERCHE.LONGEST;
        RECHERCHE.LONGEST = 0;
        const bool a_tester = coup_a_tester(n.legal, c.m), feuille = enfants_feuilles(n.depth, c.extension);
        const coup_cherche j = RECHERCHE.TABLE
                                   ? chercher_coup<true>(c, a_tester, feuille, n.depth, rang.alpha(), n.beta)
                                   : chercher_coup<false>(c, a_tester, feuille, n.depth, rang.alpha(), n.beta);
        const int longest_du_coup = RECHERCHE.LONGEST;
        RECHERCHE.LONGEST = std::max(longest, longest_du_coup);
        if (!j.legal) continue;
        ++n.legaux;
        if (!rang.retient(j.score)) {
            libere_variation(j.noeud);
            continue;
        }
        const int sortie = rang.placer(j.score, static_cast<int>(trouvees.size()));
        trouvees.push_back({j.score, longest_du_coup, j.noeud});
        if (sortie >= 0) {
            libere_variation(trouvees[sortie].pv);
            trouvees[sortie].pv = nullptr;
        }
    }
    LIGNES.clear();
    for (const classement::entree& e : rang.entrees()) LIGNES.push_back(trouvees[e.indice]);
}

}  // namespace

int chercher_lignes(int depth, int k) {
    if (arretee()) return SCORE_ARRET;
    const uint64_t cle = RECHERCHE.TABLE ? cle_position() : 0;
    noeud n = {depth, -MAT, MAT, -MAT, 0, &RECHERCHE.P_VARIATION, preparer_legalite(), true, false,
               RECHERCHE.TABLE ? table_coup(cle) : coup{0, 0}};
    // A position with more moves of a kind than a list holds (only a FEN made
    // up for it) has its lines chosen among those listed.
    std::vector<coup_etendu> coups;
    coups_du_noeud(n, &coups);
    if (depth >= RECHERCHE.PARTAGE_DES && !coups.empty()) chercher_en_parallele(n, coups, k);
    else chercher_seul(n, coups, k);

    if (LIGNES.empty()) return n.legaux == 0 && !roi_du_trait_attaque() ? -DRAW : -MAT;
    RECHERCHE.P_VARIATION.suivant = LIGNES[0].pv;
    if (RECHERCHE.TABLE && !arretee()) retenir(cle, depth, false, &RECHERCHE.P_VARIATION);
    return LIGNES[0].score;
}
