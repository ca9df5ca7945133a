// The UCI front end without its threads: the word reader, the dispatcher and
// the "setoption", "position", "go" and "ponderhit" handlers.
#include <climits>
#include <cstring>
#include <sstream>
#include <vector>

#include "search.h"
#include "support.h"

namespace {

std::vector<std::string> lignes(const std::string& texte) {
    std::vector<std::string> resultat;
    std::istringstream flux(texte);
    for (std::string ligne; std::getline(flux, ligne);) resultat.push_back(ligne);
    return resultat;
}

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
    lecture_depuis_texte("go  wtime 5\r\n\nuci\tx\n" + std::string(300, 'x') + " suite\n" + std::string(255, 'y') +
                         "\r\n" + std::string(254, 'z') + "\r\nquit");
    lire_mot();
    EXPECT_STREQ(COMMANDE, "go");
    EXPECT_EQ(extract_param(), 0);  // the empty word between the two blanks
    EXPECT_EQ(extract_param(), 5);
    EXPECT_EQ(extract_param(), 1);  // the carriage return is not part of the word
    EXPECT_STREQ(COMMANDE, "5");
    EXPECT_EQ(CR, 1);
    EXPECT_EQ(extract_param(), 0);  // the end of the line, reported once
    EXPECT_EQ(CR, 0);
    EXPECT_STREQ(COMMANDE, "5");
    lire_mot();  // the empty line
    EXPECT_STREQ(COMMANDE, "");
    lire_mot();  // a command word is taken from the stream although the line ended
    EXPECT_STREQ(COMMANDE, "uci\tx");  // a tab is part of a word
    lire_mot();  // cut to the buffer, the next word intact
    EXPECT_EQ(std::string(COMMANDE), std::string(255, 'x'));
    EXPECT_EQ(extract_param(), 5);
    EXPECT_STREQ(COMMANDE, "suite");
    lire_mot();
    EXPECT_EQ(std::string(COMMANDE), std::string(255, 'y'));
    lire_mot();
    EXPECT_EQ(std::string(COMMANDE), std::string(254, 'z'));
    EXPECT_EQ(FIN_ENTREE, 0);
    // The end of input ends the last word and its line, and reads stay empty.
    lire_mot();
    EXPECT_STREQ(COMMANDE, "quit");
    EXPECT_EQ(FIN_ENTREE, 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(extract_param(), 0);
    lire_mot();
    EXPECT_STREQ(COMMANDE, "");
    // A handler reading to the end of its line stops at the end of input.
    lecture_depuis_texte("go wtime 60000 winc");
    lire_mot();
    uci_go();
    EXPECT_EQ(LAST_TIME, 2000);
    CALCUL = 0;
}

TEST_F(Uci, UciReplyShowsTheCurrentOptionValues) {
    auto reponse = [](int pion, int dame, int mobilite, int nulle) {
        return std::vector<std::string>{
            "id name Solvane 1.8.5",
            "id author Vesquin",
            "option name Pawn type spin default " + std::to_string(pion) + " min 0 max 1000",
            "option name Knight type spin default 300 min 0 max 1000",
            "option name Bishop type spin default 300 min 0 max 1000",
            "option name Rook type spin default 500 min 0 max 1000",
            "option name Queen type spin default " + std::to_string(dame) + " min 0 max 2000",
            "option name Mobility type spin default " + std::to_string(mobilite) + " min -9 max 9",
            "option name Draw type spin default " + std::to_string(nulle) + " min -900 max 900",
            "option name Promote_in_uppercase type check default true",
            "option name Solvane 1.8.5 compile le Aaa _9 9999 99:99:99 type check default false",
            "uciok",
        };
    };
    // In line 11, A is a capital, a a small letter, 9 a digit, _ a digit or a blank.
    auto verifier = [](const std::vector<std::string>& sortie, const std::vector<std::string>& attendu) {
        ASSERT_EQ(sortie.size(), attendu.size());
        for (size_t i = 0; i < sortie.size(); ++i) {
            bool egal = sortie[i].size() == attendu[i].size();
            for (size_t j = 0; egal && j < sortie[i].size(); ++j) {
                const char c = sortie[i][j], m = attendu[i][j];
                const bool chiffre = c >= '0' && c <= '9';
                egal = i % 12 != 10 ? c == m
                       : m == 'A' ? c >= 'A' && c <= 'Z'
                       : m == 'a' ? c >= 'a' && c <= 'z'
                       : m == '9' ? chiffre
                       : m == '_' ? chiffre || c == ' '
                                  : c == m;
            }
            EXPECT_TRUE(egal) << sortie[i] << "\nexpected: " << attendu[i];
        }
    };
    verifier(lignes(envoyer("uci\n")), reponse(100, 900, 1, 200));
    auto sortie = lignes(envoyer(
        "setoption name pawn value 120\nsetoption name Queen value 1500\nsetoption name Mobility value -4\n"
        "setoption name Draw value -900\nsetoption name Promote_in_uppercase value false\nuci\nuci\n"));
    auto attendu = reponse(120, 1500, -4, -900);
    const auto une = attendu;
    attendu.insert(attendu.end(), une.begin(), une.end());
    verifier(sortie, attendu);
}

TEST_F(Uci, Dispatcher) {
    EXPECT_EQ(envoyer("isready\n"), "");
    EXPECT_EQ(ISREADY, 1);
    ISREADY = 0;
    EXPECT_EQ(envoyer("stop\n"), "");
    EXPECT_EQ(STOP, 1);
    STOP = 0;
    envoyer("isready quit\n");  // the next word on the line is a command of its own
    EXPECT_EQ(ISREADY, 1);
    EXPECT_EQ(FIN, 1);
    EXPECT_EQ(STOP, 1);
    FIN = STOP = ISREADY = 0;
    envoyer("debug isready\n");  // "debug" swallows one word
    EXPECT_EQ(ISREADY, 0);
    envoyer("debug\nisready\n");  // but not past the end of its line
    EXPECT_EQ(ISREADY, 1);
    ISREADY = 0;
    EXPECT_EQ(envoyer("Quit QUIT Uci ISREADY Stop  \n\nGo position_ foo\r\n"), "");
    EXPECT_EQ(FIN + STOP + ISREADY + CALCUL, 0);
}

TEST_F(Uci, Setoption) {
    struct Cas {
        const char* ligne;
        int* option;
        int attendu;
    } cas[] = {
        {"name pawn value 120", &PION, 120},
        {"name pAwN value 77", &PION, 77},
        {"name KNIGHT value 310", &CAVALIER, 310},
        {"name Bishop value 0", &FOU, 0},
        {"name Rook value 10 value 20", &TOUR, 20},  // each value applies again
        {"name Rook extra value 30", &TOUR, 30},     // only the first word is the name
        {"name Queen value 5000", &DAME, 5000},      // above the announced maximum
        {"name Mobility value -3", &MOBILITY, -3},
        {"name Draw value abc", &DRAW, 0},
        {"name Draw value 12abc", &DRAW, 12},
        {"name Draw value 99999999999", &DRAW, INT_MAX},
        {"name Promote_in_uppercase value false", &PROMOTEINUPPERCASE, 0},
        {"name Promote_in_uppercase value True", &PROMOTEINUPPERCASE, 1},
        {"name promote_in_uppercase value yes", &PROMOTEINUPPERCASE, 0},
        {"name Promote_in_uppercase value tRUE", &PROMOTEINUPPERCASE, 1},
        {"name Pawn value 5 isready", &PION, 5},  // the rest of the line is setoption's
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(envoyer(std::string("setoption ") + c.ligne + "\n"), "") << c.ligne;
        EXPECT_EQ(*c.option, c.attendu) << c.ligne;
    }
    EXPECT_EQ(ISREADY, 0);

    etat_par_defaut();
    PROMOTEINUPPERCASE = 0;  // a stray "true" must not switch it on
    const std::vector<int> avant = options();
    for (const char* ligne : {"name Mobility", "name Mobility value", "value 5 name Pawn", "NAME Pawn VALUE 5",
                              "name Pawnn value 5", "", "name Solvane 1.8.5 compile le Aug 13 2003 12:07:02 value true",
                              "name Solvane 1.8.5 compile le Aug  3 2003 12:07:02 value 5"}) {
        EXPECT_EQ(envoyer(std::string("setoption ") + ligne + "\n"), "") << ligne;
        EXPECT_EQ(options(), avant) << ligne;
    }

    struct Nombre {
        const char* texte;
        int attendu;
    } nombres[] = {{"42", 42},         {"-17", -17},         {"+5", 5},
                   {"12abc", 12},      {"abc", 0},           {"", 0},
                   {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"99999999999999999999", INT_MAX},
                   {"-2147483648", INT_MIN}, {"-99999999999", INT_MIN}};
    for (const Nombre& n : nombres) EXPECT_EQ(atoi_borne(n.texte), n.attendu) << n.texte;
}

TEST_F(Uci, PositionCommand) {
    auto instantane_juste = [](int k) {
        return std::memcmp(ECHIQUIERS[k].cases, &ECHIQUIER[20], sizeof ECHIQUIERS[k].cases) == 0;
    };
    EXPECT_EQ(envoyer("position startpos moves e2e4 e7e5\n"), "");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[55], ECHIQUIER[65], ECHIQUIER[35], ECHIQUIER[85]}),
              std::vector<int>({6, -6, 0, 0}));
    EXPECT_EQ(FIN_LISTE_PARTIE, 1);
    EXPECT_EQ(TRAIT, BLANC);
    EXPECT_EQ(ADVERSAIRE, NOIR);
    EXPECT_TRUE(instantane_juste(2));
    envoyer("position moves g1f3\n");  // on top of the game there is
    EXPECT_EQ(FIN_LISTE_PARTIE, 2);
    EXPECT_EQ(ECHIQUIER[46], 5);
    EXPECT_EQ(TRAIT, NOIR);
    envoyer("position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1\n");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[27], ECHIQUIER[26], ECHIQUIER[28], ROI_BLANC}),
              std::vector<int>({1, 3, 0, 27}));
    EXPECT_EQ(std::vector<int>({PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR}),
              std::vector<int>({0, 0, 1, 1}));
    // Two blanks end the command; "moves" and "e2e4" reach the dispatcher.
    EXPECT_EQ(envoyer("position startpos  moves e2e4\n"), "");
    EXPECT_EQ(FIN_LISTE_PARTIE, -1);
    EXPECT_EQ(ECHIQUIER[35], 6);

    envoyer("position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1\n");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[55], ECHIQUIER[35], TRAIT, ADVERSAIRE, FIN_LISTE_PARTIE, EN_PASSANT_FEN}),
              std::vector<int>({6, 0, NOIR, BLANC, -1, 45}));
    EXPECT_EQ(PETIT_ROQUE_BLANC + GRAND_ROQUE_BLANC + PETIT_ROQUE_NOIR + GRAND_ROQUE_NOIR, 4);
    EXPECT_TRUE(instantane_juste(0));
    const std::pair<const char*, int> roques_cas[] = {{"-", 0b0000}, {"Kq", 0b1001}, {"KQkq", 0b1111}, {"Qk", 0b0110}};
    for (auto [roques, attendu] : roques_cas) {
        envoyer(std::string("position fen r3k2r/8/8/8/8/8/8/R3K2R w ") + roques + " - 0 1\n");
        EXPECT_EQ(8 * PETIT_ROQUE_BLANC + 4 * GRAND_ROQUE_BLANC + 2 * PETIT_ROQUE_NOIR + GRAND_ROQUE_NOIR, attendu);
        const echiquier_sauve& s = ECHIQUIERS[0];
        EXPECT_EQ(8 * s.petit_roque_blanc + 4 * s.grand_roque_blanc + 2 * s.petit_roque_noir + s.grand_roque_noir,
                  attendu);
    }
    // Eight characters on every rank: a 71-character placement.
    EXPECT_EQ(envoyer("position fen r1b1k1n1/1p1p1p1p/p1p1p1p1/1n1b1r1q/Q1R1B1N1/1P1P1P1P/P1P1P1P1/1N1B1K1R w - - 0 "
                      "1\n"),
              "");
    EXPECT_EQ(std::vector<int>({ECHIQUIER[91], ECHIQUIER[97], ECHIQUIER[98], ECHIQUIER[68], ECHIQUIER[55],
                                ECHIQUIER[28], ROI_NOIR, ROI_BLANC}),
              std::vector<int>({-3, -5, 0, -2, 4, 3, 95, 26}));
    // A FEN cut after its castling field or its placement: the record still
    // starts from the FEN, and a missing side keeps the one there was.
    for (const char* ligne : {"position fen 4k3/8/8/8/8/8/4P3/4K3 w - moves e2e4\n",
                              "position fen 4k3/8/8/8/8/8/4P3/4K3 moves e2e4\n"}) {
        envoyer("position startpos\n");
        envoyer(ligne);
        EXPECT_EQ(ECHIQUIER[55], 6) << ligne;
        EXPECT_EQ(TRAIT, NOIR) << ligne;
        retire_coup_partie();
        EXPECT_TRUE(instantane_juste(0)) << ligne;
        EXPECT_EQ(std::vector<int>({ECHIQUIER[35], ECHIQUIER[55], ECHIQUIER[91], ECHIQUIER[24]}),
                  std::vector<int>({6, 0, 0, 0}))
            << ligne;
    }
    envoyer("position fen 4k3/8/8/8/8/8/8/4K3 x - - 0 1\n");
    EXPECT_EQ(TRAIT, NOIR);
}

