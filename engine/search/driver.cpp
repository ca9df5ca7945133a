// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdint>
#include <thread>

#include "equipe.h"
#include "globals.h"
#include "movegen.h"
#include "ordre.h"
#include "search.h"
#include "sortie.h"

limites_recherche LIMITES;
std::vector<ligne_racine> LIGNES;
int PROFONDEUR;
std::atomic<int> PROFONDEUR_FIXE{0};
coup BEST_COUP;
coup PONDER_COUP;
int64_t NOEUDS_AFFICHES;
int64_t POSITIONS_PERDUES;

namespace {

constexpr coup AUCUN_COUP = {0, 0};

// The first legal root move in search order, or none: what the bestmove line
// carries when no depth completes.
coup premier_coup_legal() {
    coups_ordonnes coups;
    generer_dans_l_ordre(&coups);
    for (const coup m : coups)
        if (coup_de_la_racine(m) && legal_une_fois_joue(m)) return m;
    return AUCUN_COUP;
}

}  // namespace

void affiche_case(std::string& texte, int c) {
    if (c < 0) c += 256;
    if (c < PREMIER_CODE_PROMOTION) {
        texte += format_texte("%c%d", 96 + c % 10, c / 10 - 1);
        return;
    }
    if (c >= PREMIER_CODE_ROQUE) {  // Chess960: the king takes its own rook
        affiche_case(texte, tour_du_roque(c));
        return;
    }
    int cible = promotion_cible(c);
    int piece = promotion_piece(c);
    static const char lettres[] = "QRBN";
    char lettre = lettres[((piece > 0 ? piece : -piece) - REINE) & 3];
    if (PROMOTEINUPPERCASE == 0) lettre = static_cast<char>(lettre - 'A' + 'a');
    texte += format_texte("%c%d%c", 96 + cible % 10, cible / 10 - 1, lettre);
}

std::string texte_coup(coup c) {
    std::string texte;
    affiche_case(texte, c.depart);
    affiche_case(texte, c.arrivee);
    return texte;
}

namespace {

// An info line: "multipv I" after the depth when I is not 0. A mate is
// counted in moves from the deepest ply at which the search found a mated
// side, or, when none, from the line's length.
std::string ligne_info(int multipv, int score, int longest, const variation* pv) {
    std::string ligne = format_texte("info depth %d ", PROFONDEUR);
    if (multipv != 0) ligne += format_texte("multipv %d ", multipv);
    if (score == MAT || score == -MAT) {
        int compte = longest - longest / 2;
        if (longest == 0)
            for (const variation* v = pv; v != nullptr; v = v->suivant) ++compte;
        ligne += format_texte("score mate %d ", score == MAT ? compte : -compte);
    } else {
        ligne += format_texte("score cp %d ", score);
    }
    ligne += format_texte("nodes %lld pv ", static_cast<long long>(RECHERCHE.POSITIONS));
    for (const variation* v = pv; v != nullptr; v = v->suivant) {
        ligne += texte_coup({v->depart, v->arrivee});
        ligne += ' ';
    }
    return ligne;
}

}  // namespace

void affiche_info(int score) {
    NOEUDS_AFFICHES += RECHERCHE.POSITIONS;
    sortie_ligne(ligne_info(0, score, RECHERCHE.LONGEST, RECHERCHE.P_VARIATION.suivant));
}

void affiche_lignes(int score) {
    NOEUDS_AFFICHES += RECHERCHE.POSITIONS;
    if (LIGNES.empty()) {
        sortie_ligne(ligne_info(1, score, RECHERCHE.LONGEST, nullptr));
        return;
    }
    std::string texte;
    for (size_t i = 0; i < LIGNES.size(); ++i)
        texte += ligne_info(static_cast<int>(i) + 1, LIGNES[i].score, LIGNES[i].longest, LIGNES[i].pv) + '\n';
    sortie_texte(texte);
}

