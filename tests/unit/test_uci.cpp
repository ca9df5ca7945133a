// The UCI front end without its threads: the word reader and the "setoption",
// "position", "go" and "ponderhit" handlers.
#include <climits>
#include <tuple>

#include "search.h"
#include "support.h"

namespace {

// Reads the text word by word and dispatches each command word, as the input
// thread does, until "quit" or the end of the text; returns what was printed.
std::string envoyer(const std::string& texte) {
    CaptureSortie capture;
    lecture_depuis_texte(texte);
    while (FIN == 0) {
        lire_mot();
        uci_main();
        if (FIN_ENTREE == 1) break;
    }
    return capture.texte;
}

std::vector<int> options() { return {PION, CAVALIER, FOU, TOUR, DAME, MOBILITY, DRAW, PROMOTEINUPPERCASE}; }

class Uci : public ::testing::Test {
protected:
    void SetUp() override {
        remettre();
        poser("startpos");
    }
    void TearDown() override { remettre(); }
    static void remettre() {
        etat_par_defaut();
        FIN = ISREADY = LANCE_HORLOGE = PROFONDEUR_FIXE = 0;
    }
};

TEST_F(Uci, Reader) {
    lecture_depuis_texte("go  wtime\t5\r\n\n" + std::string(300, 'x') + " suite\nquit");
    lire_mot();
    EXPECT_EQ(extract_param(), 0);  // the empty word between the two blanks
    EXPECT_EQ(extract_param(), 7);
    EXPECT_STREQ(COMMANDE, "wtime\t5");  // a tab is part of a word, the carriage return is not
    EXPECT_EQ(extract_param(), 0);  // the end of the line, reported once
    lire_mot();  // the empty line
    EXPECT_STREQ(COMMANDE, "");
    lire_mot();  // cut to the buffer, the next word intact
    EXPECT_EQ(std::string(COMMANDE), std::string(255, 'x'));
    EXPECT_EQ(extract_param(), 5);
    // The end of input ends the last word and its line, and reads stay empty.
    lire_mot();
    EXPECT_STREQ(COMMANDE, "quit");
    EXPECT_EQ(FIN_ENTREE + extract_param() + extract_param(), 1);
}

TEST_F(Uci, Setoption) {
    const std::tuple<const char*, int*, int> cas[] = {
        {"name pAwN value 77", &PION, 77},
        {"name KNIGHT value 310", &CAVALIER, 310},
        {"name Rook value 10 value 20", &TOUR, 20},  // each value applies again
        {"name Rook extra value 30", &TOUR, 30},     // only the first word is the name
        {"name Queen value 5000", &DAME, 5000},      // above the announced maximum
        {"name Mobility value -3", &MOBILITY, -3},
        {"name Draw value abc", &DRAW, 0},
        {"name Promote_in_uppercase value false", &PROMOTEINUPPERCASE, 0},
        {"name Promote_in_uppercase value tRUE", &PROMOTEINUPPERCASE, 1},
        {"name promote_in_uppercase value yes", &PROMOTEINUPPERCASE, 0},
        {"name Pawn value 5 isready", &PION, 5},  // the rest of the line is setoption's
    };
    for (const auto& [ligne, option, attendu] : cas) {
        EXPECT_EQ(envoyer(std::string("setoption ") + ligne + "\n"), "") << ligne;
        EXPECT_EQ(*option, attendu) << ligne;
    }
    EXPECT_EQ(ISREADY, 0);

    etat_par_defaut();
    PROMOTEINUPPERCASE = 0;  // a stray "true" must not switch it on
    const std::vector<int> avant = options();
    for (const char* ligne : {"name Mobility", "name Mobility value", "value 5 name Pawn", "NAME Pawn VALUE 5",
                              "name Pawnn value 5", "name Solvane 1.8.5 compile le Aug 13 2003 12:07:02 value true"}) {
        envoyer(std::string("setoption ") + ligne + "\n");
        EXPECT_EQ(options(), avant) << ligne;
    }
    for (auto [texte, n] : std::vector<std::pair<const char*, int>>{
             {"-17", -17}, {"+5", 5}, {"2147483648", INT_MAX}, {"-99999999999", INT_MIN}, {"", 0}})
        EXPECT_EQ(atoi_borne(texte), n) << texte;
}

TEST_F(Uci, PositionCommand) {
    EXPECT_EQ(envoyer("position startpos moves e2e4 e7e5\n"), "");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[55], ECHIQUIER[65], ECHIQUIER[35], ECHIQUIER[85], FIN_LISTE_PARTIE, TRAIT}),
              std::vector<int>({6, -6, 0, 0, 1, BLANC}));
    EXPECT_EQ(cmp_mem(ECHIQUIERS[2].cases, &ECHIQUIER[20], 80), 0);
    envoyer("position moves g1f3\n");  // on top of the game there is
    EXPECT_EQ(std::vector<int>({FIN_LISTE_PARTIE, ECHIQUIER[46], TRAIT, ADVERSAIRE}),
              std::vector<int>({2, 5, NOIR, BLANC}));
    // Two blanks end the command; "moves" and "e2e4" reach the dispatcher.
    EXPECT_EQ(envoyer("position startpos  moves e2e4\n"), "");
    EXPECT_EQ(FIN_LISTE_PARTIE + ECHIQUIER[35], -1 + 6);

    envoyer("position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b Qk e3 0 1\n");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[55], ECHIQUIER[35], TRAIT, ADVERSAIRE, FIN_LISTE_PARTIE, EN_PASSANT_FEN}),
              std::vector<int>({6, 0, NOIR, BLANC, -1, 45}));
    EXPECT_EQ(roques(), std::vector<int>({0, 1, 1, 0}));
    // Eight characters on every rank: a 71-character placement.
    EXPECT_EQ(envoyer("position fen r1b1k1n1/1p1p1p1p/p1p1p1p1/1n1b1r1q/Q1R1B1N1/1P1P1P1P/P1P1P1P1/1N1B1K1R w - - 0 1\n"),
              "");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[91], ECHIQUIER[97], ECHIQUIER[68], ECHIQUIER[55], ECHIQUIER[28], ROI_BLANC}),
              std::vector<int>({-3, -5, -2, 4, 3, 26}));
    // A FEN cut after its castling field or its placement: the moves still
    // apply, and a missing side keeps the one there was.
    for (const char* ligne : {"position fen 4k3/8/8/8/8/8/4P3/4K3 w - moves e2e4\n",
                              "position fen 4k3/8/8/8/8/8/4P3/4K3 moves e2e4\n"}) {
        envoyer("position startpos\n");
        envoyer(ligne);
        EXPECT_EQ(std::vector<int>({ECHIQUIER[55], ECHIQUIER[91], TRAIT, FIN_LISTE_PARTIE}),
                  std::vector<int>({6, 0, NOIR, 0}))
            << ligne;
    }
}

