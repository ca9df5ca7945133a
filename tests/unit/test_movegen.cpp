// Move lists in search order, attack detection and the mobility count.
#include <algorithm>
#include <tuple>

#include "bitboard.h"
#include "movegen.h"
#include "support.h"

namespace {

std::string nom(int c) { return {static_cast<char>('a' + c % 10 - 1), static_cast<char>('0' + c / 10 - 1)}; }

// "e2e4"; a promotion keeps its code: "e7=160".
std::string texte(const coup& m) {
    return nom(m.depart) + (m.arrivee < PREMIER_CODE_PROMOTION ? nom(m.arrivee) : "=" + std::to_string(m.arrivee));
}

using Coups = std::vector<std::string>;

// The quiet list, then "|", then the captures, keeping only the moves that
// start with the prefix.
Coups generer(const std::string& position, const std::string& prefixe = "") {
    if (!position.empty()) poser(position);
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generer_liste(&calmes, &prises);
    Coups l;
    for (const liste_coups* liste : {&calmes, &prises}) {
        for (int i = 0; i < liste->nb_coups; ++i)
            if (texte(liste->coups[i]).starts_with(prefixe)) l.push_back(texte(liste->coups[i]));
        if (liste == &calmes) l.push_back("|");
    }
    return l;
}

std::string fen(const std::string& placement_et_trait) { return "fen " + placement_et_trait + " - 0 1"; }

}  // namespace

TEST(Generation, OrderOfEveryKindOfMove) {
    struct Cas {
        std::string position, prefixe;
        Coups attendu;
    };
    Coups blancs = {"b1c3", "b1a3", "g1h3", "g1f3"}, noirs;
    for (char f = 'a'; f <= 'h'; ++f) {
        for (char r : {'3', '4'}) blancs.push_back(std::string{f, '2', f, r});
        for (char r : {'6', '5'}) noirs.push_back(std::string{f, '7', f, r});
    }
    for (const char* m : {"b8a6", "b8c6", "g8f6", "g8h6"}) noirs.push_back(m);
    blancs.push_back("|");
    noirs.push_back("|");
    const Cas cas[] = {
        {"startpos", "", blancs},
        {"startpos moves e2e4", "", noirs},  // rank 7 is scanned before rank 8
        // Queen a1: +1, +10, then the diagonal; the rook on a8 ends the file.
        {fen("r5k1/8/8/8/8/8/8/Q6K w"), "a1",
         {"a1b1", "a1c1", "a1d1", "a1e1", "a1f1", "a1g1", "a1a2", "a1a3", "a1a4", "a1a5", "a1a6", "a1a7", "a1b2", "a1c3",
          "a1d4", "a1e5", "a1f6", "a1g7", "a1h8", "|", "a1a8"}},
        {fen("k7/8/8/3p4/1P1R2n1/8/8/7K w"), "d4", {"d4e4", "d4f4", "d4c4", "d4d3", "d4d2", "d4d1", "|", "d4g4", "d4d5"}},
        {fen("k7/8/1p3P2/8/3b4/8/1P6/7K b"), "d4", {"d4e5", "d4e3", "d4f2", "d4g1", "d4c5", "d4c3", "|", "d4f6", "d4b2"}},
        {fen("k7/8/8/8/8/1p6/8/N6K w"), "a1", {"a1c2", "|", "a1b3"}},
        {fen("8/8/8/8/4k3/8/8/K7 b"), "e4", {"e4f4", "e4f3", "e4e3", "e4d3", "e4d4", "e4d5", "e4e5", "e4f5", "|"}},
        // Promotions: queen, rook, knight, bishop; f8 (+11) before d8.
        {fen("k2r1n2/4P3/8/8/8/8/8/7K w"), "e7",
         {"e7=160", "e7=161", "e7=163", "e7=162", "|", "e7=170", "e7=171", "e7=173", "e7=172", "e7=150", "e7=151",
          "e7=153", "e7=152"}},
        {fen("k7/8/8/8/8/8/3p4/2R1R2K b"), "d2",
         {"d2=155", "d2=156", "d2=158", "d2=157", "|", "d2=165", "d2=166", "d2=168", "d2=167", "d2=145", "d2=146",
          "d2=148", "d2=147"}},
        {fen("k3n3/4P3/8/8/8/8/8/7K w"), "e7", {"|"}},
    };
    for (const Cas& c : cas) EXPECT_EQ(generer(c.position, c.prefixe), c.attendu) << c.position;
}