void affiche_coup() {
    std::string ligne = "bestmove ";
    if (BEST_COUP.depart == 0) {
        ligne += "(none)";
    } else {
        ligne += texte_coup(BEST_COUP);
        if (PONDER_COUP.depart != 0) ligne += " ponder " + texte_coup(PONDER_COUP);
    }
    sortie_ligne(ligne);
}

namespace {

void noter_meilleur(const variation* premier) {
    if (premier == nullptr) return;
    BEST_COUP = {premier->depart, premier->arrivee};
    const variation* second = premier->suivant;
    PONDER_COUP = second != nullptr ? coup{second->depart, second->arrivee} : AUCUN_COUP;
}

// A limited strength says which line it played and with what seed, so that
// the game can be replayed; a search it ended by itself while pondering or
// infinite waits for "ponderhit" or "stop", as the protocol wants.
void fin_de_niveau(const limites_recherche& limites, size_t choisie, size_t parmi) {
    if (parmi > 0)
        sortie_ligne(format_texte("info string UCI_Elo %d plays line %zu of %zu, seed %d", limites.niveau_joue.elo,
                                  choisie + 1, parmi, limites.graine));
    while (limites.sans_horloge && STOP == 0 && LANCE_HORLOGE == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void joue() {
    const instantanes_differes differes;
#ifndef NDEBUG
    const etat_partie avant = sauver_partie();
#endif
    const limites_recherche& limites = LIMITES;
    const bool limitee = limites.force_limitee;
    const int lignes = limitee ? std::max(MULTIPV, limites.niveau_joue.lignes) : MULTIPV;
    // A level always completes depth 2: with less it would leave pieces to be
    // taken in one move.
    const int hors_budget = limitee ? 2 : 0;
    size_t choisie = 0, parmi = 0;  // the line a level played, among how many
    preparer_valeurs();
    RECHERCHE.TABLE = table_utilisee(limites);
    RECHERCHE.TUEURS_DES = limites.partage_des - 1;
    BEST_COUP = premier_coup_legal();
    PONDER_COUP = AUCUN_COUP;
    int score = 0;
    int64_t comptees = 0;  // positions of the completed depths
    // A node limit is checked against the one-thread order of the count.
    equipe fils(limites.noeuds > 0 ? 1 : THREADS);
    for (int d = 1; d <= limites.profondeur && score != MAT && score != -MAT && STOP == 0; ++d) {
        if (PROFONDEUR_FIXE == 1) d = limites.profondeur;
        init_variation();
        if (RECHERCHE.TABLE) {
            table_nouvelle_iteration();
            oublier_tueurs(0);
        }
        PROFONDEUR = d;
        RECHERCHE.BUDGET_ITERATION = limites.noeuds > 0 && d > hors_budget ? limites.noeuds - comptees : INT64_MAX;
        score = lignes > 1 ? chercher_lignes(d, lignes) : alphabeta(d, -MAT, MAT, &RECHERCHE.P_VARIATION);
        if (RECHERCHE.POSITIONS > budget()) break;
        if (STOP == 0) {
            comptees += RECHERCHE.POSITIONS;
            PROFONDEUR_ATTEINTE = 1;
            if (lignes > 1) affiche_lignes(score);
            else affiche_info(score);
            if (limitee && lignes > 1 && !LIGNES.empty()) {
                choisie = ligne_du_niveau(LIGNES, limites.niveau_joue, limites.tirage);
                parmi = LIGNES.size();
                noter_meilleur(LIGNES[choisie].pv);
            } else {
                noter_meilleur(RECHERCHE.P_VARIATION.suivant);
            }
        }
    }
    POSITIONS_PERDUES += fils.terminer();
    RECHERCHE.BUDGET_ITERATION = INT64_MAX;
    RECHERCHE.TABLE = false;
    if (limitee) fin_de_niveau(limites, choisie, parmi);
    assert(partie_intacte(avant));
    // An interface may send the next "go" the moment it reads bestmove.
    CALCUL = 0;
    affiche_coup();
}
