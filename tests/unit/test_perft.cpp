// Move-tree counts against the published perft results: they exercise
// generation, legality, castling, en passant, promotions and take-back together.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "support.h"

namespace {

// Counts below this run in every test build; the rest only on request.
constexpr uint64_t SEUIL_PROFOND = 1'000'000;

struct Entree {
    std::string fen;
    std::vector<std::pair<int, uint64_t>> comptes;  // depth, leaves
};

std::vector<Entree> lire_suite() {
    std::vector<Entree> suite;
    std::ifstream f(SOLVANE_TEST_DATA "/perft.epd");
    std::string ligne;
    while (std::getline(f, ligne)) {
        std::stringstream champs(ligne);
        Entree e;
        std::getline(champs, e.fen, ';');
        while (!e.fen.empty() && e.fen.back() == ' ') e.fen.pop_back();
        if (e.fen.empty()) continue;
        std::string champ;
        while (std::getline(champs, champ, ';')) {
            std::istringstream c(champ);
            char d;
            int profondeur;
            uint64_t n;
            if (c >> d >> profondeur >> n && d == 'D') e.comptes.emplace_back(profondeur, n);
        }
        suite.push_back(e);
    }
    return suite;
}

// What a perft run must leave exactly as it found it.
struct Etat {
    std::array<int, 120> echiquier;
    std::array<int, 9> scalaires;
    std::array<int, 80> instantane_0;
    bool operator==(const Etat&) const = default;
};

Etat etat() {
    Etat e;
    std::copy(ECHIQUIER, ECHIQUIER + 120, e.echiquier.begin());
    e.scalaires = {TRAIT,           ADVERSAIRE,        ROI_BLANC,        ROI_NOIR,         PETIT_ROQUE_BLANC,
                   GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR, FIN_LISTE_PARTIE};
    std::copy(ECHIQUIERS[0].cases, ECHIQUIERS[0].cases + 80, e.instantane_0.begin());
    return e;
}

void verifier_suite(bool profonds) {
    const std::vector<Entree> suite = lire_suite();
    ASSERT_GE(suite.size(), 60u);
    int verifies = 0;
    for (const Entree& e : suite) {
        poser("fen " + e.fen);
        const Etat avant = etat();
        for (const auto& [profondeur, attendu] : e.comptes) {
            if ((attendu >= SEUIL_PROFOND) != profonds) continue;
            EXPECT_EQ(perft(profondeur), attendu) << e.fen << " depth " << profondeur;
            ASSERT_TRUE(etat() == avant) << e.fen << " depth " << profondeur << ": position not restored";
            ++verifies;
        }
    }
    EXPECT_GT(verifies, 0);
}

}  // namespace

TEST(PerftSuite, Shallow) { verifier_suite(false); }

TEST(PerftSuite, Deep) {
    if (std::getenv("SOLVANE_PERFT_DEEP") == nullptr) GTEST_SKIP() << "set SOLVANE_PERFT_DEEP to run";
    verifier_suite(true);
}

TEST(PerftDivision, StartPositionDepthTwo) {
    poser("startpos");
    const Etat avant = etat();
    std::string attendu;
    for (const char* m : {"b1c3", "b1a3", "g1h3", "g1f3"}) attendu += std::string(m) + ": 20\n";
    for (char f = 'a'; f <= 'h'; ++f)
        for (char r : {'3', '4'}) attendu += std::string{f, '2', f, r} + ": 20\n";
    attendu += "\nNodes searched: 400\n";

    CaptureSortie sortie;
    EXPECT_EQ(perft_division(2), 400u);
    EXPECT_EQ(sortie.texte, attendu);
    EXPECT_TRUE(etat() == avant);
}

// Kiwipete: 8 captures and both castlings among its 48 root moves.
TEST(PerftDivision, CapturesFirstAndCountsAddUp) {
    poser("fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    const Etat avant = etat();
    for (int profondeur : {1, 2}) {
        SCOPED_TRACE(profondeur);
        CaptureSortie sortie;
        const uint64_t total = perft_division(profondeur);
        EXPECT_EQ(total, profondeur == 1 ? 48u : 2039u);

        std::istringstream lignes(sortie.texte);
        std::string ligne;
        std::vector<std::string> coups;
        uint64_t somme = 0;
        while (std::getline(lignes, ligne) && !ligne.empty()) {
            const size_t sep = ligne.find(": ");
            ASSERT_NE(sep, std::string::npos) << ligne;
            EXPECT_EQ(sep, 4u) << ligne;
            coups.push_back(ligne.substr(0, sep));
            somme += std::stoull(ligne.substr(sep + 2));
        }
        ASSERT_TRUE(std::getline(lignes, ligne));
        EXPECT_EQ(ligne, "Nodes searched: " + std::to_string(total));
        EXPECT_FALSE(std::getline(lignes, ligne)) << "trailing text: " << ligne;
        EXPECT_EQ(somme, total);
        ASSERT_EQ(coups.size(), 48u);
        auto cible = [](const std::string& m) { return case_de(m[2] - 'a' + 1, m[3] - '0'); };
        for (size_t i = 0; i < coups.size(); ++i)
            EXPECT_EQ(ECHIQUIER[cible(coups[i])] < 0, i < 8) << coups[i] << " at " << i;
        EXPECT_EQ(coups[8], "e1g1");
        EXPECT_EQ(coups[9], "e1c1");
        EXPECT_TRUE(etat() == avant);
    }
}