TEST(Generation, CastlingConditions) {
    const std::pair<const char*, Coups> cas[] = {
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq", {"e1g1", "e1c1"}},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq", {"e8g8", "e8c8"}},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Kkq", {"e1g1"}},
        {"r3k2r/8/8/8/4r3/8/8/R3K2R w KQ", {}},          // in check
        {"r3k2r/8/8/8/8/8/7n/R3K2R w KQ", {"e1c1"}},     // f1 attacked by a knight
        {"r3k2r/8/8/8/6r1/8/8/R3K2R w KQ", {"e1c1"}},    // g1 attacked
        {"r3k2r/8/8/8/2r5/8/8/R3K2R w KQ", {"e1g1"}},    // c1 attacked
        {"r3k2r/8/8/8/1r6/8/8/R3K2R w KQ", {"e1g1", "e1c1"}},  // b1 may be attacked
        {"r3k2r/8/8/8/8/8/8/RN2K2R w KQ", {"e1g1"}},
        {"r3k2r/8/8/8/8/8/8/R3KB1R w KQ", {"e1c1"}},
        {"r3k2r/4P3/8/8/8/8/8/4K3 b kq", {}},  // the pawn covers d8 and f8
    };
    for (const auto& [position, roques] : cas) {
        Coups l = generer(fen(position));
        Coups attendu = roques;
        for (const std::string& m : l)
            if (m != "e1g1" && m != "e1c1" && m != "e8g8" && m != "e8c8") attendu.push_back(m);
        EXPECT_EQ(l, attendu) << position << ": castling heads the quiet list";
    }
}

// En passant from the record's last move or, while it is empty, from a FEN
// field that names a capture really possible.
TEST(Generation, EnPassant) {
    const std::string w = "fen rnbqkbnr/ppp1ppp1/7p/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq ";
    const std::string b = "fen rnbqkbnr/ppp1pppp/8/8/3pP3/P7/1PPP1PPP/RNBQKBNR b KQkq ";
    const std::pair<std::string, Coups> cas[] = {
        {"startpos moves e2e4 h7h6 e4e5 d7d5", {"e5d6"}},
        {"startpos moves e2e4 h7h6 e4e5 d7d5 a2a3 b7b6", {}},  // one move too late
        {"startpos moves e2e4 d7d6 e4e5 h7h6 a2a3 d6d5", {}},  // a single step is no double step
        {"startpos moves e2e4 h7h6 e4e5 g7g5", {}},            // not beside the pawn
        {"startpos moves c2c4 h7h6 c4c5 h6h5 e2e4 h5h4 e4e5 d7d5", {"c5d6", "e5d6"}},
        {w + "d6 0 3", {"e5d6"}},
        {w + "f6 0 3", {}},  // no pawn on f5
        {"fen rnbqkbnr/ppppp1p1/7p/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3", {}},  // d7 is not empty
        {w + "d6 0 3 moves a2a3 b7b6", {}},
        {b + "e3 0 3", {"d4e3"}},
        {b + "e6 0 3", {}},
    };
    for (const auto& [position, prises] : cas) {
        Coups l = generer(position);
        EXPECT_EQ(Coups(std::find(l.begin(), l.end(), "|") + 1, l.end()), prises) << position;
    }
}

TEST(Attaque, IsRoiEchec) {
    const std::tuple<const char*, const char*, int> cas[] = {
        {"k3r3/8/8/8/8/8/8/4K3 w", "e1", 1},
        {"k3r3/8/8/4b3/8/8/8/4K3 w", "e1", 0},  // a bishop blocks a file
        {"k7/8/8/b7/8/8/8/4K3 w", "e1", 1},
        {"k7/8/8/r7/8/8/8/4K3 w", "e1", 0},
        {"k7/8/8/8/8/8/3p4/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/4p3/4K3 w", "e1", 0},
        {"k7/8/8/8/8/5n2/8/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/3q4/4K3 w", "e1", 1},
        {"k7/8/8/8/8/8/8/r2NK3 w", "e1", 0},
        {"4k3/3P4/8/8/8/8/8/4K3 b", "e8", 1},
        {"4k3/4P3/8/8/8/8/8/4K3 b", "e8", 0},
        {"8/8/8/8/8/4k3/3P4/K7 b", "e3", 1},
        // Empty squares are judged against the side not to move.
        {"4k3/8/8/8/8/8/3P4/K7 b", "e3", 1},
        {"4k3/8/8/8/8/8/3P4/K7 b", "d3", 0},
        {"4k3/8/8/8/8/8/3P4/K7 w", "e3", 0},
        {"4k3/8/8/8/8/8/3P4/K7 w", "e7", 1},
        // Any piece but the black king is tested for black attackers.
        {"3bk3/8/8/8/8/8/8/4K3 w", "d8", 1},
        {"4k3/8/8/8/n6R/8/8/4K3 w", "a4", 0},
        {"4k3/8/8/8/N6r/8/8/4K3 w", "a4", 1},
        {"4k3/8/8/8/3q4/8/8/K7 w", "d4", 0},  // the occupant does not attack itself
    };
    for (const auto& [position, c, attendu] : cas) {
        poser(fen(position));
        EXPECT_EQ(is_roi_echec(sq(c)), attendu) << position << " " << c;
    }
}

