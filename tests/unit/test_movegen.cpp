// Move lists in search order, attack detection and the mobility count.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "movegen.h"
#include "support.h"

namespace {

constexpr int sq(const char* n) { return case_de(n[0] - 'a' + 1, n[1] - '0'); }

std::string nom(int c) { return {static_cast<char>('a' + c % 10 - 1), static_cast<char>('0' + c / 10 - 1)}; }

// "e2e4"; a promotion keeps its code: "e7=160".
std::string texte(const coup& m) {
    return m.arrivee < PREMIER_CODE_PROMOTION ? nom(m.depart) + nom(m.arrivee)
                                              : nom(m.depart) + "=" + std::to_string(m.arrivee);
}

using Coups = std::vector<std::string>;

struct Listes {
    Coups calmes, prises;
};

Listes generer() {
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generer_liste(&calmes, &prises);
    Listes l;
    for (int i = 0; i < calmes.nb_coups; ++i) l.calmes.push_back(texte(calmes.coups[i]));
    for (int i = 0; i < prises.nb_coups; ++i) l.prises.push_back(texte(prises.coups[i]));
    return l;
}

Listes generer(const std::string& position) {
    poser(position);
    return generer();
}

Coups depuis(const Coups& l, const std::string& de) {
    Coups r;
    for (const std::string& m : l)
        if (m.compare(0, 2, de) == 0) r.push_back(m);
    return r;
}

Coups roques(const Coups& l) {
    Coups r;
    for (const std::string& m : l)
        if (m == "e1g1" || m == "e1c1" || m == "e8g8" || m == "e8c8") r.push_back(m);
    return r;
}

std::string fen(const std::string& placement_et_reste) { return "fen " + placement_et_reste + " - 0 1"; }

}  // namespace

TEST(Generation, StartPositionWhite) {
    Listes l = generer("startpos");
    Coups attendu = {"b1c3", "b1a3", "g1h3", "g1f3"};
    for (char f = 'a'; f <= 'h'; ++f) {
        attendu.push_back(std::string{f, '2', f, '3'});
        attendu.push_back(std::string{f, '2', f, '4'});
    }
    EXPECT_EQ(l.calmes, attendu);
    EXPECT_TRUE(l.prises.empty());
}

TEST(Generation, StartPositionBlackAfterE4) {
    Listes l = generer("startpos moves e2e4");
    Coups attendu;
    for (char f = 'a'; f <= 'h'; ++f) {
        attendu.push_back(std::string{f, '7', f, '6'});
        attendu.push_back(std::string{f, '7', f, '5'});
    }
    for (const char* m : {"b8a6", "b8c6", "g8f6", "g8h6"}) attendu.push_back(m);
    EXPECT_EQ(l.calmes, attendu);
    EXPECT_TRUE(l.prises.empty());
}