TEST_F(Uci, PositionMoveTokens) {
    const char* pion_e7 = "fen k7/4P3/8/8/8/8/8/K7 w - - 0 1 moves";
    struct Cas {
        const char* debut;
        const char* coup;
        int case_visee, piece;  // 0: the token is refused
    } cas[] = {
        {"fen 4k3/8/8/8/8/8/4p3/K7 b - - 0 1 moves", "e2e1q", 25, -2},
        {"fen 4k3/8/8/8/8/8/4p3/K7 b - - 0 1 moves", "e2e1Q", 25, -2},
        {"fen 4k3/8/8/8/8/8/3p4/2R3K1 b - - 0 1 moves", "d2c1n", 23, -5},
        {pion_e7, "e7e8R", 95, 3},
        {pion_e7, "e7e8b", 95, 4},
        {pion_e7, "e7e8", 0, 0},   // a promotion needs its letter
        {pion_e7, "e7e8k", 0, 0},
        {"startpos moves e2e4 e7e5", "e1e3", 0, 0},
        {"startpos moves", "e2e5", 0, 0},
        {"startpos moves", "e7e5", 0, 0},  // Black's move with White to play
        {"startpos moves", "e1g1", 0, 0},  // castling through pieces
        {"startpos moves", "e2e4q", 0, 0},
        {"startpos moves", "e2", 0, 0},
        {"startpos moves", "e2e4e", 0, 0},
        {"startpos moves", "i2i4", 0, 0},
        {"startpos moves", "e0e1", 0, 0},
        {"startpos moves", "e2e9", 0, 0},
        {"startpos moves", "E2E4", 0, 0},
        {"startpos moves", "a1a1", 0, 0},
        {"fen 4k3/8/8/8/8/8/4R3/4K3 b - - 0 1 moves", "e8e7", 0, 0},  // into the rook's file
        {"fen 4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1 moves", "e2c3", 0, 0},  // a pinned knight
    };
    for (const Cas& c : cas) {
        envoyer(std::string("position ") + c.debut + "\n");
        const int trait = TRAIT, fin = FIN_LISTE_PARTIE;
        const std::vector<int> avant(ECHIQUIER, ECHIQUIER + 120);
        // The move list ends at a refused token: the moves after it are not played.
        const std::string ligne = std::string("position ") + c.debut + " " + c.coup + (c.piece ? "\n" : " g1f3\n");
        auto sortie = lignes(envoyer(ligne));
        EXPECT_EQ(PROMOTION, 0);
        EXPECT_EQ(ADVERSAIRE, -TRAIT) << ligne;
        if (c.piece != 0) {
            EXPECT_TRUE(sortie.empty()) << ligne;
            EXPECT_EQ(ECHIQUIER[c.case_visee], c.piece) << ligne;
            EXPECT_EQ(TRAIT, -trait) << ligne;
            EXPECT_EQ(FIN_LISTE_PARTIE, fin + 1) << ligne;
            continue;
        }
        ASSERT_EQ(sortie.size(), 1u) << ligne;
        EXPECT_EQ(sortie[0].rfind("info string ", 0), 0u) << sortie[0];
        EXPECT_NE(sortie[0].find(c.coup), std::string::npos) << sortie[0];
        EXPECT_EQ(TRAIT, trait) << ligne;
        EXPECT_EQ(FIN_LISTE_PARTIE, fin) << ligne;
        EXPECT_EQ(std::vector<int>(ECHIQUIER, ECHIQUIER + 120), avant) << ligne;
    }
}

