// SPDX-License-Identifier: GPL-3.0-or-later
// "go": the limits it sets and the budget it computes from the clock.
#include "search.h"
#include "support.h"

TEST(Go, ParametersAndBudgets) {
    constexpr int X = -7;  // TEMPS_HORLOGE and LAST_TIME before: left alone
    const char* noir = "fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";
    struct Cas {
        const char* position;
        const char* parametres;
        int profondeur, fixe, horloge, temps, dernier;
        int64_t noeuds = 0;
    } cas[] = {
        {"startpos", "", 30, 0, 0, X, X},
        {"startpos", "wtime 300000", 30, 0, 1, 10, 10000},
        {"startpos", "wtime 60000 movestogo 10", 30, 0, 1, 6, 6000},
        {"startpos", "wtime 60000 movestogo 10 winc 1000", 30, 0, 1, 3, 3400},
        {"startpos", "movetime 5000", 30, 0, 1, 5, 5000},
        {"startpos", "movetime 500", 30, 0, 1, 1, 500},
        {"startpos", "movetime 5000 winc 1000", 30, 0, 1, 1, 1200},  // the increment makes it 25
        {"startpos", "wtime -3000", 30, 0, 1, 1, -100},
        {"startpos", "wtime 60000 movestogo 0", 30, 0, 1, 2, 2000},    // no divisor: 30
        {"startpos", "wtime 99999999999", 30, 0, 1, 71582, 71582788},  // INT_MAX / 30
        {"startpos", "Wtime 60000", 30, 0, 0, X, X},
        {"startpos", "depth 4 btime 60000", 4, 1, 0, X, X},
        {"startpos", "wtime 60000 depth 4", 4, 0, 1, 2, 2000},
        {"startpos", "depth 100", PROFONDEUR_MAX, 1, 0, X, X},
        {"startpos", "ponder wtime 60000 winc 1000", 30, 0, 0, X, X},
        {"startpos", "depth 5 infinite", 30, 1, 0, X, X},
        {"startpos", "searchmoves e2e4 d2d4 wtime 60000", 30, 0, 0, X, X},
        {"startpos", "nodes 5000000000 wtime 60000", 30, 0, 1, 2, 2000, 5000000000},
        {"startpos", "nodes wtime 60000", 30, 0, 0, X, X},  // "wtime" is the node count
        {"startpos", "mate 3", 5, 0, 0, X, X},
        {"startpos", "depth 4 mate 3", 4, 0, 0, X, X},
        {noir, "wtime 10000 btime 60000 winc 5000", 30, 0, 1, 2, 2000},
        {noir, "wtime 60000", 30, 0, 0, X, X},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        TEMPS_HORLOGE = LAST_TIME = X;
        LANCE_HORLOGE = PROFONDEUR_FIXE = CALCUL = 0;
        STOP = 1;  // left up by an earlier search
        lecture_depuis_texte(std::string(c.parametres) + "\n");
        uci_go();
        EXPECT_EQ(std::vector<int64_t>({PROFONDEUR, PROFONDEUR_FIXE, LANCE_HORLOGE, TEMPS_HORLOGE, LAST_TIME, STOP,
                                        CALCUL, LIMITE_NOEUDS}),
                  std::vector<int64_t>({c.profondeur, c.fixe, c.horloge, c.temps, c.dernier, 0, 1, c.noeuds}))
            << c.parametres;
    }
    CALCUL = LANCE_HORLOGE = 0;
    LIMITE_NOEUDS = 0;
}
