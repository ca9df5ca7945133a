// SPDX-License-Identifier: GPL-3.0-or-later
#include <bit>
#include <cassert>
#include <vector>

#include "bitboard.h"
#include "globals.h"
#include "movegen.h"
#include "noeud.h"
#include "ordre.h"
#include "search.h"

thread_local constinit etat_recherche RECHERCHE{};

namespace {

// A leaf scored without being made must, made, be legal, bring no third
// repetition and evaluate the same.
[[maybe_unused]] bool feuille_conforme(coup m) {
    const int attendu = evaluation_apres(m.depart, m.arrivee);
    const int r = ajoute_coup_partie(m.depart, m.arrivee);
    const bool legal = !roi_du_trait_attaque();
    inverse_trait();
    const int obtenu = evaluation();
    inverse_trait();
    retire_coup_partie();
    return legal && r != DRAW && obtenu == attendu;
}

// A leaf's score is its exact evaluation unless the search stops, or unless
// neither it nor the exact one beats the best score.
[[maybe_unused]] bool score_admis(coup m, int score, int best) {
    const int exact = -evaluation_apres(m.depart, m.arrivee);
    return score == exact || (STOP == 1 && score == -SCORE_ARRET) || (score <= best && exact <= best);
}

// A leaf's line is its move alone: the node of the best line so far is reused
// when that line is a single move too.
void noter_feuille(variation* pv, coup m) {
    variation* v = pv->suivant;
    if (v != nullptr && v->suivant == nullptr) {
        v->depart = m.depart;
        v->arrivee = m.arrivee;
        return;
    }
    libere_variation(v);
    pv->suivant = nouvelle_variation(m);
}

// Searches one list of a node, in order, until a move reaches beta; about
// a_venir more moves may follow in later lists. The node's alpha, best score
// and count of legal moves are kept in locals meanwhile. With sans_jouer the
// children are leaves, of a node other than the root.
template <bool sans_jouer, bool TABLE>
void chercher_liste(const liste_coups& liste, int extension, noeud& n, int a_venir) {
    const int depth = n.depth, beta = n.beta;
    variation* const pv = n.pv;
    int alpha = n.alpha, best = n.best, legaux = n.legaux;
    const bool feuilles = sans_jouer || enfants_feuilles(depth, extension);
    const bool repetitions = sans_jouer && repetitions_possibles();
    // The leaves' evaluation takes the position in once, before its first leaf.
    if (sans_jouer && !n.feuilles_preparees && liste.nb_coups > 0) {
        preparer_feuilles(liste.nb_coups + a_venir);
        n.feuilles_preparees = true;
    }
    for (int i = 0; i < liste.nb_coups && best < beta; ++i) {
        const coup m = liste.coups[i];
        const bool a_tester = coup_a_tester(n.legal, m);
        // Leaves reached by a move that moves one piece and cannot repeat a
        // position are scored without making the move.
        if (sans_jouer && m.arrivee < PREMIER_CODE_PROMOTION &&
            !(a_tester && roque_ou_en_passant(m))) {
            if (a_tester && roi_attaque_apres(m)) {
                assert(!legal_une_fois_joue(m));
                continue;
            }
            if (!repetitions || !repetition_possible_apres(m.depart, m.arrivee)) {
                ++legaux;
                if (best > alpha) alpha = best;
                assert(feuille_conforme(m));
                const int score = score_feuille(m.depart, m.arrivee, best);
                assert(score_admis(m, score, best));
                if (score > best) {
                    noter_feuille(pv, m);
                    best = score;
                }
                continue;
            }
        }
        if (best > alpha) alpha = best;
        const coup_cherche j = chercher_coup<TABLE>({m, extension}, a_tester, feuilles, depth, alpha, beta);
        if (!j.legal) continue;
        ++legaux;
        if (j.score > best || commence_la_ligne(n)) {
            libere_variation(pv->suivant);
            pv->suivant = j.noeud;
            if (j.score > best) best = j.score;
        } else {
            libere_variation(j.noeud);
        }
    }
    n.alpha = alpha;
    n.best = best;
    n.legaux = legaux;
    // The children searched below took the leaves' evaluation in for their
    // own leaves: a later list of leaves takes this position in again. Only
    // with the table does a list of leaves (its quiet move) come before one
    // of searches (the captures).
    if constexpr (TABLE && !sans_jouer) n.feuilles_preparees = false;
}

// The root's moves are those "go searchmoves" left, when it named some.
bool racine_restreinte(const noeud& n) { return n.racine && LIMITES.coups_racine.nb_coups != 0; }

// Leaves, scored without making their moves, have a loop of their own: the
// one that makes moves keeps its registers for itself. Chess960's leaves are
// made: their castling terms look at squares the shortcut does not follow.
template <bool TABLE>
void chercher(const liste_coups& liste, int extension, noeud& n, int a_venir) {
    if (enfants_feuilles(n.depth, extension) && !n.racine && !JEU.CHESS960)
        chercher_liste<true, TABLE>(liste, extension, n, a_venir);
    else chercher_liste<false, TABLE>(liste, extension, n, a_venir);
}

// Moves searched ahead of their place in the lists, each as a list of its own.
void chercher_a_part(noeud& n, const coup* coups, int nb, int extension) {
    liste_coups liste;
    for (int i = 0; i < nb && n.best < n.beta; ++i) {
        liste.nb_coups = 1;
        liste.coups[0] = coups[i];
        chercher<true>(liste, extension, n, 2 * std::popcount(JEU.CAMP_BB[indice_camp(JEU.TRAIT)]));
    }
}

// Inlined into alphabeta and the parallel search kept out of it, as in a
// search on one thread: the profile-guided build would decide otherwise.
// With the table, its move first, the captures by what they take, then the
// killers, the three out of the generator's lists.
template <bool TABLE>
[[gnu::always_inline]] inline void chercher_seul(noeud& n) {
    liste_coups liste;
    const bool restreinte = racine_restreinte(n);
    liste_du_coup prefere = liste_du_coup::aucune;
    if constexpr (TABLE) {
        prefere = liste_du_prefere(n);
        if (prefere != liste_du_coup::aucune) chercher_a_part(n, &n.prefere, 1, prefere == liste_du_coup::prises);
    }
    init_liste(&liste);
    if constexpr (TABLE) generer_prises_avec_table(&liste);
    else generer_prises(&liste);
    if (restreinte) restreindre_racine(&liste);
    if constexpr (TABLE) {
        if (prefere != liste_du_coup::aucune) retirer(&liste, n.prefere);
        ordonner_prises(liste.coups, liste.coups + liste.nb_coups);
    }
    chercher<TABLE>(liste, 1, n, 0);

    // Quiet moves after the captures; at the capture extension only when no
    // capture was legal, so that mate and stalemate are still seen there.
    // They are generated a few at a time, as they are searched.
    if (n.depth > 0 || (n.depth == 0 && RECHERCHE.EXTENSION == 1 && n.legaux == 0)) {
        coup tueurs[NB_TUEURS];
        int nb_tueurs = 0;
        if constexpr (TABLE) {
            if (n.depth > 0 && n.best < n.beta) nb_tueurs = tueurs_du_noeud(n, tueurs);
            chercher_a_part(n, tueurs, nb_tueurs, 0);
        }
        for (bitboard reste = JEU.CAMP_BB[indice_camp(JEU.TRAIT)]; reste != 0 && n.best < n.beta;) {
            init_liste(&liste);
            if constexpr (TABLE) generer_calmes_avec_table(&liste, &reste);
            else generer_calmes(&liste, &reste);
            if (restreinte) restreindre_racine(&liste);
            if constexpr (TABLE) {
                if (prefere != liste_du_coup::aucune) retirer(&liste, n.prefere);
                for (int i = 0; i < nb_tueurs; ++i) retirer(&liste, tueurs[i]);
            }
            chercher<TABLE>(liste, 0, n, 2 * std::popcount(reste));
        }
    }
}

// The same moves in the same order, all listed at once and searched across
// the threads. False, with nothing searched, when a list is full: the quiet
// moves of the one-thread search, listed a few at a time, may be more.
[[gnu::noinline]] bool chercher_a_plusieurs(noeud& n) {
    std::vector<coup_etendu> coups;
    if (!coups_du_noeud(n, &coups)) return false;
    if (!coups.empty()) chercher_en_parallele(n, coups);
    return true;
}

}  // namespace

