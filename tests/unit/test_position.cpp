// Board set-up, making and taking back moves, castling rights and the
// repetition count kept in the game record.
#include <algorithm>
#include <utility>

#include "support.h"

namespace {

// Plays a move and passes the turn, as the search does.
int jouer(const char* de, const char* a) {
    int r = ajoute_coup_partie(sq(de), sq(a));
    inverse_trait();
    return r;
}

struct Remise {
    ~Remise() {
        PROMOTION = 0;
        etat_par_defaut();
    }
};

}  // namespace

TEST(Plateau, InitEmptyBoardColourAndSide) {
    poser("fen 4k3/8/8/8/8/8/8/R3K3 b Q - 0 1 moves e8d7 a1a7");
    init();
    EXPECT_EQ(TRAIT, -1) << "init keeps the side to move";
    const int rangee[8] = {3, 5, 4, 2, 1, 4, 5, 3};
    for (int c = 0; c < 120; ++c) {
        const int r = c / 10 - 1, f = c % 10 - 1;
        const int attendu = !case_jouable(c) ? 10 : r == 1 ? rangee[f] : r == 2 ? 6 : r == 7 ? -6 : r == 8 ? -rangee[f] : 0;
        EXPECT_EQ(ECHIQUIER[c], attendu) << "cell " << c;
    }
    EXPECT_EQ(std::vector<int>({ROI_BLANC, ROI_NOIR, FIN_LISTE_PARTIE, ECHIQUIERS[0].nb_occurrences}),
              std::vector<int>({25, 95, -1, 1}));
    EXPECT_EQ(roques(), std::vector<int>({1, 1, 1, 1}));
    EXPECT_EQ(cmp_mem(ECHIQUIERS[0].cases, &ECHIQUIER[20], 80), 0);

    EXPECT_EQ(couleur(sq("e1")) * 100 + couleur(sq("h7")) * 10 + couleur(sq("e4")), 100 - 10);
    for (int c : {20, 29, 99}) EXPECT_EQ(couleur(c), 0) << "off-board cell " << c;
    inverse_trait();
    EXPECT_EQ(std::make_pair(TRAIT, ADVERSAIRE), std::make_pair(1, -1));

    poser("fen r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1 moves e1f1");
    const std::vector<int> avant = etat();
    vide_echiquier();
    for (int c = 0; c < 120; ++c) EXPECT_EQ(ECHIQUIER[c], case_jouable(c) ? 0 : 10) << "cell " << c;
    const std::vector<int> apres = etat();
    EXPECT_TRUE(std::equal(avant.begin() + 122, avant.begin() + 129, apres.begin() + 122)) << "kings, rights, record";
}

// Each move is checked right after it is made and once more after take-back,
// which must restore every piece of state exactly.
TEST(Coups, MakeAndTakeBack) {
    struct Cas {
        const char* position;
        int depart, arrivee, promotion;
        std::vector<std::pair<const char*, int>> cases;
        std::vector<int> roques;
        int roi, arrivee_notee, piece_jouee, piece_prise;  // roi: the mover's king square after
    };
    const char* roque = "fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const Cas cas[] = {
        {roque, 25, 27, 0, {{"e1", 0}, {"f1", 3}, {"g1", 1}, {"h1", 0}}, {0, 0, 1, 1}, 27, 27, 1, 0},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", 95, 93, 0, {{"a8", 0}, {"b8", 0}, {"c8", -1}, {"d8", -3}, {"e8", 0}},
         {1, 1, 0, 0}, 93, 93, -1, 0},
        {"startpos moves e2e4 a7a6 e4e5 d7d5", 65, 74, 0, {{"e5", 0}, {"d6", 6}, {"d5", 0}}, {1, 1, 1, 1}, 25, 74, 6, 0},
        {"startpos moves a2a3 d7d5 a3a4 d5d4 e2e4", 54, 45, 0, {{"d4", 0}, {"e3", -6}, {"e4", 0}}, {1, 1, 1, 1}, 95, 45,
         -6, 0},
        {"fen k7/4P3/8/8/8/8/8/4K3 w - - 0 1", 85, 160, 0, {{"e7", 0}, {"e8", 2}}, {0, 0, 0, 0}, 25, 95, 6, 0},
        {"fen k4r2/4P3/8/8/8/8/8/4K3 w - - 0 1", 85, 173, 0, {{"e7", 0}, {"f8", 5}}, {0, 0, 0, 0}, 25, 96, 6, -3},
        // b2 takes the a1 rook and becomes a knight; the rook's right goes with it.
        {"fen 4k3/8/8/8/8/8/1p6/R3K3 b Q - 0 1", 32, 128, 0, {{"b2", 0}, {"a1", -5}}, {0, 0, 0, 0}, 95, 21, -6, 3},
        {"fen 4k3/8/8/8/8/8/3p4/K7 b - - 0 1", 34, 24, -2, {{"d2", 0}, {"d1", -2}}, {0, 0, 0, 0}, 95, 24, -6, 0},
    };
    Remise remise;
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.position) + " " + std::to_string(c.arrivee));
        poser(c.position);
        const std::vector<int> avant = etat();
        PROMOTION = c.promotion;
        EXPECT_EQ(ajoute_coup_partie(c.depart, c.arrivee), 1000);
        PROMOTION = 0;
        for (const auto& [n, v] : c.cases) EXPECT_EQ(ECHIQUIER[sq(n)], v) << n;
        EXPECT_EQ(roques(), c.roques);
        EXPECT_EQ(TRAIT == 1 ? ROI_BLANC : ROI_NOIR, c.roi);
        const coup_partie& p = PARTIE[FIN_LISTE_PARTIE];
        EXPECT_EQ(std::vector<int>({FIN_LISTE_PARTIE, p.depart, p.arrivee, p.piece_jouee, p.piece_prise}),
                  std::vector<int>({avant[128] + 1, c.depart, c.arrivee_notee, c.piece_jouee, c.piece_prise}));
        EXPECT_EQ(is_dernier_coup_une_prise(), c.piece_prise != 0 ? 1 : 0);
        EXPECT_EQ(cmp_mem(ECHIQUIERS[FIN_LISTE_PARTIE + 1].cases, &ECHIQUIER[20], 80), 0);
        retire_coup_partie();
        EXPECT_EQ(etat(), avant);
    }
}

