// SPDX-License-Identifier: GPL-3.0-or-later
// Move-tree counts against the published perft results, standard and
// Chess960, and against an independent engine's for Chess960's 960 start
// positions and castling made hard (scripts/chess960-perft.py): they exercise
// generation, legality, castling, en passant, promotions and take-back
// together, and every count must leave the position as it found it.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "diagnostics.h"
#include "support.h"

namespace {

struct table_perft {
    const char* nom;
    bool chess960;
    uint64_t profond;  // counts from this many leaves on run only on request
    int minimum[2];    // counts each run must check at least, quick and deep
};
constexpr table_perft TABLES[] = {
    {"perft.epd", false, 1'000'000, {200, 10}},
    {"chess960.epd", true, 100'000, {2900, 960}},
    {"chess960-published.epd", true, 100'000, {14, 10}},
};

void verifier_suite(bool profonds) {
    for (const table_perft& t : TABLES) {
        UCI_CHESS960 = t.chess960;
        int verifies = 0;
        for (const std::string& ligne : lignes_perft(t.nom)) {
            const std::string fen = fen_perft(ligne);
            poser(fen);
            const etat_partie avant = sauver_partie();
            std::istringstream champs(ligne.substr(fen.size() - 4));
            char d;
            int profondeur;
            uint64_t n;
            while (champs >> d >> d >> profondeur >> n) {
                if ((n >= t.profond) != profonds) continue;
                EXPECT_EQ(perft(profondeur), n) << fen << " depth " << profondeur;
                ASSERT_TRUE(partie_intacte(avant)) << fen << ": position not restored";
                ++verifies;
            }
        }
        EXPECT_GT(verifies, t.minimum[profonds]) << t.nom;
    }
    UCI_CHESS960 = 0;
}

}  // namespace

TEST(PerftSuite, Shallow) { verifier_suite(false); }

TEST(PerftSuite, Deep) {
    if (std::getenv("SOLVANE_PERFT_DEEP") == nullptr) GTEST_SKIP() << "set SOLVANE_PERFT_DEEP to run";
    verifier_suite(true);
}