TEST_F(Uci, PositionMoveTokens) {
    const char* pion_e7 = "fen k7/4P3/8/8/8/8/8/K7 w - - 0 1 moves";
    struct Cas {
        const char* debut;
        const char* coup;
        int case_visee, piece;  // 0: the token is refused
    } cas[] = {
        {"fen 4k3/8/8/8/8/8/4p3/K7 b - - 0 1 moves", "e2e1q", 25, -2},
        {"fen 4k3/8/8/8/8/8/3p4/2R3K1 b - - 0 1 moves", "d2c1N", 23, -5},
        {pion_e7, "e7e8R", 95, 3},
        {pion_e7, "e7e8b", 95, 4},
        {pion_e7, "e7e8", 0, 0},  // a promotion needs its letter
        {pion_e7, "e7e8k", 0, 0},
        {"startpos moves", "e2e5", 0, 0},
        {"startpos moves", "e7e5", 0, 0},  // Black's move with White to play
        {"startpos moves", "e1g1", 0, 0},  // castling through pieces
        {"startpos moves", "e2e4q", 0, 0},
        {"startpos moves", "i2i4", 0, 0},
        {"startpos moves", "E2E4", 0, 0},
        {"fen 4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1 moves", "e2c3", 0, 0},  // a pinned knight
    };
    for (const Cas& c : cas) {
        envoyer(std::string("position ") + c.debut + "\n");
        const std::vector<int> avant = etat();
        // The move list ends at a refused token: the moves after it are not played.
        const std::string ligne = std::string("position ") + c.debut + " " + c.coup + (c.piece ? "\n" : " g1f3\n");
        auto sortie = lignes(envoyer(ligne));
        EXPECT_EQ(PROMOTION, 0);
        if (c.piece != 0) {
            EXPECT_TRUE(sortie.empty()) << ligne;
            EXPECT_EQ(ECHIQUIER[c.case_visee], c.piece) << ligne;
            EXPECT_EQ(std::vector<int>({TRAIT, ADVERSAIRE, FIN_LISTE_PARTIE}),
                      std::vector<int>({-avant[120], avant[120], avant[128] + 1}))
                << ligne;
            continue;
        }
        ASSERT_EQ(sortie.size(), 1u) << ligne;
        EXPECT_TRUE(sortie[0].starts_with("info string ") && sortie[0].find(c.coup) != std::string::npos) << sortie[0];
        EXPECT_EQ(etat(), avant) << ligne;
    }
}