bool coups_du_noeud(const noeud& n, std::vector<coup_etendu>* coups) {
    coups_ordonnes tous;
    generer_dans_l_ordre(&tous);
    const bool restreinte = racine_restreinte(n);
    liste_du_coup prefere = liste_du_coup::aucune;
    if (RECHERCHE.TABLE) {
        // A shared node has the depth to start its ply without killers.
        assert(RECHERCHE.TUEURS[PROFONDEUR - n.depth][0].depart == 0);
        ordonner_prises(tous.coups, tous.coups + tous.nb_prises);
        prefere = liste_du_prefere(n);
        if (prefere != liste_du_coup::aucune) coups->push_back({n.prefere, prefere == liste_du_coup::prises});
    }
    for (int i = 0; i < tous.nb_coups; ++i) {
        const coup m = tous.coups[i];
        if ((!restreinte || coup_de_la_racine(m)) && !(prefere != liste_du_coup::aucune && m == n.prefere))
            coups->push_back({m, i < tous.nb_prises ? 1 : 0});
    }
    return tous.complets;
}

bool coup_de_la_racine(coup m) {
    const liste_coups& permis = LIMITES.coups_racine;
    for (int i = 0; i < permis.nb_coups; ++i)
        if (permis.coups[i].depart == m.depart && permis.coups[i].arrivee == m.arrivee) return true;
    return permis.nb_coups == 0;
}