TEST(Generation, CastlingConditions) {
    struct Cas {
        const char* position;
        Coups roques;
    };
    const Cas cas[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq", {"e1g1", "e1c1"}},
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq", {"e1g1", "e1c1"}},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq", {"e8g8", "e8c8"}},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Kkq", {"e1g1"}},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq", {"e1c1"}},
        {"r3k2r/8/8/8/4r3/8/8/R3K2R w KQ", {}},          // in check
        {"r3k2r/8/8/8/5r2/8/8/R3K2R w KQ", {"e1c1"}},    // f1 attacked
        {"r3k2r/8/8/8/6r1/8/8/R3K2R w KQ", {"e1c1"}},    // g1 attacked
        {"r3k2r/8/8/8/8/8/7n/R3K2R w KQ", {"e1c1"}},     // f1 attacked by a knight
        {"r3k2r/8/8/8/3r4/8/8/R3K2R w KQ", {"e1g1"}},    // d1 attacked
        {"r3k2r/8/8/8/2r5/8/8/R3K2R w KQ", {"e1g1"}},    // c1 attacked
        {"r3k2r/8/8/8/1r6/8/8/R3K2R w KQ", {"e1g1", "e1c1"}},  // b1 may be attacked
        {"r3k2r/8/8/8/8/8/8/RN2K2R w KQ", {"e1g1"}},
        {"r3k2r/8/8/8/8/8/8/Rn2K2R w KQ", {"e1g1"}},
        {"r3k2r/8/8/8/8/8/8/R2QK2R w KQ", {"e1g1"}},
        {"r3k2r/8/8/8/8/8/8/R3K1NR w KQ", {"e1c1"}},
        {"r3k2r/8/8/8/8/8/8/R3KB1R w KQ", {"e1c1"}},
        {"r3k2r/8/8/8/5R2/8/8/4K3 b kq", {"e8c8"}},
        {"r3k2r/8/8/8/1R6/8/8/4K3 b kq", {"e8g8", "e8c8"}},
        {"r3k2r/8/B7/8/8/8/8/4K3 b kq", {"e8g8"}},
        {"r3k2r/4P3/8/8/8/8/8/4K3 b kq", {}},  // the pawn covers d8 and f8
        {"r3k2r/8/8/8/8/8/8/R3K3 w KQkq", {"e1c1"}},  // no rook on h1, no right
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.position);
        Listes l = generer(fen(c.position));
        EXPECT_EQ(roques(l.calmes), c.roques);
        ASSERT_GE(l.calmes.size(), c.roques.size());
        EXPECT_EQ(Coups(l.calmes.begin(), l.calmes.begin() + static_cast<long>(c.roques.size())), c.roques)
            << "castling must head the quiet list";
        EXPECT_TRUE(roques(l.prises).empty());
    }
}

