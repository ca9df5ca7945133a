// SPDX-License-Identifier: GPL-3.0-or-later
// The evaluation, and leaves scored without being made.
#include <tuple>

#include "search.h"
#include "support.h"

namespace {

struct Recherche : ::testing::Test {
    void TearDown() override {
        options_par_defaut();
        STOP = 0;
    }
};

// Material and mobility counted by hand, for the side to move. The castling
// terms ask whether a square is attacked: an empty one by the side not to
// move, one holding the black king by White, any other piece by Black.
TEST_F(Recherche, Eval) {
    const char* cinq = "fen 7k/8/8/8/4K3/8/8/8 w - - 0 1";  // Ke4 8 moves, Kh8 3
    const std::tuple<const char*, int, int> cas[] = {
        {cinq, 1, 5}, {cinq, 2, 10}, {cinq, 0, 0}, {cinq, -1, 5}, {cinq, -3, 1}, {cinq, -6, 0},
        // Kh1 3 against Ke5 8 + Nb6, Nc7: the division truncates toward zero.
        {"fen n7/8/8/4k3/8/8/8/7K w - - 0 1", -3, -302},
        {"fen 7k/8/8/8/4K3/8/8/8 b - - 0 1", 1, -5},
        // White 20 + both castling terms (its f1, g1, d1, c1 pieces not attacked
        // by Black), Black 20 (its king attacks its own f8 and d8).
        {"startpos", 1, 2},
        {"fen 4k3/8/8/8/8/8/8/3QK3 b - - 0 1", 0, -900},
        // Empty castling squares judged against the side not to move: 26 - 24.
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 1, 2},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", 1, -(24 - 26)},
        {"fen k2r1n2/4P3/8/8/8/8/8/7K w - - 0 1", 1, 100 - 800 + 6 - 17},
    };
    for (const auto& [position, mobilite, attendu] : cas) {
        poser(position);
        MOBILITY = mobilite;
        EXPECT_EQ(eval(), attendu) << position << " mobility " << mobilite;
    }
    // One power of ten per kind shows each count; zero and negative values
    // are used as they come.
    MOBILITY = 0;
    PION = 1, CAVALIER = 10, FOU = 100, TOUR = 1000, DAME = 10000;
    poser("fen 4k3/ppp5/8/8/3q4/8/PP6/RNB1K3 b - - 0 1");
    EXPECT_EQ(eval(), 8891);
    PION = -50, CAVALIER = 0, FOU = 7, TOUR = 1, DAME = 0;
    EXPECT_EQ(eval(), -58);
    // In Chess960 a term looks at the squares from the king's to its last:
    // e1, attacked, spoils b1 to g1 but not b1 and c1. White 23 + 1, Black 17.
    UCI_CHESS960 = 1;
    poser("fen 4r1k1/8/8/8/8/8/8/RK5R w HA - 0 1");
    PION = 100, TOUR = 500, MOBILITY = 1;
    EXPECT_EQ(eval(), 500 + 24 - 17);
}

// Leaves are scored without being made, from the position they are played
// from: counted afresh for a few children, from the parent's attack sets for
// many. On the perft positions, a few bare ones where the pieces reach nearly
// all they can, and every position one move from them, with several option
// settings, each way must give what the made move evaluates to. A leaf is
// left uncounted only when its score cannot beat the best one so far.
TEST_F(Recherche, LeavesScoredWithoutBeingMadeAgreeWithMadeMoves) {
    int comparees = 0;
    std::vector<std::string> positions = {"fen k7/8/5K2/8/3Q4/8/8/8 w - - 0 1", "fen 8/8/2nbk3/8/8/3NBK2/8/8 b - - 0 1"};
    for (const std::string& ligne : lignes_perft()) positions.push_back(fen_perft(ligne));
    for (const std::string& position : positions) {
        poser(position);
        std::vector<std::string> depuis = {position};
        for (const coup m : coups_generes())
            if (legal_une_fois_joue(m)) depuis.push_back(position + " moves " + texte_coup(m));
        for (const std::string& p : depuis) {
            for (const int mobilite : {1, -3, 9}) {
                for (const int enfants : {1, 100}) {
                    poser(p);
                    MOBILITY = mobilite;
                    preparer_valeurs();
                    preparer_feuilles(enfants);
                    for (const coup m : coups_generes()) {
                        if (m.arrivee >= PREMIER_CODE_PROMOTION || roque_ou_en_passant(m) || !legal_une_fois_joue(m))
                            continue;
                        ajoute_coup_partie(m.depart, m.arrivee);
                        inverse_trait();
                        const int attendu = evaluation();
                        inverse_trait();
                        retire_coup_partie();
                        const std::string ou = p + " then " + texte_coup(m) + ", mobility " + std::to_string(mobilite);
                        ASSERT_EQ(evaluation_apres(m.depart, m.arrivee), attendu) << ou << ", " << enfants;
                        const int64_t avant = RECHERCHE.POSITIONS;
                        ASSERT_EQ(score_feuille(m.depart, m.arrivee, -attendu - 1), -attendu) << ou;
                        EXPECT_LE(score_feuille(m.depart, m.arrivee, -attendu + 1000), -attendu + 1000) << ou;
                        EXPECT_EQ(RECHERCHE.POSITIONS, avant + 2) << ou;
                        ++comparees;
                    }
                }
            }
        }
    }
    EXPECT_GT(comparees, 50000);
}

}  // namespace
