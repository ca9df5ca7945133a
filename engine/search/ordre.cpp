// SPDX-License-Identifier: GPL-3.0-or-later
#include "ordre.h"

#include <algorithm>

#include "search.h"

namespace {

// Kinds of piece from the least to the most worth taking: 0 for none (en
// passant, whose pawn is not on the target square), the pawn 1, the queen 5.
int rang_de_prise(int piece) {
    static constexpr int RANGS[] = {0, 6, 5, 4, 3, 2, 1};  // by kind: none, king ... pawn
    return RANGS[piece < 0 ? -piece : piece];
}

void noter_tueur(int ply, coup m) {
    coup* tueurs = RECHERCHE.TUEURS[ply];
    if (tueurs[0] == m) return;
    std::copy_backward(tueurs, tueurs + NB_TUEURS - 1, tueurs + NB_TUEURS);
    tueurs[0] = m;
}

}  // namespace

liste_du_coup liste_du_prefere(const noeud& n) {
    if (n.prefere.depart == 0 || (n.racine && !coup_de_la_racine(n.prefere))) return liste_du_coup::aucune;
    // The capture extension, where a quiet move comes only when no capture is
    // legal, never reads the table: its nodes have no preferred move.
    static_assert(PROFONDEUR_TABLE > 0);
    return liste_de(n.prefere);
}

void ordonner_prises(coup* debut, coup* fin) {
    const auto cle = [](coup m) {
        const bool promotion = m.arrivee >= PREMIER_CODE_PROMOTION;
        const int arrivee = promotion ? promotion_cible(m.arrivee) : m.arrivee;
        const int gain = std::max(rang_de_prise(JEU.ECHIQUIER[arrivee]), 1) +
                         (promotion ? rang_de_prise(promotion_piece(m.arrivee)) : 0);
        return 8 * gain - rang_de_prise(JEU.ECHIQUIER[m.depart]);
    };
    // Insertion, which keeps equals in order: the lists are short.
    const long nb = fin - debut;
    if (nb < 2) return;
    int cles[MAX_COUPS];
    for (long i = 0; i < nb; ++i) {
        const coup m = debut[i];
        const int k = cle(m);
        long j = i;
        for (; j > 0 && cles[j - 1] < k; --j) {
            debut[j] = debut[j - 1];
            cles[j] = cles[j - 1];
        }
        debut[j] = m;
        cles[j] = k;
    }
}

void retirer(liste_coups* liste, coup m) {
    liste->nb_coups = static_cast<int>(std::remove(liste->coups, liste->coups + liste->nb_coups, m) - liste->coups);
}

int tueurs_du_noeud(const noeud& n, coup* tueurs) {
    int nb = 0;
    for (const coup m : RECHERCHE.TUEURS[PROFONDEUR - n.depth])
        if (m.depart != 0 && m != n.prefere && (!n.racine || coup_de_la_racine(m)) &&
            liste_de(m) == liste_du_coup::calmes)
            tueurs[nb++] = m;
    return nb;
}

void oublier_tueurs(int ply) {
    std::fill(&RECHERCHE.TUEURS[ply][0], &RECHERCHE.TUEURS[PROFONDEUR][0] + NB_TUEURS, coup{0, 0});
}

void retenir(uint64_t cle, int depth, bool coupure, const variation* pv) {
    const coup m = {pv->suivant->depart, pv->suivant->arrivee};
    if (depth >= PROFONDEUR_TABLE) table_noter(cle, depth, m);
    // A capture comes early anyway.
    if (coupure && depth > 0 && m.arrivee < PREMIER_CODE_PROMOTION && JEU.ECHIQUIER[m.arrivee] == VIDE)
        noter_tueur(PROFONDEUR - depth, m);
}

bool table_utilisee(const limites_recherche& limites) { return table_presente() && !limites.force_limitee; }