TEST_F(Uci, RefusedFenKeepsThePreviousGame) {
    for (const char* fen : {
             "rnbqkbnr/pppppppp/8/8/4X3/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",    // a letter outside the set
             "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",      // 9 is no FEN digit
             "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",       // seven squares
             "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",     // nine squares
             "rnbqkbnr/pppppppp/44/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",  // nine ranks
             "rnbqkbnr/pppppppp/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",        // seven ranks
             "4k3/8/8/8/8/8/8/8 w - - 0 1",
             "4k2k/8/8/8/8/8/8/4K3 w - - 0 1",
             "4k3/8/8/8/8/8/8/4K2K b - - 0 1",
             "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",  // Black, not to move, is in check
             "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1 moves g1g2",
             "4k3/8/8/8/8/8/8/4R1K1 w moves g1g2",
             "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1 startpos",
         }) {
        envoyer("position startpos moves e2e4 e7e5 g1f3\n");
        auto sortie = lignes(envoyer(std::string("position fen ") + fen + "\n"));
        ASSERT_EQ(sortie.size(), 1u) << fen;
        EXPECT_EQ(sortie[0].rfind("info string ", 0), 0u) << fen;
        EXPECT_EQ(std::vector<int>({FIN_LISTE_PARTIE, ECHIQUIER[46], ECHIQUIER[65], TRAIT, ADVERSAIRE, ROI_BLANC,
                                    PETIT_ROQUE_BLANC}),
                  std::vector<int>({2, 5, -6, NOIR, BLANC, 25, 1}))
            << fen;
        EXPECT_EQ(std::memcmp(ECHIQUIERS[3].cases, &ECHIQUIER[20], sizeof ECHIQUIERS[3].cases), 0) << fen;
        envoyer("position moves b8c6\n");  // the game goes on from there
        EXPECT_EQ(FIN_LISTE_PARTIE, 3) << fen;
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
    EXPECT_EQ(sortie[0].rfind("info string ", 0), 0u);
    ASSERT_EQ(MAX_COUPS_PARTIE, 1983);  // 495 rounds, then g1f3 g8f6 f3g1
    EXPECT_EQ(FIN_LISTE_PARTIE, 1982);
    EXPECT_NE(sortie[0].find("f6g8"), std::string::npos) << sortie[0];
    EXPECT_EQ(std::vector<int>({ECHIQUIER[27], ECHIQUIER[76], ECHIQUIER[97], TRAIT}),
              std::vector<int>({5, -5, 0, NOIR}));
    EXPECT_EQ(lignes(envoyer("position moves f6g8\n")).size(), 1u);
    EXPECT_EQ(FIN_LISTE_PARTIE, 1982);
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
        {"startpos", "btime 5000 binc 100", 30, 0, 0, X, X},
        {"startpos", "wtime 300000", 30, 0, 1, 10, 10000},
        {"startpos", "wtime 60000 winc 1000", 30, 0, 1, 3, 3400},
        {"startpos", "wtime 60000 movestogo 10", 30, 0, 1, 6, 6000},
        {"startpos", "wtime 60000 movestogo 10 winc 1000", 30, 0, 1, 3, 3400},
        {"startpos", "movetime 5000", 30, 0, 1, 5, 5000},
        {"startpos", "movetime 500", 30, 0, 1, 1, 500},
        {"startpos", "wtime 20000 movestogo 40", 30, 0, 1, 1, 500},
        {"startpos", "movetime 5000 winc 1000", 30, 0, 1, 1, 1200},  // the increment makes it 25
        {"startpos", "wtime 500", 30, 0, 1, 1, 16},
        {"startpos", "wtime 2999 movestogo 1", 30, 0, 1, 2, 2999},
        {"startpos", "wtime -3000", 30, 0, 1, 1, -100},
        {"startpos", "wtime 60000 movestogo 0", 30, 0, 1, 2, 2000},  // no divisor: 30
        {"startpos", "wtime 60000 movestogo 0 winc 100", 30, 0, 1, 2, 2500},
        {"startpos", "wtime 99999999999", 30, 0, 1, 71582, 71582788},  // INT_MAX / 30
        {"startpos", "wtime 60000 wtime 0", 30, 0, 0, X, X},
        {"startpos", "wtime abc", 30, 0, 0, X, X},
        {"startpos", "wtime", 30, 0, 0, X, X},
        {"startpos", "Wtime 60000", 30, 0, 0, X, X},
        {"startpos", "depth 4", 4, 1, 0, X, X},
        {"startpos", "depth 4 btime 60000", 4, 1, 0, X, X},
        {"startpos", "depth 4 wtime 60000", 4, 0, 1, 2, 2000},
        {"startpos", "wtime 60000 depth 4", 4, 0, 1, 2, 2000},
        {"startpos", "depth 100", PROFONDEUR_MAX, 1, 0, X, X},
        {"startpos", "depth 0", 0, 1, 0, X, X},
        {"startpos", "nodes 1000 mate 3", 30, 0, 0, X, X},
        {"startpos", "nodes wtime 60000", 30, 0, 0, X, X},  // "wtime" is the node count
        {"startpos", "ponder wtime 60000 winc 1000", 30, 0, 0, X, X},
        {"startpos", "wtime 60000 infinite", 30, 0, 0, X, X},
        {"startpos", "depth 5 infinite", 30, 1, 0, X, X},
        {"startpos", "infinite depth 5", 5, 1, 0, X, X},
        {"startpos", "searchmoves e2e4 d2d4 wtime 60000", 30, 0, 0, X, X},
        {"startpos", "wtime 60000 searchmoves e2e4 depth 3", 30, 0, 1, 2, 2000},
        {noir, "wtime 60000 btime 300000", 30, 0, 1, 10, 10000},
        {noir, "wtime 10000 btime 60000 winc 5000", 30, 0, 1, 2, 2000},
        {noir, "btime 60000 binc 1000", 30, 0, 1, 3, 3400},
        {noir, "wtime 60000", 30, 0, 0, X, X},
        {noir, "movetime 2500", 30, 0, 1, 2, 2500},
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
        EXPECT_EQ(std::vector<int>({PROFONDEUR, PROFONDEUR_FIXE, LANCE_HORLOGE, TEMPS_HORLOGE, LAST_TIME}),
                  std::vector<int>({c.profondeur, c.fixe, c.horloge, c.temps, c.dernier}))
            << c.parametres;
        EXPECT_EQ(STOP, 0) << c.parametres;
        EXPECT_EQ(CALCUL, 1) << c.parametres;
        CALCUL = LANCE_HORLOGE = 0;
    }
    // Black to move: the two blanks end "go" before btime, so there is no
    // clock; "btime" and "2000" are then read as commands and ignored.
    poser(noir);
    LAST_TIME = 0;
    EXPECT_EQ(envoyer("go wtime 1000  btime 2000\n"), "");
    EXPECT_EQ(CALCUL + LANCE_HORLOGE + LAST_TIME, 1);
    CALCUL = 0;
    EXPECT_EQ(envoyer("go searchmoves e7e5 btime 60000\nisready\n"), "");  // swallows its line only
    EXPECT_EQ(LANCE_HORLOGE, 0);
    EXPECT_EQ(ISREADY, 1);
    CALCUL = 0;
}

