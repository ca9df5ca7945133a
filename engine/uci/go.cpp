// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
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

// With an increment the clock lasts longer than the moves counted.
constexpr int COUPS_RESTANTS_AVEC_INCREMENT = 25;

// With an increment a move takes at most this share of the clock: late in a
// fast game the clock then settles near ten increments, where draining it to
// Move Overhead would lose on time at the machine's first stall.
constexpr int PART_DE_L_HORLOGE_AVEC_INCREMENT = 10;

// The most the last "go" let a move take of the side's clock: "ponderhit"
// keeps its budget within it.
int plafond_du_trait = INT_MAX;

// The clock counts whole seconds, at least one.
int secondes_du_budget(int ms) { return ms > 999 ? ms / 1000 : 1; }

int indice(int trait) { return trait == BLANC ? 0 : 1; }

int nouvelle_graine() { return static_cast<int>(1 + std::random_device{}() % SEED_MAX); }

// The seed of a limited strength's choices while the Seed option is 0: a new
// one for each game, so that games against a level do not repeat.
int graine_partie = nouvelle_graine();

uint64_t melange(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

}  // namespace

void uci_ucinewgame() {
    graine_partie = nouvelle_graine();
    // A new game starts from an empty table, never emptied under a search.
    if (table_presente()) {
        attendre_fin_recherche();
        table_vider();
    }
}