TEST(Coups, CastlingRightsFollowKingsAndCornerRooks) {
    const char* blancs = "fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char* noirs = "fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
    const std::pair<std::string, std::vector<int>> cas[] = {
        {std::string(blancs) + " moves h1h4", {0, 1, 1, 1}},
        {std::string(blancs) + " moves e1f1", {0, 0, 1, 1}},
        {std::string(blancs) + " moves a1a8", {1, 0, 1, 0}},  // the rook taken in its corner
        {std::string(noirs) + " moves a8a5", {1, 1, 1, 0}},
        {std::string(noirs) + " moves h8h1", {0, 1, 0, 1}},
        // A right once lost stays lost when the rook comes home.
        {std::string(blancs) + " moves h1h2 a8a7 h2h1 a7a8", {0, 1, 1, 0}},
        // A FEN right needs its king and rook at home.
        {"fen r3k3/8/8/8/8/8/8/R3K2R w KQkq - 0 1", {1, 1, 0, 1}},
        {"fen r3k2r/8/8/8/8/8/8/R4K1R w KQkq - 0 1", {0, 0, 1, 1}},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1", {1, 0, 0, 1}},
    };
    for (const auto& [position, attendu] : cas) {
        poser(position);
        EXPECT_EQ(roques(), attendu) << position;
    }
}

TEST(Repetition, ThirdOccurrenceIsADraw) {
    Remise remise;
    DRAW = -37;  // a value of its own, so the draw cannot be confused with a default
    poser("startpos");
    const std::vector<int> depart = etat();
    const char* aller_retour[4][2] = {{"g1", "f3"}, {"g8", "f6"}, {"f3", "g1"}, {"f6", "g8"}};
    std::vector<int> resultats;
    for (int tour = 0; tour < 3; ++tour)
        for (auto& m : aller_retour) resultats.push_back(jouer(m[0], m[1]));
    // Each position of the dance comes back every four plies: its third
    // occurrence (plies 8 to 11) is a draw, the fourth (ply 12) is not.
    EXPECT_EQ(resultats, std::vector<int>({1000, 1000, 1000, 1000, 1000, 1000, 1000, -37, -37, -37, -37, 1000}));
    for (int k = 0; k <= 12; ++k) EXPECT_EQ(ECHIQUIERS[k].nb_occurrences, 1 + k / 4) << "snapshot " << k;
    for (int k = 0; k < 12; ++k) {
        inverse_trait();
        retire_coup_partie();
    }
    EXPECT_EQ(etat(), depart);

    // Same placement as after e2e4 e7e5, rights gone: still a repetition.
    poser("startpos moves e2e4 e7e5 e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(ECHIQUIERS[6].nb_occurrences, 2);
    // The rook's three-move round trip brings the start placement back with
    // the other side to move: not the same position.
    poser("fen 7k/8/8/8/8/8/8/R3K3 w - - 0 1 moves a1a2 h8g8 a2a3 g8h8 a3a1");
    EXPECT_EQ(cmp_mem(ECHIQUIERS[5].cases, ECHIQUIERS[0].cases, 80), 0);
    EXPECT_EQ(ECHIQUIERS[5].nb_occurrences, 1);
}