TEST_F(Uci, Ponderhit) {
    const std::pair<int, int> cas[] = {{3400, 3}, {10000, 10}, {1000, 1}, {999, 1}, {2999, 2}, {0, 1}, {-100, 1}};
    for (auto [dernier, temps] : cas) {
        LAST_TIME = dernier;
        TEMPS_HORLOGE = LANCE_HORLOGE = CALCUL = 0;
        PROFONDEUR = 9;  // whatever the last "go" left
        PROFONDEUR_FIXE = STOP = 1;
        EXPECT_EQ(envoyer("ponderhit\n"), "");
        EXPECT_EQ(std::vector<int>({TEMPS_HORLOGE, LAST_TIME, PROFONDEUR, PROFONDEUR_FIXE, LANCE_HORLOGE, STOP, CALCUL}),
                  std::vector<int>({temps, dernier, 9, 0, 1, 0, 1}))
            << dernier;
    }
    // A pondering "go" leaves the last timed budget for the ponderhit.
    envoyer("go wtime 60000 winc 1000\n");
    CALCUL = 0;
    envoyer("go infinite depth 6 wtime 3000\n");
    EXPECT_EQ(LANCE_HORLOGE, 0);  // a "go" without budget disarms the clock
    EXPECT_EQ(LAST_TIME, 3400);
    CALCUL = 0;
    envoyer("ponderhit\n");
    EXPECT_EQ(std::vector<int>({TEMPS_HORLOGE, PROFONDEUR, PROFONDEUR_FIXE, LANCE_HORLOGE}),
              std::vector<int>({3, 6, 0, 1}));
    CALCUL = 0;
}

}  // namespace
