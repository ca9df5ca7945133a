// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "globals.h"
#include "search.h"
#include "sortie.h"
#include "tools.h"
#include "uci.h"

int PERFT_GO_MAX = PERFT_MAX;

namespace {

constexpr int DIVISEUR_PAR_DEFAUT = 30;
constexpr int DIVISEUR_AVEC_INCREMENT = 25;

// Where the clock stops a budget: whole seconds from one second on, the budget
// itself below, one second when there is no positive budget.
int limite_de_budget(int ms) {
    if (ms >= 1000) return TEMPS_HORLOGE * 1000;
    return ms >= 1 ? ms : 1000;
}

// The side's own clock time from the last "go" that gave it (not "movetime"),
// 0 when none: no search may spend more than that time minus the margin.
int temps_du_trait = 0;

int plafonner(int limite) {
    if (temps_du_trait <= 0) return limite;
    return std::min(limite, temps_du_trait - MOVE_OVERHEAD);
}

int limite_en_attente = 0;

// "go searchmoves": the legal moves among the words; none leaves every move.
void restreindre_racine_a(const std::vector<std::string>& mots) {
    init_liste(&COUPS_RACINE);
    for (const std::string& mot : mots) {
        coup m;
        if (coup_de_texte(mot, &m)) ajouter(&COUPS_RACINE, m.depart, m.arrivee);
        else sortie_ligne("info string searchmoves: " + mot + " is not a legal move, ignored");
    }
}

}  // namespace

int atoi_borne(const char* texte) {
    long long v = std::strtoll(texte, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

void set_temps_de_calcul(int ms) {
    PROFONDEUR_FIXE = 0;
    LAST_TIME = ms;
    TEMPS_HORLOGE = ms > 999 ? ms / 1000 : 1;
    limite_en_attente = limite_de_budget(ms);
}

void uci_go() {
    int profondeur = PROFONDEUR_DEFAUT;
    int fixe = 0;
    int temps[2] = {0, 0};  // White, Black
    int increment[2] = {0, 0};
    bool par_movetime[2] = {false, false};
    int coups_restants = DIVISEUR_PAR_DEFAUT;
    bool ponder = false;
    long long noeuds = 0;
    int mate = 0, perft = -1;
    std::vector<std::string> coups_racine;
    enum { AUCUN, WTIME, BTIME, WINC, BINC, MOVESTOGO, DEPTH, NODES, MATE, MOVETIME, PERFT } attendu = AUCUN;

    while (extract_param() != 0) {
        if (attendu != AUCUN) {
            int v = atoi_borne(COMMANDE);
            switch (attendu) {
                case WTIME: temps[0] = v; par_movetime[0] = false; break;
                case BTIME: temps[1] = v; par_movetime[1] = false; break;
                case WINC: increment[0] = v; break;
                case BINC: increment[1] = v; break;
                case MOVESTOGO: coups_restants = v; break;
                case DEPTH:
                    profondeur = std::min(v, PROFONDEUR_MAX);
                    fixe = 1;
                    break;
                case MOVETIME:
                    temps[0] = temps[1] = v;
                    par_movetime[0] = par_movetime[1] = true;
                    coups_restants = 1;
                    break;
                case NODES: noeuds = std::max(std::strtoll(COMMANDE, nullptr, 10), 0LL); break;
                case MATE: mate = v; break;
                case PERFT: perft = std::clamp(v, 0, PERFT_GO_MAX); break;
                default: break;
            }
            attendu = AUCUN;
            continue;
        }
        const char* m = COMMANDE;
        if (std::strcmp(m, "searchmoves") == 0) {  // the moves fill the rest of the line
            while (extract_param() != 0) coups_racine.emplace_back(COMMANDE);
            break;
        }
        if (std::strcmp(m, "wtime") == 0) attendu = WTIME;
        else if (std::strcmp(m, "btime") == 0) attendu = BTIME;
        else if (std::strcmp(m, "winc") == 0) attendu = WINC;
        else if (std::strcmp(m, "binc") == 0) attendu = BINC;
        else if (std::strcmp(m, "movestogo") == 0) attendu = MOVESTOGO;
        else if (std::strcmp(m, "depth") == 0) attendu = DEPTH;
        else if (std::strcmp(m, "nodes") == 0) attendu = NODES;
        else if (std::strcmp(m, "mate") == 0) attendu = MATE;
        else if (std::strcmp(m, "perft") == 0) attendu = PERFT;
        else if (std::strcmp(m, "movetime") == 0) attendu = MOVETIME;
        else if (std::strcmp(m, "infinite") == 0 || std::strcmp(m, "ponder") == 0) {
            profondeur = PROFONDEUR_DEFAUT;
            ponder = true;
        }
    }

    if (perft >= 0) {
        attendre_fin_recherche();
        perft_division(perft);
        return;
    }
    // A search already requested or running keeps its own limits (it reads
    // them at every node) and takes only the clock of this "go".
    if (CALCUL == 0) {
        // A mate in N moves is found within 2N - 1 plies.
        if (mate > 0) {
            profondeur = std::min(profondeur, std::min(2 * mate - 1, PROFONDEUR_MAX));
            fixe = 0;
        }
        PROFONDEUR = profondeur;
        PROFONDEUR_FIXE = fixe;
        LIMITE_NOEUDS = noeuds;
        restreindre_racine_a(coups_racine);
    }
    int camp = JEU.TRAIT == BLANC ? 0 : 1;
    temps_du_trait = par_movetime[camp] ? 0 : temps[camp];
    bool armer = !ponder && temps[camp] != 0;
    int limite = 0;
    if (armer) {
        int diviseur = coups_restants;
        if (increment[camp] != 0) diviseur = DIVISEUR_AVEC_INCREMENT;
        else if (diviseur == 0) diviseur = DIVISEUR_PAR_DEFAUT;
        long long budget = static_cast<long long>(temps[camp]) / diviseur + increment[camp];
        set_temps_de_calcul(static_cast<int>(std::clamp<long long>(budget, INT_MIN, INT_MAX)));
        limite = plafonner(limite_en_attente);
    }
    horloge_lancer(armer, limite);
    CALCUL = 1;
}

void uci_ponderhit() {
    PROFONDEUR_FIXE = 0;
    int ms = LAST_TIME;
    TEMPS_HORLOGE = ms > 999 ? ms / 1000 : 1;
    horloge_lancer(true, plafonner(limite_de_budget(ms)));
    CALCUL = 1;
}