TEST(Mobilite, CountsByHand) {
    struct Cas {
        const char* position;
        int blancs, noirs, blancs_inverse, noirs_inverse;  // white to move, then black
    };
    const Cas cas[] = {
        // f1 g1 d1 c1 are occupied: judged for black attackers, and none
        // reaches them; f8 and d8 hold black pieces beside their own king.
        {"startpos", 22, 20, 22, 20},
        {"fen k2r1n2/4P3/8/8/8/8/8/7K w - - 0 1", 6, 17, 6, 17},
        // The empty castling squares are judged against the side not to move.
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 26, 24, 24, 26},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1", 24, 24, 24, 24},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        if (TRAIT != 1) inverse_trait();
        EXPECT_EQ(std::vector<int>({nb_de_coups_possibles(1), nb_de_coups_possibles(-1)}),
                  std::vector<int>({c.blancs, c.noirs}))
            << c.position;
        inverse_trait();
        EXPECT_EQ(std::vector<int>({nb_de_coups_possibles(1), nb_de_coups_possibles(-1)}),
                  std::vector<int>({c.blancs_inverse, c.noirs_inverse}))
            << c.position << ", black to move";
    }
    // En passant counts only where the generator lists it.
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
    int verifiees = 0;
    for (const std::string& ligne : positions_perft()) {
        poser(ligne);
        if (roques() != std::vector<int>({0, 0, 0, 0})) continue;
        for (int fois = 0; fois < 2; ++fois, inverse_trait()) {
            const Coups l = generer("");
            if (std::any_of(l.begin(), l.end(), [](auto& m) { return m[2] == '='; })) continue;
            const int trait = TRAIT, n = nb_de_coups_possibles(trait);
            EXPECT_EQ(n, static_cast<int>(l.size()) - 1) << ligne << " side " << trait;
            // A FEN en passant field only counts for the side it names.
            if (EN_PASSANT_FEN == 0) {
                inverse_trait();
                EXPECT_EQ(nb_de_coups_possibles(trait), n) << ligne << " side " << trait << " not to move";
                inverse_trait();
            }
            ++verifiees;
        }
    }
    EXPECT_GT(verifiees, 40);
}

TEST(Generation, ManyQueensDoNotOverflowTheLists) {
    // 25 queens sweep the middle: 261 quiet moves (counted by a separate
    // script), more than a list holds. The black king hides behind knights.
    poser(fen("kNQ1QQQQ/NNQ4Q/QQ5Q/3Q3Q/Q6Q/Q6Q/Q6Q/QQQQQQQK w"));
    ASSERT_EQ(nb_de_coups_possibles(1), 261);
    const Coups l = generer("");
    ASSERT_EQ(l.size(), MAX_COUPS + 1u);
    EXPECT_EQ(l[0], "a1b2");  // what fits is the start of the list
    EXPECT_EQ(l.back(), "|");
}

namespace {

std::vector<std::string> textes(const liste_coups& l) {
    std::vector<std::string> v;
    for (int i = 0; i < l.nb_coups; ++i) v.push_back(texte(l.coups[i]));
    return v;
}

}  // namespace

// The search lists captures alone and quiet moves in batches, and makes only
// the moves the legality shortcut points at: end to end the lists must be the
// full ones, and every move let through untested must be legal once made.
TEST(Generation, ListsApartAndLegalityShortcutAgreeOnThePerftPositions) {
    const std::vector<std::string> positions = positions_perft();
    for (const std::string& ligne : positions) {
        poser(ligne);
        liste_coups calmes, prises, seules;
        init_liste(&calmes);
        init_liste(&prises);
        init_liste(&seules);
        generer_liste(&calmes, &prises);
        generer_prises(&seules);
        EXPECT_EQ(textes(seules), textes(prises)) << ligne;
        std::vector<std::string> par_lots;
        for (uint64_t reste = CAMP_BB[TRAIT == BLANC ? 0 : 1]; reste != 0;) {
            liste_coups lot;
            init_liste(&lot);
            generer_calmes(&lot, &reste);
            if (reste != 0) {
                EXPECT_GE(lot.nb_coups, LOT_DE_CALMES) << ligne;
            }
            for (const std::string& m : textes(lot)) par_lots.push_back(m);
        }
        EXPECT_EQ(par_lots, textes(calmes)) << ligne;

        const legalite legal = preparer_legalite();
        for (const liste_coups* l : {&calmes, &prises})
            for (int i = 0; i < l->nb_coups; ++i) {
                const coup m = l->coups[i];
                const bool illegal = !legal_une_fois_joue(m);
                if (!coup_a_tester(legal, m)) {
                    EXPECT_FALSE(illegal) << ligne << " " << texte(m);
                } else if (!roque_ou_en_passant(m)) {
                    EXPECT_EQ(roi_attaque_apres(m), illegal) << ligne << " " << texte(m);
                }
            }
    }
    EXPECT_GE(positions.size(), 20u);
}