TEST_F(Uci, RefusedFenKeepsThePreviousGame) {
    for (const char* fen : {
             "rnbqkbnr/pppppppp/8/8/4X3/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",    // a letter outside the set
             "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",      // 9 is no FEN digit
             "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",       // seven squares
             "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",     // nine squares
             "rnbqkbnr/pppppppp/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",    // nine ranks
             "rnbqkbnr/pppppppp/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",        // seven ranks
             "4k3/8/8/8/8/8/8/8 w - - 0 1",
             "4k2k/8/8/8/8/8/8/4K3 w - - 0 1",
             "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",  // Black, not to move, is in check
             "4k3/8/8/8/8/8/8/4R1K1 w moves g1g2",
             "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1 startpos",
         }) {
        envoyer("position startpos moves e2e4 e7e5 g1f3\n");
        const std::vector<int> avant = etat();
        auto sortie = lignes(envoyer(std::string("position fen ") + fen + "\n"));
        ASSERT_EQ(sortie.size(), 1u) << fen;
        EXPECT_TRUE(sortie[0].starts_with("info string ")) << fen;
        EXPECT_EQ(etat(), avant) << fen;
    }
    EXPECT_EQ(envoyer("position fen 4k3/8/8/8/8/8/8/4R1K1 b - - 0 1\n"), "");  // in check, to move
    EXPECT_EQ(ECHIQUIER[25], 3);
}

TEST_F(Uci, FullRecordStopsTheMoveList) {
    // 500 rounds of Nf3 Nf6 Ng1 Ng8: 2000 moves, more than the record keeps.
    std::string ligne = "position startpos moves";
    for (int i = 0; i < 500; ++i) ligne += " g1f3 g8f6 f3g1 f6g8";
    auto sortie = lignes(envoyer(ligne + "\n"));
    ASSERT_EQ(sortie.size(), 1u);
    EXPECT_TRUE(sortie[0].starts_with("info string ") && sortie[0].find("f6g8") != std::string::npos) << sortie[0];
    ASSERT_EQ(MAX_COUPS_PARTIE, 1983);  // 495 rounds, then g1f3 g8f6 f3g1
    EXPECT_EQ(std::vector<int>({FIN_LISTE_PARTIE, ECHIQUIER[27], ECHIQUIER[76], TRAIT}),
              std::vector<int>({1982, 5, -5, NOIR}));
}