TEST(Generation, PromotionCodesAndOrder) {
    struct Cas {
        const char* position;
        const char* pion;
        Coups calmes, prises;
    };
    const Cas cas[] = {
        {"k7/4P3/8/8/8/8/8/4K3 w", "e7", {"e7=160", "e7=161", "e7=163", "e7=162"}, {}},
        // f8 lies in the +11 direction, looked at before d8
        {"k2r1n2/4P3/8/8/8/8/8/7K w",
         "e7",
         {"e7=160", "e7=161", "e7=163", "e7=162"},
         {"e7=170", "e7=171", "e7=173", "e7=172", "e7=150", "e7=151", "e7=153", "e7=152"}},
        {"k3n3/4P3/8/8/8/8/8/7K w", "e7", {}, {}},
        {"k7/8/8/8/8/8/3p4/2R1R2K b",
         "d2",
         {"d2=155", "d2=156", "d2=158", "d2=157"},
         {"d2=165", "d2=166", "d2=168", "d2=167", "d2=145", "d2=146", "d2=148", "d2=147"}},
        {"4k3/8/8/8/8/8/p7/1N5K b", "a2", {"a2=125", "a2=126", "a2=128", "a2=127"},
         {"a2=135", "a2=136", "a2=138", "a2=137"}},
        {"k7/7P/8/8/8/8/8/4K3 w", "h7", {"h7=190", "h7=191", "h7=193", "h7=192"}, {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.position);
        Listes l = generer(fen(c.position));
        EXPECT_EQ(depuis(l.calmes, c.pion), c.calmes);
        EXPECT_EQ(depuis(l.prises, c.pion), c.prises);
    }
}

TEST(Generation, EnPassantFromTheRecord) {
    struct Cas {
        const char* position;
        Coups prises;
    };
    const Cas cas[] = {
        {"startpos moves e2e4 h7h6 e4e5 d7d5", {"e5d6"}},
        {"startpos moves e2e4 h7h6 e4e5 f7f5", {"e5f6"}},
        {"startpos moves e2e4 h7h6 e4e5 d7d5 a2a3 b7b6", {}},  // one move too late
        {"startpos moves e2e4 d7d6 e4e5 h7h6 a2a3 d6d5", {}},  // a single step is no double step
        {"startpos moves e2e4 h7h6 e4e5 g7g5", {}},            // not beside the pawn
        {"startpos moves c2c4 h7h6 c4c5 h6h5 e2e4 h5h4 e4e5 d7d5", {"c5d6", "e5d6"}},
        {"startpos moves a2a3 d7d5 a3a4 d5d4 e2e4", {"d4e3"}},
        {"startpos moves a2a3 d7d5 a3a4 d5d4 c2c4", {"d4c3"}},
        {"startpos moves a2a3 d7d5 a3a4 d5d4 e2e3 a7a6 e3e4", {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(generer(c.position).prises, c.prises);
    }
}

// A FEN's en passant field stands for the double step while the record is
// empty, and only where the capture is really possible.
TEST(Generation, EnPassantFromTheFen) {
    const std::string w = "fen rnbqkbnr/ppp1ppp1/7p/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq ";
    const std::string b = "fen rnbqkbnr/ppp1pppp/8/8/3pP3/P7/1PPP1PPP/RNBQKBNR b KQkq ";
    struct Cas {
        std::string position;
        Coups prises;
    };
    const Cas cas[] = {
        {w + "d6 0 3", {"e5d6"}},
        {w + "- 0 3", {}},
        {w + "f6 0 3", {}},  // no pawn on f5
        {w + "d3 0 3", {}},  // wrong rank for White
        {w + "z9 0 3", {}},
        {"fen rnbqkbnr/ppppp1p1/7p/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3", {}},  // d7 is not empty
        {"fen rnbqkbnr/ppp1ppp1/3p3p/4P3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3", {"e5d6"}},  // d6 taken the usual way
        {w + "d6 0 3 moves a2a3 b7b6", {}},
        {b + "e3 0 3", {"d4e3"}},
        {b + "e6 0 3", {}},
        {b + "c3 0 3", {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(generer(c.position).prises, c.prises);
    }

    // The listed capture is accepted as a move and removes the pawn.
    poser(w + "d6 0 3 moves e5d6");
    EXPECT_EQ(ECHIQUIER[sq("d6")], 6);
    EXPECT_EQ(ECHIQUIER[sq("d5")], 0);
    EXPECT_EQ(ECHIQUIER[sq("e5")], 0);
}

TEST(Generation, SlidingPiecesWalkTheirLinesInOrder) {
    // Queen a1: +1, +10 then the diagonal +11; the rook on a8 ends the file.
    Listes l = generer(fen("r5k1/8/8/8/8/8/8/Q6K w"));
    EXPECT_EQ(depuis(l.calmes, "a1"),
              (Coups{"a1b1", "a1c1", "a1d1", "a1e1", "a1f1", "a1g1", "a1a2", "a1a3", "a1a4", "a1a5", "a1a6", "a1a7",
                     "a1b2", "a1c3", "a1d4", "a1e5", "a1f6", "a1g7", "a1h8"}));
    EXPECT_EQ(depuis(l.prises, "a1"), (Coups{"a1a8"}));

    l = generer(fen("k7/8/8/3p4/1P1R2n1/8/8/7K w"));
    EXPECT_EQ(depuis(l.calmes, "d4"), (Coups{"d4e4", "d4f4", "d4c4", "d4d3", "d4d2", "d4d1"}));
    EXPECT_EQ(depuis(l.prises, "d4"), (Coups{"d4g4", "d4d5"}));

    l = generer(fen("k7/8/1p3P2/8/3b4/8/1P6/7K b"));
    EXPECT_EQ(depuis(l.calmes, "d4"), (Coups{"d4e5", "d4e3", "d4f2", "d4g1", "d4c5", "d4c3"}));
    EXPECT_EQ(depuis(l.prises, "d4"), (Coups{"d4f6", "d4b2"}));

    // Knight and king orders; an own piece or the edge gives nothing.
    l = generer(fen("k7/8/8/8/4p3/8/8/NR5K w"));
    EXPECT_EQ(depuis(l.calmes, "a1"), (Coups{"a1b3", "a1c2"}));
    l = generer(fen("k7/8/8/8/8/8/8/7K w"));
    EXPECT_EQ(depuis(l.calmes, "h1"), (Coups{"h1g1", "h1g2", "h1h2"}));
    l = generer(fen("8/8/8/8/4k3/8/8/K7 b"));
    EXPECT_EQ(depuis(l.calmes, "e4"),
              (Coups{"e4f4", "e4f3", "e4e3", "e4d3", "e4d4", "e4d5", "e4e5", "e4f5"}));
}

TEST(Attaque, IsRoiEchec) {
    struct Cas {
        const char* position;
        const char* c;
        int attendu;
    };
    const Cas cas[] = {
        {"k3r3/8/8/8/8/8/8/4K3 w", "e1", 1},
        {"k3r3/8/8/8/4N3/8/8/4K3 w", "e1", 0},
        {"k3r3/8/8/8/4p3/8/8/4K3 w", "e1", 0},
        {"k3r3/8/8/4b3/8/8/8/4K3 w", "e1", 0},  // a bishop blocks a file
        {"k7/8/8/b7/8/8/8/4K3 w", "e1", 1},
        {"k7/8/8/r7/8/8/8/4K3 w", "e1", 0},
        {"k7/8/8/b7/8/2n5/8/4K3 w", "e1", 0},
        {"k7/8/8/b7/8/2p5/8/4K3 w", "e1", 0},
        {"k7/8/8/8/7b/8/8/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/3p4/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/5p2/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/4p3/4K3 w", "e1", 0},
        {"k7/8/8/8/8/5n2/8/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/3q4/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/8/3qK3 w", "e1", 1},
        {"k7/8/8/8/8/8/8/r3K3 w", "e1", 1},
        {"k7/8/8/8/8/8/8/r2NK3 w", "e1", 0},
        {"4k3/8/8/8/8/8/8/4RK2 b", "e8", 1},
        {"4k3/3P4/8/8/8/8/8/4K3 b", "e8", 1},
        {"4k3/4P3/8/8/8/8/8/4K3 b", "e8", 0},
        {"4k3/8/3N4/8/8/8/8/4K3 b", "e8", 1},
        {"8/8/8/8/8/4k3/3P4/K7 b", "e3", 1},
        // Empty squares are judged against the side not to move.
        {"4k3/8/8/8/8/8/3P4/K7 b", "e3", 1},
        {"4k3/8/8/8/8/8/3P4/K7 b", "d3", 0},
        {"4k3/8/8/8/8/8/3P4/K7 w", "e3", 0},
        {"4k3/8/8/8/8/8/3P4/K7 w", "e7", 1},
        {"4k3/8/8/8/8/8/3P4/K7 b", "e7", 0},
        // Any piece but the black king is tested for black attackers.
        {"3bk3/8/8/8/8/8/8/4K3 w", "d8", 1},
        {"4k3/8/8/8/n6R/8/8/4K3 w", "a4", 0},
        {"4k3/8/8/8/N6r/8/8/4K3 w", "a4", 1},
        {"4k3/8/8/8/3q4/8/8/K7 w", "d4", 0},  // the occupant does not attack itself
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.position) + " " + c.c);
        poser(fen(c.position));
        EXPECT_EQ(is_roi_echec(sq(c.c)), c.attendu);
    }
}

#ifndef NDEBUG
TEST(AttaqueDeathTest, RefusesOffBoardCells) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    poser("startpos");
    EXPECT_DEATH(is_roi_echec(20), "");
    EXPECT_DEATH(is_roi_echec(99), "");
}
#endif

TEST(Mobilite, CountsByHand) {
    struct Cas {
        const char* position;
        int blancs, noirs;                    // white to move
        int blancs_inverse, noirs_inverse;    // same board, black to move
    };
    const Cas cas[] = {
        // f1 g1 d1 c1 are occupied: judged for black attackers, and none
        // reaches them; f8 and d8 hold black pieces beside their own king.
        {"startpos", 22, 20, 22, 20},
        {"fen k2r1n2/4P3/8/8/8/8/8/7K w - - 0 1", 6, 17, 6, 17},
        // The empty castling squares are judged against the side not to move,
        // and the kings stand beside them.
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 26, 24, 24, 26},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1", 24, 24, 24, 24},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.position);
        poser(c.position);
        if (TRAIT != 1) inverse_trait();
        EXPECT_EQ(nb_de_coups_possibles(1), c.blancs);
        EXPECT_EQ(nb_de_coups_possibles(-1), c.noirs);
        inverse_trait();
        EXPECT_EQ(nb_de_coups_possibles(1), c.blancs_inverse);
        EXPECT_EQ(nb_de_coups_possibles(-1), c.noirs_inverse);
    }
}

TEST(Mobilite, EnPassantIsCountedOnlyWhenListed) {
    poser("startpos moves e2e4 h7h6 e4e5 d7d5");
    const int avec = nb_de_coups_possibles(1);
    poser("fen rnbqkbnr/ppp1ppp1/7p/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq - 0 3");
    EXPECT_EQ(nb_de_coups_possibles(1), avec - 1);
    poser("fen rnbqkbnr/ppp1ppp1/7p/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3");
    EXPECT_EQ(nb_de_coups_possibles(1), avec);
}

// Without castling rights and promotions, counting and listing follow the
// same rules, for either side and whoever is to move.
TEST(Mobilite, AgreesWithTheGeneratorOnThePerftPositions) {
    std::ifstream f(SOLVANE_TEST_DATA "/perft.epd");
    ASSERT_TRUE(f.is_open());
    std::string ligne;
    int verifiees = 0;
    while (std::getline(f, ligne)) {
        const std::string position = ligne.substr(0, ligne.find(';'));
        if (position.empty()) continue;
        SCOPED_TRACE(position);
        poser("fen " + position);
        if (PETIT_ROQUE_BLANC || GRAND_ROQUE_BLANC || PETIT_ROQUE_NOIR || GRAND_ROQUE_NOIR) continue;
        for (int fois = 0; fois < 2; ++fois) {
            Listes l = generer();
            const bool promotion = std::any_of(l.calmes.begin(), l.calmes.end(), [](auto& m) { return m[2] == '='; }) ||
                                   std::any_of(l.prises.begin(), l.prises.end(), [](auto& m) { return m[2] == '='; });
            if (!promotion) {
                const int trait = TRAIT;
                const int n = nb_de_coups_possibles(trait);
                EXPECT_EQ(n, static_cast<int>(l.calmes.size() + l.prises.size())) << "side " << trait;
                // A FEN en passant field only counts for the side it names.
                if (EN_PASSANT_FEN == 0) {
                    inverse_trait();
                    EXPECT_EQ(nb_de_coups_possibles(trait), n) << "side " << trait << " counted with the other to move";
                    inverse_trait();
                }
                ++verifiees;
            }
            inverse_trait();
        }
    }
    EXPECT_GT(verifiees, 40);
}

TEST(Generation, ManyQueensDoNotOverflowTheLists) {
    // 25 queens around the edge sweep the middle: 261 quiet moves (counted
    // by a separate script) and no capture. The black king hides behind white knights,
    // which do not attack it, so the position is accepted.
    poser(fen("kNQ1QQQQ/NNQ4Q/QQ5Q/3Q3Q/Q6Q/Q6Q/Q6Q/QQQQQQQK w"));
    const int compte = nb_de_coups_possibles(1);
    ASSERT_EQ(compte, 261);
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generer_liste(&calmes, &prises);
    EXPECT_EQ(calmes.nb_coups, MAX_COUPS);
    EXPECT_EQ(prises.nb_coups, 0);
    // What fits is the start of the list, in generation order: a1 first.
    EXPECT_EQ(texte(calmes.coups[0]), "a1b2");
}
