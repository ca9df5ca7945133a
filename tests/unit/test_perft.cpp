// SPDX-License-Identifier: GPL-3.0-or-later
// Move-tree counts against the published perft results: they exercise
// generation, legality, castling, en passant, promotions and take-back
// together, and every count must leave the position as it found it.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "diagnostics.h"
#include "support.h"

namespace {

// Counts of a million leaves and more run only on request.
void verifier_suite(bool profonds) {
    int verifies = 0;
    for (const std::string& ligne : lignes_perft()) {
        const std::string fen = fen_perft(ligne);
        poser(fen);
        const etat_partie avant = sauver_partie();
        std::istringstream champs(ligne.substr(fen.size() - 4));
        char d;
        int profondeur;
        uint64_t n;
        while (champs >> d >> d >> profondeur >> n) {
            if ((n >= 1'000'000) != profonds) continue;
            EXPECT_EQ(perft(profondeur), n) << fen << " depth " << profondeur;
            ASSERT_TRUE(partie_intacte(avant)) << fen << ": position not restored";
            ++verifies;
        }
    }
    EXPECT_GT(verifies, profonds ? 10 : 200);
}

}  // namespace

TEST(PerftSuite, Shallow) { verifier_suite(false); }

TEST(PerftSuite, Deep) {
    if (std::getenv("SOLVANE_PERFT_DEEP") == nullptr) GTEST_SKIP() << "set SOLVANE_PERFT_DEEP to run";
    verifier_suite(true);
}
