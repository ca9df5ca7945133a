// SPDX-License-Identifier: GPL-3.0-or-later
// "go": the words read into a value, the search's limits and the time budget
// derived from it, and the flags the command sets from them.
#include <tuple>

#include "search.h"
#include "support.h"

TEST(Go, LimitsAndBudgets) {
    constexpr int X = -7;  // TEMPS_HORLOGE and LAST_TIME before: left alone without a clock
    constexpr budget_temps AUCUN = {false, 0, 0, 0};
    const char* noir = "fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";
    struct Cas {
        const char* position;
        const char* parametres;
        int profondeur;
        bool fixe;
        int64_t noeuds;
        int coups_racine;
        budget_temps budget;  // Move Overhead 50
    } cas[] = {
        {"startpos", "", 30, false, 0, 0, AUCUN},
        {"startpos", "wtime 300000", 30, false, 0, 0, {true, 10000, 10, 10000}},
        {"startpos", "wtime 60000 movestogo 10", 30, false, 0, 0, {true, 6000, 6, 6000}},
        {"startpos", "wtime 60000 movestogo 10 winc 1000", 30, false, 0, 0, {true, 3400, 3, 3000}},
        {"startpos", "movetime 5000", 30, false, 0, 0, {true, 5000, 5, 5000}},
        {"startpos", "movetime 500", 30, false, 0, 0, {true, 500, 1, 500}},
        {"startpos", "movetime 5000 winc 1000", 30, false, 0, 0, {true, 1200, 1, 1000}},  // the increment makes it 25
        {"startpos", "wtime -3000", 30, false, 0, 0, {true, -100, 1, 1000}},
        {"startpos", "wtime 60000 movestogo 0", 30, false, 0, 0, {true, 2000, 2, 2000}},  // no divisor: 30
        {"startpos", "wtime 99999999999", 30, false, 0, 0, {true, 71582788, 71582, 71582000}},  // INT_MAX / 30
        {"startpos", "wtime 1000 winc 2000", 30, false, 0, 0, {true, 2040, 2, 100}},  // a tenth of the clock
        {"startpos", "wtime 1000 movestogo 1", 30, false, 0, 0, {true, 1000, 1, 950}},  // within the clock less 50
        {"startpos", "wtime 30 winc 100", 30, false, 0, 0, {true, 101, 1, -20}},
        // A match runner's first clocks: a few milliseconds, gone before the search has begun.
        {"startpos", "wtime 100", 30, false, 0, 0, {true, 3, 1, 3}},
        {"startpos", "wtime 100 btime 100", 30, false, 0, 0, {true, 3, 1, 3}},
        {"startpos", "btime 100 binc 100 wtime 100 winc 100", 30, false, 0, 0, {true, 104, 1, 10}},
        {noir, "btime 100", 30, false, 0, 0, {true, 3, 1, 3}},
        {noir, "wtime 100 winc 100 btime 100 binc 100", 30, false, 0, 0, {true, 104, 1, 10}},
        {"startpos", "Wtime 60000", 30, false, 0, 0, AUCUN},
        {"startpos", "depth 4 btime 60000", 4, true, 0, 0, AUCUN},
        {"startpos", "wtime 60000 depth 4", 4, false, 0, 0, {true, 2000, 2, 2000}},  // a clock deepens
        {"startpos", "depth 100", PROFONDEUR_MAX, true, 0, 0, AUCUN},
        {"startpos", "ponder wtime 60000 winc 1000", 30, false, 0, 0, AUCUN},
        {"startpos", "depth 5 infinite", 30, true, 0, 0, AUCUN},
        {"startpos", "searchmoves e2e4 d2d4 wtime 60000", 30, false, 0, 2, AUCUN},
        {"startpos", "nodes 5000000000 wtime 60000", 30, false, 5000000000, 0, {true, 2000, 2, 2000}},
        {"startpos", "nodes wtime 60000", 30, false, 0, 0, AUCUN},  // "wtime" is the node count
        {"startpos", "mate 3", 5, false, 0, 0, AUCUN},
        {"startpos", "depth 4 mate 3", 4, false, 0, 0, AUCUN},
        {"startpos", "mate 99999999999", 30, false, 0, 0, AUCUN},  // no overflow doubling it
        {noir, "wtime 10000 btime 60000 winc 5000", 30, false, 0, 0, {true, 2000, 2, 2000}},
        {noir, "wtime 60000", 30, false, 0, 0, AUCUN},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        lecture_depuis_texte(std::string(c.parametres) + "\n");
        const parametres_go go = lire_go();
        const limites_recherche l = limites_de_go(go);
        const budget_temps b = budget_de_go(go, JEU.TRAIT, MOVE_OVERHEAD);
        EXPECT_EQ(std::tuple(l.profondeur, profondeur_fixe(go) && !b.arme, l.noeuds, l.coups_racine.nb_coups),
                  std::tuple(c.profondeur, c.fixe, c.noeuds, c.coups_racine))
            << c.parametres;
        EXPECT_EQ(b, c.budget) << c.parametres;

        // The command sets the shared flags from these values, and clears a
        // STOP left up by an earlier search and the depth it completed.
        TEMPS_HORLOGE = LAST_TIME = X;
        LANCE_HORLOGE = PROFONDEUR_FIXE = CALCUL = 0;
        STOP = PROFONDEUR_ATTEINTE = 1;
        lecture_depuis_texte(std::string(c.parametres) + "\n");
        uci_go();
        EXPECT_EQ(std::vector<int64_t>({LIMITES.profondeur, PROFONDEUR_FIXE, LIMITES.noeuds, LANCE_HORLOGE,
                                        TEMPS_HORLOGE, LAST_TIME, STOP, PROFONDEUR_ATTEINTE, CALCUL}),
                  std::vector<int64_t>({c.profondeur, c.fixe, c.noeuds, b.arme, b.arme ? b.secondes : X,
                                        b.arme ? b.ms : X, 0, 0, 1}))
            << c.parametres;
    }
    CALCUL = LANCE_HORLOGE = 0;
    LIMITES = {};
}