TEST_F(Uci, GoParametersAndBudgets) {
    constexpr int X = -7;  // TEMPS_HORLOGE and LAST_TIME before: left alone
    const char* noir = "fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";
    struct Cas {
        const char* position;
        const char* parametres;
        int profondeur, fixe, horloge, temps, dernier;
    } cas[] = {
        {"startpos", "", 30, 0, 0, X, X},
        {"startpos", "wtime 300000", 30, 0, 1, 10, 10000},
        {"startpos", "wtime 60000 movestogo 10", 30, 0, 1, 6, 6000},
        {"startpos", "wtime 60000 movestogo 10 winc 1000", 30, 0, 1, 3, 3400},
        {"startpos", "movetime 5000", 30, 0, 1, 5, 5000},
        {"startpos", "movetime 500", 30, 0, 1, 1, 500},
        {"startpos", "movetime 5000 winc 1000", 30, 0, 1, 1, 1200},  // the increment makes it 25
        {"startpos", "wtime -3000", 30, 0, 1, 1, -100},
        {"startpos", "wtime 60000 movestogo 0", 30, 0, 1, 2, 2000},  // no divisor: 30
        {"startpos", "wtime 99999999999", 30, 0, 1, 71582, 71582788},  // INT_MAX / 30
        {"startpos", "Wtime 60000", 30, 0, 0, X, X},
        {"startpos", "depth 4 btime 60000", 4, 1, 0, X, X},
        {"startpos", "wtime 60000 depth 4", 4, 0, 1, 2, 2000},
        {"startpos", "depth 100", PROFONDEUR_MAX, 1, 0, X, X},
        {"startpos", "nodes wtime 60000", 30, 0, 0, X, X},  // "wtime" is the node count
        {"startpos", "ponder wtime 60000 winc 1000", 30, 0, 0, X, X},
        {"startpos", "depth 5 infinite", 30, 1, 0, X, X},
        {"startpos", "searchmoves e2e4 d2d4 wtime 60000", 30, 0, 0, X, X},
        {noir, "wtime 10000 btime 60000 winc 5000", 30, 0, 1, 2, 2000},
        {noir, "wtime 60000", 30, 0, 0, X, X},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        TEMPS_HORLOGE = LAST_TIME = X;
        LANCE_HORLOGE = PROFONDEUR_FIXE = CALCUL = 0;
        STOP = 1;  // left up by an earlier search
        lecture_depuis_texte(std::string(c.parametres) + "\n");
        {
            CaptureSortie capture;
            uci_go();
            EXPECT_EQ(capture.texte, "") << c.parametres;
        }
        EXPECT_EQ(std::vector<int>({PROFONDEUR, PROFONDEUR_FIXE, LANCE_HORLOGE, TEMPS_HORLOGE, LAST_TIME, STOP, CALCUL}),
                  std::vector<int>({c.profondeur, c.fixe, c.horloge, c.temps, c.dernier, 0, 1}))
            << c.parametres;
        CALCUL = LANCE_HORLOGE = 0;
    }
    // Black to move: the two blanks end "go" before btime, so there is no clock.
    poser(noir);
    EXPECT_EQ(envoyer("go wtime 1000  btime 2000\nisready\n"), "");
    EXPECT_EQ(std::vector<int>({CALCUL, LANCE_HORLOGE, ISREADY}), std::vector<int>({1, 0, 1}));
}

// A pondering "go" leaves the last timed budget for the ponderhit, which
// deepens from depth 1 up to that "go"'s limit.
TEST_F(Uci, Ponderhit) {
    envoyer("go wtime 60000 winc 1000\n");
    CALCUL = 0;
    envoyer("go infinite depth 6 wtime 3000\n");
    EXPECT_EQ(std::vector<int>({LANCE_HORLOGE, LAST_TIME, PROFONDEUR_FIXE}), std::vector<int>({0, 3400, 1}));
    CALCUL = TEMPS_HORLOGE = 0;
    STOP = 1;
    EXPECT_EQ(envoyer("ponderhit\n"), "");
    EXPECT_EQ(std::vector<int>({TEMPS_HORLOGE, LAST_TIME, PROFONDEUR, PROFONDEUR_FIXE, LANCE_HORLOGE, STOP, CALCUL}),
              std::vector<int>({3, 3400, 6, 0, 1, 0, 1}));
    for (auto [dernier, temps] : std::vector<std::pair<int, int>>{{999, 1}, {-100, 1}}) {
        LAST_TIME = dernier;
        TEMPS_HORLOGE = 0;
        envoyer("ponderhit\n");
        EXPECT_EQ(TEMPS_HORLOGE, temps) << dernier;
    }
}

}  // namespace