void restreindre_racine(liste_coups* liste) {
    int n = 0;
    for (int i = 0; i < liste->nb_coups; ++i)
        if (coup_de_la_racine(liste->coups[i])) liste->coups[n++] = liste->coups[i];
    liste->nb_coups = n;
}

template <bool TABLE>
int alphabeta_noeud(int depth, int alpha, int beta, variation* pv) {
    // Past the node limit the iteration is thrown away: every node ends at once.
    if (arretee()) return SCORE_ARRET;
    if (depth == 0 && RECHERCHE.EXTENSION == 0) return eval();
    if (depth < 0) return eval();

    uint64_t cle = 0;
    coup prefere = {0, 0};
    if constexpr (TABLE) {
        if (depth >= PROFONDEUR_TABLE) {
            cle = cle_position();
            prefere = table_coup(cle);
        }
        if (depth >= RECHERCHE.TUEURS_DES) oublier_tueurs(PROFONDEUR - depth);
    }
    noeud n = {depth, alpha, beta, -MAT, 0, pv, TABLE ? preparer_legalite_avec_table() : preparer_legalite(),
               depth == PROFONDEUR, false, prefere};
    if (!(depth >= RECHERCHE.PARTAGE_DES && chercher_a_plusieurs(n))) chercher_seul<TABLE>(n);

    const int best = n.best;
    if constexpr (TABLE) {
        if (best > alpha && pv->suivant != nullptr && !arretee()) retenir(cle, depth, best >= beta, pv);
    }
    if (best != -MAT) return best;
    if (n.legaux == 0 && !roi_du_trait_attaque()) return -DRAW;
    const int ply = PROFONDEUR - depth;
    if (ply > RECHERCHE.LONGEST) RECHERCHE.LONGEST = ply;
    return -MAT;
}
template int alphabeta_noeud<false>(int, int, int, variation*);
template int alphabeta_noeud<true>(int, int, int, variation*);

int alphabeta(int depth, int alpha, int beta, variation* pv) {
    return RECHERCHE.TABLE ? alphabeta_noeud<true>(depth, alpha, beta, pv) : alphabeta_noeud<false>(depth, alpha, beta, pv);
}
