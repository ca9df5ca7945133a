// SPDX-License-Identifier: GPL-3.0-or-later
// The move generator's three ways of listing moves, its legality shortcut and
// the mobility count must agree with each other on the perft positions.
#include <algorithm>

#include "bitboard.h"
#include "search.h"
#include "support.h"

namespace {

std::vector<int> textes(const liste_coups& l) {
    std::vector<int> v;
    for (int i = 0; i < l.nb_coups; ++i) v.push_back(l.coups[i].depart * 256 + l.coups[i].arrivee);
    return v;
}

}  // namespace

// The search lists captures alone and quiet moves in batches, and makes only
// the moves the legality shortcut points at: end to end the lists must be the
// full ones, and every move let through untested must be legal once made.
TEST(Generation, ListsApartAndLegalityShortcutAgree) {
    for (const auto& [position, chess960] : positions_perft()) {
        UCI_CHESS960 = chess960;
        poser(position);
        liste_coups calmes, prises, seules;
        init_liste(&calmes);
        init_liste(&prises);
        init_liste(&seules);
        generer_liste(&calmes, &prises);
        generer_prises(&seules);
        EXPECT_EQ(textes(seules), textes(prises)) << position;
        std::vector<int> par_lots;
        for (uint64_t reste = JEU.CAMP_BB[indice_camp(JEU.TRAIT)]; reste != 0;) {
            liste_coups lot;
            init_liste(&lot);
            generer_calmes(&lot, &reste);
            EXPECT_TRUE(reste == 0 || lot.nb_coups >= LOT_DE_CALMES) << position;
            for (int m : textes(lot)) par_lots.push_back(m);
        }
        EXPECT_EQ(par_lots, textes(calmes)) << position;

        const legalite legal = preparer_legalite();
        for (const coup m : coups_generes()) {
            const bool illegal = !legal_une_fois_joue(m);
            const bool vu = coup_a_tester(legal, m) && !roque_ou_en_passant(m) ? roi_attaque_apres(m) : illegal;
            EXPECT_EQ(vu, illegal) << position << " " << texte_coup(m);
            EXPECT_TRUE(coup_a_tester(legal, m) || !illegal) << position << " " << texte_coup(m);
        }
    }
    UCI_CHESS960 = 0;
}

// Without castling rights and promotions, counting and listing follow the
// same rules, for either side and whoever is to move.
TEST(Mobilite, CountsTheGeneratedMoves) {
    int verifiees = 0;
    for (const std::string& ligne : lignes_perft()) {
        poser(fen_perft(ligne));
        if (droits_de_roque()) continue;
        for (int fois = 0; fois < 2; ++fois, inverse_trait()) {
            const std::vector<coup> l = coups_generes();
            if (std::any_of(l.begin(), l.end(), [](coup m) { return m.arrivee >= PREMIER_CODE_PROMOTION; })) continue;
            const int trait = JEU.TRAIT, n = nb_de_coups_possibles(trait);
            EXPECT_EQ(n, static_cast<int>(l.size())) << ligne << " side " << trait;
            // A FEN en passant field only counts for the side it names.
            if (JEU.EN_PASSANT_FEN == 0) {
                inverse_trait();
                EXPECT_EQ(nb_de_coups_possibles(trait), n) << ligne << " side " << trait << " not to move";
                inverse_trait();
            }
            ++verifiees;
        }
    }
    EXPECT_GT(verifiees, 40);
}
