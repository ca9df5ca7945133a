// Board set-up, making and taking back moves, castling rights and the
// repetition count kept in the game record.
#include <array>
#include <cctype>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "diagnostics.h"
#include "support.h"

namespace {

constexpr int sq(const char* n) { return case_de(n[0] - 'a' + 1, n[1] - '0'); }

// Everything a take-back has to give back.
struct Etat {
    std::array<int, 120> echiquier;
    int trait, adversaire, roi_blanc, roi_noir;
    std::array<int, 4> roques;
    int fin;
    bool operator==(const Etat&) const = default;
};

Etat etat() {
    Etat e;
    std::copy(ECHIQUIER, ECHIQUIER + 120, e.echiquier.begin());
    e.trait = TRAIT;
    e.adversaire = ADVERSAIRE;
    e.roi_blanc = ROI_BLANC;
    e.roi_noir = ROI_NOIR;
    e.roques = {PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR};
    e.fin = FIN_LISTE_PARTIE;
    return e;
}

[[maybe_unused]] void PrintTo(const Etat& e, std::ostream* os) {
    *os << "trait " << e.trait << " kings " << e.roi_blanc << "/" << e.roi_noir << " rights " << e.roques[0]
        << e.roques[1] << e.roques[2] << e.roques[3] << " record end " << e.fin << " board";
    for (int c = 21; c <= 98; ++c)
        if (case_jouable(c) && e.echiquier[c] != 0) *os << ' ' << c << '=' << e.echiquier[c];
}

std::array<int, 4> roques() { return {PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR}; }

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

TEST(Plateau, InitSetsUpTheStartPosition) {
    poser("startpos");
    const char* rangees[8] = {"RNBQKBNR", "PPPPPPPP", "........", "........",
                              "........", "........", "pppppppp", "rnbqkbnr"};
    const std::string lettres = ".KQRBNP";
    for (int c = 0; c < 120; ++c) {
        int attendu = 10;
        if (case_jouable(c)) {
            char l = rangees[c / 10 - 2][c % 10 - 1];
            int code = static_cast<int>(lettres.find(static_cast<char>(std::toupper(l))));
            attendu = std::islower(l) ? -code : code;
        }
        EXPECT_EQ(ECHIQUIER[c], attendu) << "cell " << c;
    }
    EXPECT_EQ(ROI_BLANC, 25);
    EXPECT_EQ(ROI_NOIR, 95);
    EXPECT_EQ(roques(), (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(FIN_LISTE_PARTIE, -1);
    EXPECT_EQ(TRAIT, 1);
    EXPECT_EQ(ADVERSAIRE, -1);
    const echiquier_sauve& s = ECHIQUIERS[0];
    EXPECT_EQ(cmp_mem(s.cases, &ECHIQUIER[20], 80), 0);
    EXPECT_EQ((std::array<int, 4>{s.petit_roque_blanc, s.grand_roque_blanc, s.petit_roque_noir, s.grand_roque_noir}),
              (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(s.nb_occurrences, 1);
}

TEST(Plateau, InitKeepsTheSideToMoveAndResetsAGame) {
    poser("fen 4k3/8/8/8/8/8/8/R3K3 b Q - 0 1 moves e8d7 a1a7");
    const int trait = TRAIT;
    ASSERT_EQ(trait, -1);
    init();
    EXPECT_EQ(TRAIT, trait);
    EXPECT_EQ(FIN_LISTE_PARTIE, -1);
    EXPECT_EQ(ECHIQUIER[sq("h8")], -3);
    EXPECT_EQ(ECHIQUIER[sq("a7")], -6);
    EXPECT_EQ(roques(), (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(ROI_NOIR, 95);
    EXPECT_EQ(cmp_mem(ECHIQUIERS[0].cases, &ECHIQUIER[20], 80), 0);
}

TEST(Plateau, EmptyBoardTouchesOnlyTheCells) {
    poser("fen r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1 moves e1f1");
    const Etat avant = etat();
    vide_echiquier();
    const Etat apres = etat();
    for (int c = 0; c < 120; ++c) EXPECT_EQ(ECHIQUIER[c], case_jouable(c) ? 0 : 10) << "cell " << c;
    EXPECT_EQ(apres.roi_blanc, avant.roi_blanc);
    EXPECT_EQ(apres.roi_noir, avant.roi_noir);
    EXPECT_EQ(apres.roques, avant.roques);
    EXPECT_EQ(apres.fin, avant.fin);
    poser("startpos");
}

TEST(Plateau, CouleurAndInverseTrait) {
    poser("startpos");
    for (int c : {sq("e1"), sq("a2"), sq("h1")}) EXPECT_EQ(couleur(c), 1) << c;
    for (int c : {sq("e8"), sq("h7"), sq("a8")}) EXPECT_EQ(couleur(c), -1) << c;
    for (int c : {sq("e4"), sq("a3"), sq("h6")}) EXPECT_EQ(couleur(c), 0) << c;
    for (int c : {0, 20, 29, 30, 99, 100, 119}) EXPECT_EQ(couleur(c), 0) << "off-board cell " << c;

    inverse_trait();
    EXPECT_EQ(TRAIT, -1);
    EXPECT_EQ(ADVERSAIRE, 1);
    inverse_trait();
    EXPECT_EQ(TRAIT, 1);
    EXPECT_EQ(ADVERSAIRE, -1);
}

// Each move is checked right after it is made and once more after take-back,
// which must restore every piece of state exactly.
TEST(Coups, MakeAndTakeBack) {
    struct Cas {
        const char* nom;
        const char* position;
        int depart, arrivee, promotion;
        std::vector<std::pair<const char*, int>> cases;
        std::array<int, 4> roques;
        int roi_blanc, roi_noir;
        int arrivee_notee, piece_jouee, piece_prise;
    };
    const char* roque = "fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char* roque_noir = "fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
    const std::vector<Cas> cas = {
        {"white king side", roque, 25, 27, 0, {{"e1", 0}, {"f1", 3}, {"g1", 1}, {"h1", 0}}, {0, 0, 1, 1}, 27, 95, 27, 1, 0},
        {"white queen side", roque, 25, 23, 0, {{"a1", 0}, {"b1", 0}, {"c1", 1}, {"d1", 3}, {"e1", 0}}, {0, 0, 1, 1},
         23, 95, 23, 1, 0},
        {"black king side", roque_noir, 95, 97, 0, {{"e8", 0}, {"f8", -3}, {"g8", -1}, {"h8", 0}}, {1, 1, 0, 0}, 25,
         97, 97, -1, 0},
        {"black queen side", roque_noir, 95, 93, 0, {{"a8", 0}, {"b8", 0}, {"c8", -1}, {"d8", -3}, {"e8", 0}},
         {1, 1, 0, 0}, 25, 93, 93, -1, 0},
        {"white en passant", "startpos moves e2e4 a7a6 e4e5 d7d5", 65, 74, 0, {{"e5", 0}, {"d6", 6}, {"d5", 0}},
         {1, 1, 1, 1}, 25, 95, 74, 6, 0},
        {"black en passant", "startpos moves a2a3 d7d5 a3a4 d5d4 e2e4", 54, 45, 0, {{"d4", 0}, {"e3", -6}, {"e4", 0}},
         {1, 1, 1, 1}, 25, 95, 45, -6, 0},
        {"queen by code 160", "fen k7/4P3/8/8/8/8/8/4K3 w - - 0 1", 85, 160, 0, {{"e7", 0}, {"e8", 2}}, {0, 0, 0, 0},
         25, 91, 95, 6, 0},
        {"bishop by code 122", "fen 7k/P7/8/8/8/8/8/4K3 w - - 0 1", 81, 122, 0, {{"a7", 0}, {"a8", 4}}, {0, 0, 0, 0},
         25, 98, 91, 6, 0},
        {"knight takes f8, code 173", "fen k4r2/4P3/8/8/8/8/8/4K3 w - - 0 1", 85, 173, 0, {{"e7", 0}, {"f8", 5}},
         {0, 0, 0, 0}, 25, 91, 96, 6, -3},
        // b2 takes the a1 rook and becomes a knight; the rook's right goes with it.
        {"black knight by code 128", "fen 4k3/8/8/8/8/8/1p6/R3K3 b Q - 0 1", 32, 128, 0, {{"b2", 0}, {"a1", -5}},
         {0, 0, 0, 0}, 25, 95, 21, -6, 3},
        {"black queen by code 195", "fen 4k3/8/8/8/8/8/7p/K7 b - - 0 1", 38, 195, 0, {{"h2", 0}, {"h1", -2}},
         {0, 0, 0, 0}, 21, 95, 28, -6, 0},
        {"black queen by PROMOTION", "fen 4k3/8/8/8/8/8/3p4/K7 b - - 0 1", 34, 24, -2, {{"d2", 0}, {"d1", -2}},
         {0, 0, 0, 0}, 21, 95, 24, -6, 0},
        {"white rook by PROMOTION", "fen 1n5k/P7/8/8/8/8/8/4K3 w - - 0 1", 81, 92, 3, {{"a7", 0}, {"b8", 3}},
         {0, 0, 0, 0}, 25, 98, 92, 6, -5},
    };
    Remise remise;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        poser(c.position);
        const Etat avant = etat();
        PROMOTION = c.promotion;
        EXPECT_EQ(ajoute_coup_partie(c.depart, c.arrivee), 1000);
        PROMOTION = 0;
        for (const auto& [n, v] : c.cases) EXPECT_EQ(ECHIQUIER[sq(n)], v) << n;
        EXPECT_EQ(roques(), c.roques);
        EXPECT_EQ(ROI_BLANC, c.roi_blanc);
        EXPECT_EQ(ROI_NOIR, c.roi_noir);
        ASSERT_EQ(FIN_LISTE_PARTIE, avant.fin + 1);
        const coup_partie& p = PARTIE[FIN_LISTE_PARTIE];
        EXPECT_EQ(p.depart, c.depart);
        EXPECT_EQ(p.arrivee, c.arrivee_notee);
        EXPECT_EQ(p.piece_jouee, c.piece_jouee);
        EXPECT_EQ(p.piece_prise, c.piece_prise);
        EXPECT_EQ(is_dernier_coup_une_prise(), c.piece_prise != 0 ? 1 : 0);
        EXPECT_EQ(cmp_mem(ECHIQUIERS[FIN_LISTE_PARTIE + 1].cases, &ECHIQUIER[20], 80), 0);
        EXPECT_EQ(ECHIQUIERS[FIN_LISTE_PARTIE + 1].petit_roque_noir, c.roques[2]);
        retire_coup_partie();
        EXPECT_EQ(etat(), avant);
    }
}

TEST(Coups, CastlingRightsFollowKingsAndCornerRooks) {
    struct Cas {
        const char* position;
        const char* de;
        const char* a;
        std::array<int, 4> roques;
    };
    const char* blancs = "fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char* noirs = "fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
    const Cas cas[] = {
        {blancs, "h1", "h4", {0, 1, 1, 1}},
        {blancs, "a1", "a4", {1, 0, 1, 1}},
        {blancs, "e1", "f1", {0, 0, 1, 1}},
        {blancs, "a1", "a8", {1, 0, 1, 0}},  // the rook taken in its corner
        {noirs, "h8", "h5", {1, 1, 0, 1}},
        {noirs, "a8", "a5", {1, 1, 1, 0}},
        {noirs, "e8", "d8", {1, 1, 0, 0}},
        {noirs, "h8", "h1", {0, 1, 0, 1}},
        {"fen r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1", "g2", "a8", {1, 1, 1, 0}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.position) + " " + c.de + c.a);
        poser(c.position);
        ajoute_coup_partie(sq(c.de), sq(c.a));
        EXPECT_EQ(roques(), c.roques);
    }

    // A right once lost stays lost when the rook comes home.
    poser("fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves h1h2 a8a7 h2h1 a7a8");
    EXPECT_EQ(roques(), (std::array<int, 4>{0, 1, 1, 0}));

    poser("startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1");
    EXPECT_EQ(ECHIQUIER[sq("g1")], 1);
    EXPECT_EQ(ECHIQUIER[sq("f1")], 3);
    EXPECT_EQ(ECHIQUIER[sq("h1")], 0);
    EXPECT_EQ(ROI_BLANC, 27);
    EXPECT_EQ(roques(), (std::array<int, 4>{0, 0, 1, 1}));
}

TEST(Coups, FenDropsRightsWithoutKingOrRookAtHome) {
    const std::pair<const char*, std::array<int, 4>> cas[] = {
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", {1, 1, 1, 1}},
        {"fen r3k3/8/8/8/8/8/8/R3K2R w KQkq - 0 1", {1, 1, 0, 1}},
        {"fen 4k2r/8/8/8/8/8/8/1R2K2R w KQkq - 0 1", {1, 0, 1, 0}},
        {"fen r3k2r/8/8/8/8/8/8/R4K1R w KQkq - 0 1", {0, 0, 1, 1}},
        {"fen r2k3r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", {1, 1, 0, 0}},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1", {1, 0, 0, 1}},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1", {0, 0, 0, 0}},
    };
    for (const auto& [fen, attendu] : cas) {
        SCOPED_TRACE(fen);
        poser(fen);
        EXPECT_EQ(roques(), attendu);
        const echiquier_sauve& s = ECHIQUIERS[0];
        EXPECT_EQ((std::array<int, 4>{s.petit_roque_blanc, s.grand_roque_blanc, s.petit_roque_noir, s.grand_roque_noir}),
                  attendu);
    }
}

TEST(Repetition, KnightsDancingTwiceGiveDrawOnTheThirdOccurrence) {
    Remise remise;
    DRAW = -37;  // a value of its own, so the draw cannot be confused with a default
    poser("startpos");
    const Etat depart = etat();
    const char* aller_retour[4][2] = {{"g1", "f3"}, {"g8", "f6"}, {"f3", "g1"}, {"f6", "g8"}};
    std::vector<int> resultats;
    for (int tour = 0; tour < 3; ++tour)
        for (auto& m : aller_retour) resultats.push_back(jouer(m[0], m[1]));
    // Each position of the dance comes back every four plies: its third
    // occurrence (plies 8 to 11) is a draw, the fourth (ply 12) is not.
    const std::vector<int> attendus = {1000, 1000, 1000, 1000, 1000, 1000, 1000, -37, -37, -37, -37, 1000};
    EXPECT_EQ(resultats, attendus);
    const int occurrences[13] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4};
    for (int k = 0; k <= 12; ++k) EXPECT_EQ(ECHIQUIERS[k].nb_occurrences, occurrences[k]) << "snapshot " << k;

    for (int k = 0; k < 12; ++k) {
        inverse_trait();
        retire_coup_partie();
    }
    EXPECT_EQ(etat(), depart);
}

TEST(Repetition, PositionTwiceInTheGameIsADrawWhenReachedAgain) {
    Remise remise;
    DRAW = 55;
    // The start position stands at snapshots 0 and 4; f6g8 brings it back a third time.
    poser("startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1");
    EXPECT_EQ(FIN_LISTE_PARTIE, 6);
    EXPECT_EQ(jouer("f6", "g8"), 55);
    inverse_trait();
    retire_coup_partie();
    // Another move instead does not repeat anything.
    EXPECT_EQ(jouer("b8", "c6"), 1000);
}

TEST(Repetition, CastlingRightsAreNotComparedButTheSideToMoveIs) {
    // Same placement as after e2e4 e7e5, rights gone: still a repetition.
    poser("startpos moves e2e4 e7e5 e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(cmp_mem(ECHIQUIERS[6].cases, ECHIQUIERS[2].cases, 80), 0);
    EXPECT_EQ(roques(), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(ECHIQUIERS[2].nb_occurrences, 1);
    EXPECT_EQ(ECHIQUIERS[6].nb_occurrences, 2);

    // The rook's three-move round trip brings the start placement back with
    // the other side to move: not the same position.
    poser("fen 7k/8/8/8/8/8/8/R3K3 w - - 0 1 moves a1a2 h8g8 a2a3 g8h8 a3a1");
    EXPECT_EQ(cmp_mem(ECHIQUIERS[5].cases, ECHIQUIERS[0].cases, 80), 0);
    EXPECT_EQ(ECHIQUIERS[5].nb_occurrences, 1);
}

TEST(Coups, IsDernierCoupUnePrise) {
    poser("startpos");
    EXPECT_EQ(is_dernier_coup_une_prise(), 0);
    poser("startpos moves e2e4 d7d5");
    EXPECT_EQ(is_dernier_coup_une_prise(), 0);
    jouer("e4", "d5");
    EXPECT_EQ(is_dernier_coup_une_prise(), 1);
    jouer("d8", "d5");
    EXPECT_EQ(is_dernier_coup_une_prise(), 1);
    jouer("g1", "f3");
    EXPECT_EQ(is_dernier_coup_une_prise(), 0);
    inverse_trait();
    retire_coup_partie();
    EXPECT_EQ(is_dernier_coup_une_prise(), 1);
}

TEST(Coups, CmpMem) {
    const int a[5] = {1, 2, 3, 4, 5};
    const int b[5] = {1, 2, 3, 4, 6};
    const int c[5] = {0, 2, 3, 4, 5};
    EXPECT_EQ(cmp_mem(a, a, 5), 0);
    EXPECT_EQ(cmp_mem(a, b, 5), -1);
    EXPECT_EQ(cmp_mem(a, c, 5), -1);
    EXPECT_EQ(cmp_mem(a, b, 4), 0);  // the difference lies past the count
    EXPECT_EQ(cmp_mem(a, c, 0), 0);
}
