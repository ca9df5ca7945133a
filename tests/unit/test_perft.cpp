// Move-tree counts against the published perft results: they exercise
// generation, legality, castling, en passant, promotions and take-back together.
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "diagnostics.h"
#include "support.h"

namespace {

// Counts of a million leaves and more run only on request.
void verifier_suite(bool profonds) {
    std::ifstream f(SOLVANE_TEST_DATA "/perft.epd");
    int positions = 0, verifies = 0;
    for (std::string ligne; std::getline(f, ligne);) {
        const std::string fen = ligne.substr(0, ligne.find(" ;"));
        if (fen.empty()) continue;
        ++positions;
        poser("fen " + fen);
        const std::vector<int> avant = etat();
        std::istringstream champs(ligne.substr(fen.size()));
        char d;
        int profondeur;
        uint64_t n;
        while (champs >> d >> d >> profondeur >> n) {
            if ((n >= 1'000'000) != profonds) continue;
            EXPECT_EQ(perft(profondeur), n) << fen << " depth " << profondeur;
            ASSERT_EQ(etat(), avant) << fen << ": position not restored";
            ++verifies;
        }
    }
    EXPECT_GE(positions, 60);
    EXPECT_GT(verifies, 0);
}

}  // namespace

TEST(PerftSuite, Shallow) { verifier_suite(false); }

TEST(PerftSuite, Deep) {
    if (std::getenv("SOLVANE_PERFT_DEEP") == nullptr) GTEST_SKIP() << "set SOLVANE_PERFT_DEEP to run";
    verifier_suite(true);
}