int atoi_borne(const char* texte) {
    long long v = std::strtoll(texte, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

parametres_go lire_go() {
    parametres_go go;
    enum { AUCUN, WTIME, BTIME, WINC, BINC, MOVESTOGO, DEPTH, NODES, MATE, MOVETIME, PERFT } attendu = AUCUN;
    static const std::pair<const char*, decltype(attendu)> MOTS[] = {
        {"wtime", WTIME}, {"btime", BTIME}, {"winc", WINC},   {"binc", BINC},         {"movestogo", MOVESTOGO},
        {"depth", DEPTH}, {"nodes", NODES}, {"mate", MATE}, {"movetime", MOVETIME}, {"perft", PERFT},
    };
    while (extract_param() != 0) {
        if (attendu != AUCUN) {  // the value, whatever it says
            const int v = atoi_borne(COMMANDE);
            switch (attendu) {
                case WTIME: go.temps[0] = v; go.par_movetime[0] = false; break;
                case BTIME: go.temps[1] = v; go.par_movetime[1] = false; break;
                case WINC: go.increment[0] = v; break;
                case BINC: go.increment[1] = v; break;
                case MOVESTOGO: go.coups_restants = v; break;
                case DEPTH:
                    go.profondeur = std::min(v, PROFONDEUR_MAX);
                    go.fixe = true;
                    break;
                case MOVETIME:
                    go.temps[0] = go.temps[1] = v;
                    go.par_movetime[0] = go.par_movetime[1] = true;
                    go.coups_restants = 1;
                    break;
                case NODES: go.noeuds = std::max(std::strtoll(COMMANDE, nullptr, 10), 0LL); break;
                case MATE: go.mat = v; break;
                case PERFT: go.perft = std::clamp(v, 0, PERFT_GO_MAX); break;
                case AUCUN: break;
            }
            attendu = AUCUN;
            continue;
        }
        if (std::strcmp(COMMANDE, "searchmoves") == 0) {  // the moves fill the rest of the line
            while (extract_param() != 0) go.coups_racine.emplace_back(COMMANDE);
            break;
        }
        if (std::strcmp(COMMANDE, "infinite") == 0 || std::strcmp(COMMANDE, "ponder") == 0) {
            go.profondeur = PROFONDEUR_DEFAUT;
            go.sans_horloge = true;
        }
        for (const auto& [mot, valeur] : MOTS)
            if (std::strcmp(COMMANDE, mot) == 0) attendu = valeur;
    }
    return go;
}

limites_recherche limites_de_go(const parametres_go& go) {
    limites_recherche l;
    // A mate in N needs 2N - 1 plies; a larger N than the deepest search is just the deepest.
    const int mat = std::min(go.mat, PROFONDEUR_MAX);
    l.profondeur = mat > 0 ? std::min({go.profondeur, 2 * mat - 1, PROFONDEUR_MAX}) : go.profondeur;
    l.noeuds = go.noeuds;
    l.sans_horloge = go.sans_horloge;
    if (UCI_LIMITSTRENGTH != 0) {
        // The draw depends on the seed and the position alone: a seed replays a game move for move.
        l.force_limitee = true;
        l.niveau_joue = niveau_de(UCI_ELO);
        if (l.niveau_joue.noeuds > 0) l.noeuds = l.noeuds > 0 ? std::min(l.noeuds, l.niveau_joue.noeuds) : l.niveau_joue.noeuds;
        l.graine = SEED != 0 ? SEED : graine_partie;
        const uint64_t position = JEU.CLE ^ (static_cast<uint64_t>(JEU.FIN_LISTE_PARTIE + 1) << 1) ^ (JEU.TRAIT == BLANC);
        l.tirage = melange(melange(static_cast<uint64_t>(l.graine)) ^ position);
    }
    init_liste(&l.coups_racine);
    for (const std::string& mot : go.coups_racine) {
        coup m;
        if (coup_de_texte(mot, &m)) ajouter(&l.coups_racine, m.depart, m.arrivee);
        else sortie_ligne("info string searchmoves: " + mot + " is not a legal move, ignored");
    }
    return l;
}

// A mate search deepens, to stop at the first depth that finds one.
bool profondeur_fixe(const parametres_go& go) { return go.fixe && go.mat <= 0; }

namespace {

// Whole seconds from one second on, the budget itself below, one second when
// there is no positive budget; never past the cap.
budget_temps budget_de_ms(int ms, int plafond) {
    const int secondes = secondes_du_budget(ms);
    const int limite = ms >= 1 && ms < 1000 ? ms : secondes * 1000;
    return {true, ms, secondes, std::min(limite, plafond)};
}

// The side's clock less Move Overhead, and with an increment a share of it;
// no cap for "movetime" or without a clock.
int plafond_de_go(const parametres_go& go, int trait, int move_overhead) {
    const int camp = indice(trait), horloge = go.temps[camp];
    if (go.par_movetime[camp] || horloge <= 0) return INT_MAX;
    const int reste = horloge - move_overhead;
    return go.increment[camp] != 0 ? std::min(reste, horloge / PART_DE_L_HORLOGE_AVEC_INCREMENT) : reste;
}

}  // namespace

// time / moves to go + increment, for the side to move; no clock while
// pondering, or without a time.
budget_temps budget_de_go(const parametres_go& go, int trait, int move_overhead) {
    const int camp = indice(trait);
    if (go.sans_horloge || go.temps[camp] == 0) return {false, 0, 0, 0};
    int diviseur = go.coups_restants;
    if (go.increment[camp] != 0) diviseur = COUPS_RESTANTS_AVEC_INCREMENT;
    else if (diviseur == 0) diviseur = COUPS_RESTANTS_DEFAUT;
    const long long ms = static_cast<long long>(go.temps[camp]) / diviseur + go.increment[camp];
    return budget_de_ms(static_cast<int>(std::clamp<long long>(ms, INT_MIN, INT_MAX)),
                        plafond_de_go(go, trait, move_overhead));
}

void set_temps_de_calcul(int ms) {
    PROFONDEUR_FIXE = 0;
    LAST_TIME = ms;
    TEMPS_HORLOGE = secondes_du_budget(ms);
}

void uci_go() {
    const parametres_go go = lire_go();
    if (go.perft >= 0) {
        attendre_fin_recherche();
        PERFT = go.perft;
        horloge_lancer(false, 0);
        CALCUL = 1;
        return;
    }
    // A search already requested or running keeps its own limits and takes
    // only the clock of this "go".
    if (CALCUL == 0) {
        LIMITES = limites_de_go(go);
        PROFONDEUR_FIXE = profondeur_fixe(go) ? 1 : 0;
        PROFONDEUR_ATTEINTE = 0;
    }
    plafond_du_trait = plafond_de_go(go, JEU.TRAIT, MOVE_OVERHEAD);
    const budget_temps b = budget_de_go(go, JEU.TRAIT, MOVE_OVERHEAD);
    if (b.arme) set_temps_de_calcul(b.ms);
    horloge_lancer(b.arme, b.limite_ms);
    CALCUL = 1;
}

void uci_ponderhit() {
    PROFONDEUR_FIXE = 0;
    const budget_temps b = budget_de_ms(LAST_TIME, plafond_du_trait);
    TEMPS_HORLOGE = b.secondes;
    horloge_lancer(true, b.limite_ms);
    CALCUL = 1;
}

std::atomic<int> PERFT{-1};

// What "go" asked for, carried out by whichever thread runs the searches.
void executer_calcul() {
    restaurer_partie(PARTIE_UCI);
    if (PERFT < 0) {
        joue();
        return;
    }
    perft_division(PERFT);
    CALCUL = 0;
    PERFT = -1;
}
