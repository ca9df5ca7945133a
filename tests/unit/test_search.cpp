// Evaluation, alpha-beta search and the iterative-deepening driver.
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

// '*' in the pattern stands for any run of characters.
bool correspond(const char* texte, const char* motif) {
    if (*motif == '\0') return *texte == '\0';
    if (*motif == '*') return correspond(texte, motif + 1) || (*texte != '\0' && correspond(texte + 1, motif));
    return *texte == *motif && correspond(texte + 1, motif + 1);
}

std::string ligne_pv() {
    std::string texte;
    for (const variation* v = P_VARIATION.suivant; v != nullptr; v = v->suivant)
        texte += (texte.empty() ? "" : " ") + texte_coup({v->depart, v->arrivee});
    return texte;
}

// One iteration at the given depth, as the driver runs it.
int chercher(int profondeur) {
    init_variation();
    PROFONDEUR = profondeur;
    return alphabeta(profondeur, -MAT, MAT, &P_VARIATION);
}

class Recherche : public ::testing::Test {
protected:
    void SetUp() override { etat_par_defaut(); }
    void TearDown() override {
        init_variation();
        etat_par_defaut();
        PROFONDEUR_FIXE = 0;
    }
};

TEST_F(Recherche, EvalMaterialAndMobility) {
    // Kings only: White's king on e4 has 8 moves, Black's on h8 has 3.
    const char* cinq = "fen 7k/8/8/8/4K3/8/8/8 w - - 0 1";
    const char* sept = "fen 7k/8/8/8/4K3/8/8/N7 w - - 0 1";        // + knight a1 (b3, c2)
    const char* moins_sept = "fen n7/8/8/4k3/8/8/8/7K w - - 0 1";  // the mirror, Kh1 has 3
    const char* deux = "fen 7k/8/8/8/8/8/8/KN6 w - - 0 1";         // Ka1 2 + Nb1 3 against 3
    struct Cas {
        const char* position;
        int mobilite, attendu;
    } cas[] = {
        {cinq, 1, 5},          {cinq, 2, 10},          {cinq, 0, 0},         {cinq, -1, 5},
        {cinq, -3, 1},         {cinq, -6, 0},          {sept, -3, 302},      {moins_sept, -3, -302},  // not -303
        {deux, -3, 300},       {deux, 1, 302},         {moins_sept, 9, -363},
        {"fen 7k/8/8/8/4K3/8/8/8 b - - 0 1", 1, -5},
        // White counts 22 (both castling terms: the squares are occupied and
        // unattacked), Black 20 (its own king attacks f8 and d8).
        {"startpos", 1, 2},
        {"fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", 1, -2},
        {"fen 4k3/8/8/8/8/8/8/3QK3 b - - 0 1", 0, -900},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        MOBILITY = c.mobilite;
        EXPECT_EQ(eval(), c.attendu) << c.position << " mobility " << c.mobilite;
    }
    // White: 2 pawns, knight, bishop, rook. Black: 3 pawns, queen. One power
    // of ten per kind shows each count; zero and negative values are used as they come.
    MOBILITY = 0;
    struct Valeurs {
        int p, n, b, r, q, blancs;
    } valeurs[] = {{100, 300, 300, 500, 900, 100}, {1, 10, 100, 1000, 10000, -8891}, {-50, 0, 7, 1, 0, 58}};
    for (const Valeurs& v : valeurs) {
        PION = v.p, CAVALIER = v.n, FOU = v.b, TOUR = v.r, DAME = v.q;
        poser("fen 4k3/ppp5/8/8/3q4/8/PP6/RNB1K3 w - - 0 1");
        EXPECT_EQ(eval(), v.blancs);
        poser("fen 4k3/ppp5/8/8/3q4/8/PP6/RNB1K3 b - - 0 1");
        EXPECT_EQ(eval(), -v.blancs);
    }
    etat_par_defaut();
    // A raised stop gives the sentinel whatever the side, and still counts.
    for (const char* position : {cinq, "fen 4k3/8/8/8/8/8/8/3QK3 b - - 0 1"}) {
        poser(position);
        POSITIONS = 41;
        STOP = 1;
        EXPECT_EQ(eval(), SCORE_ARRET);
        EXPECT_EQ(POSITIONS, 42);
        STOP = 0;
    }
}

TEST_F(Recherche, DepthZeroLeavesAndCaptureExtension) {
    MOBILITY = 0;
    PROFONDEUR = 1;
    variation noeud{0, 0, nullptr};
    // Rd1 can take the queen on d4; the static score is 500 - 900.
    poser("fen 4k3/8/8/8/3q4/8/8/3RK3 w - - 0 1");
    EXTENSION = 0;
    EXPECT_EQ(alphabeta(0, -MAT, MAT, &noeud), -400);  // reached by a quiet move
    EXTENSION = 1;
    EXPECT_EQ(alphabeta(0, -MAT, MAT, nullptr), -400);
    EXPECT_EQ(alphabeta(-1, -MAT, MAT, &noeud), -400);
    EXPECT_EQ(noeud.suivant, nullptr);
    EXPECT_EQ(alphabeta(0, -MAT, MAT, &noeud), 500);  // reached by a capture
    ASSERT_NE(noeud.suivant, nullptr);
    EXPECT_EQ(texte_coup({noeud.suivant->depart, noeud.suivant->arrivee}), "d1d4");
    libere_variation(noeud.suivant);
    noeud.suivant = nullptr;
    // No capture there: every quiet move is searched, and there is no stand-pat.
    poser("fen k7/4P3/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(alphabeta(0, -MAT, MAT, &noeud), 900);
    ASSERT_NE(noeud.suivant, nullptr);
    EXPECT_EQ(texte_coup({noeud.suivant->depart, noeud.suivant->arrivee}), "e7e8Q");
    libere_variation(noeud.suivant);
}

TEST_F(Recherche, ScoresOfWholeIterations) {
    // Qe1+ Kh2 Qh4+ Kg1 ...: every white move is forced.
    const std::string perpetuel = "fen k7/8/8/8/7q/8/6P1/6K1 b - - 0 1 moves h4e1 g1h2 e1h4 h2g1 h4e1 g1h2 e1h4";
    struct Cas {
        std::string position;
        int profondeur, score, longest;
        const char* pv;
        int mobilite = 1;
    } cas[] = {
        // Qxd5 is met by cxd5 in the extension; the first quiet move keeps 900 - 200.
        {"fen 4k3/8/2p5/3p4/8/8/8/3QK3 w - - 0 1", 1, 700, 0, "d1c1", 0},
        // Rxd8 mate is a capture on the last ply: seen through the extension.
        {"fen 3r2k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1, MAT, 1, "d1d8"},
        // Ra8 mate is quiet: found at depth 2 only.
        {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 2, MAT, 1, "a1a8"},
        {"fen R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 1, -MAT, 0, ""},
        // Ka2, Nf7 and Ng6 all allow Qb2 mate: the line still starts with Ka2.
        {"fen 1q5N/8/8/8/8/2k5/8/K7 w - - 0 1", 3, -MAT, 2, "a1a2"},
        // Stalemate scores -Draw for the side to move, either colour.
        {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 2, -200, 0, ""},
        {"fen 8/8/8/8/8/1k6/2q5/K7 w - - 0 1", 2, -200, 0, ""},
        // h2g1 brings the position back a third time: -Draw for White.
        {perpetuel, 1, -200, 0, "h2g1"},
        {perpetuel, 3, -200, 0, "h2g1"},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        MOBILITY = c.mobilite;
        EXPECT_EQ(chercher(c.profondeur), c.score) << c.position;
        EXPECT_EQ(LONGEST, c.longest) << c.position;
        EXPECT_EQ(ligne_pv().substr(0, 4), c.pv) << c.position;
    }
    poser("fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
    EXPECT_NE(chercher(1), MAT);
    // Nothing is evaluated below a repetition or in a stalemate.
    poser(perpetuel);
    chercher(3);
    EXPECT_EQ(POSITIONS, 0);
    // Black's h4e1 repeats a third time: +Draw for Black. With every piece worth
    // nothing the other moves score 0, so the repetition is chosen.
    poser(perpetuel + " h2g1");
    PION = CAVALIER = FOU = TOUR = DAME = MOBILITY = 0;
    EXPECT_EQ(chercher(1), 200);
    EXPECT_EQ(ligne_pv(), "h4e1");
    // A draw score of 1000 equals what every ordinary move returns.
    etat_par_defaut();
    poser("startpos");
    DRAW = 1000;
    EXPECT_EQ(chercher(2), -1000);
    EXPECT_EQ(POSITIONS, 0);
    // A stop already raised: nothing is played, evaluated or linked.
    DRAW = 200;
    STOP = 1;
    EXPECT_EQ(chercher(3), SCORE_ARRET);
    EXPECT_EQ(P_VARIATION.suivant, nullptr);
    EXPECT_EQ(POSITIONS, 0);
    EXPECT_EQ(FIN_LISTE_PARTIE, -1);
}

TEST_F(Recherche, SearchLeavesThePositionAsItFoundIt) {
    // Castling rights, a FEN en passant square, promotions with and without capture.
    for (const char* position : {"fen r3k2r/1P6/8/3pP3/8/8/6p1/R3K2R w KQkq d6 0 1",
                                 "startpos moves e2e4 d7d5 e4e5 f7f5 g1f3 g8f6 f1c4 b8c6"}) {
        poser(position);
        auto etat = [] {
            std::vector<int> v(ECHIQUIER, ECHIQUIER + 120);
            v.insert(v.end(), {TRAIT, ADVERSAIRE, ROI_BLANC, ROI_NOIR, PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC,
                               PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR, FIN_LISTE_PARTIE, EN_PASSANT_FEN});
            for (int i = 0; i <= FIN_LISTE_PARTIE; ++i)
                v.insert(v.end(), {PARTIE[i].depart, PARTIE[i].arrivee, PARTIE[i].piece_jouee, PARTIE[i].piece_prise});
            for (int k = 0; k <= FIN_LISTE_PARTIE + 1; ++k) {
                const echiquier_sauve& s = ECHIQUIERS[k];
                v.insert(v.end(), s.cases, s.cases + 80);
                v.insert(v.end(), {s.petit_roque_blanc, s.grand_roque_blanc, s.petit_roque_noir, s.grand_roque_noir,
                                   s.nb_occurrences});
            }
            return v;
        };
        const std::vector<int> avant = etat();
        chercher(3);
        EXPECT_EQ(etat(), avant) << position;
    }
}

TEST_F(Recherche, DriverLines) {
    struct Cas {
        const char* position;
        int limite, fixe, stop, mobilite;
        std::vector<const char*> attendu;
    } cas[] = {
        // Depth 1: 20 leaves. After e2e3 White counts 32 moves (bishop 5, queen 4,
        // king 1, a third knight move, one pawn move fewer) to Black's 20; e2e4
        // scores the same but comes later.
        {"startpos", 3, 0, 0, 1,
         {"info depth 1 score cp 12 nodes 20 pv e2e3 ", "info depth 2 score cp * nodes * pv * * ",
          "info depth 3 score cp * nodes * pv * * * ", "bestmove * ponder *"}},
        {"startpos", 3, 1, 0, 1, {"info depth 3 score cp * nodes * pv * * * ", "bestmove * ponder *"}},
        // Mate in one: the mate form, no deeper depth, no ponder for a one-move line.
        {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 5, 0, 0, 1,
         {"info depth 1 score cp * ", "info depth 2 score mate 1 nodes * pv a1a8 ", "bestmove a1a8"}},
        {"fen 1q5N/8/8/8/8/2k5/8/K7 w - - 0 1", 6, 0, 0, 1,
         {"info depth 1 score cp * ", "info depth 2 score cp * ", "info depth 3 score mate -1 nodes * pv a1a2 * ",
          "bestmove a1a2 ponder *"}},
        {"fen q3k3/8/8/8/8/8/8/4K3 w - - 0 1", 1, 0, 0, 0,
         {"info depth 1 score cp -900 nodes 5 pv e1f1 ", "bestmove e1f1"}},
        {"fen R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 3, 0, 0, 1, {"info depth 1 score mate * pv ", "bestmove (none)"}},
        {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 2, 0, 0, 1,
         {"info depth 1 score cp -200 nodes 0 pv ", "info depth 2 score cp -200 nodes 0 pv ", "bestmove (none)"}},
        // No depth completes: the first legal move in search order. The knight's
        // capture on c3 is pinned, so fxg5 comes before every quiet move.
        {"fen 4r2k/8/8/6p1/5P2/2p5/4N3/4K3 w - - 0 1", 5, 0, 1, 1, {"bestmove f4g5"}},
        {"startpos", 0, 0, 0, 1, {"bestmove b1c3"}},
        {"startpos", 4, 1, 1, 1, {"bestmove b1c3"}},
        {"fen R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 4, 0, 1, 1, {"bestmove (none)"}},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        BEST_COUP = {35, 55};  // left by an earlier search
        PONDER_COUP = {85, 65};
        PROFONDEUR = c.limite;
        PROFONDEUR_FIXE = c.fixe;
        STOP = c.stop;
        MOBILITY = c.mobilite;
        CALCUL = 1;
        CaptureSortie capture;
        joue();
        auto sortie = lignes(capture.texte);
        ASSERT_EQ(sortie.size(), c.attendu.size()) << c.position << "\n" << capture.texte;
        for (size_t i = 0; i < sortie.size(); ++i) EXPECT_TRUE(correspond(sortie[i].c_str(), c.attendu[i])) << sortie[i];
        EXPECT_EQ(CALCUL, 0);
        EXPECT_EQ(STOP, c.stop);
        EXPECT_EQ(PROFONDEUR, c.limite);
        STOP = 0;
        // bestmove and ponder are the first two moves of the last line.
        if (sortie.size() > 1 && correspond(sortie.back().c_str(), "bestmove * ponder *")) {
            const std::string& info = sortie[sortie.size() - 2];
            std::istringstream pv(info.substr(info.find(" pv ") + 4));
            std::string premier, second;
            pv >> premier >> second;
            EXPECT_EQ(sortie.back(), "bestmove " + premier + " ponder " + second);
        }
    }
}

TEST_F(Recherche, MoveText) {
    struct Cas {
        int code, majuscules;
        const char* texte;
    } cas[] = {
        {21, 1, "a1"},   {28, 1, "h1"},   {91, 1, "a8"},   {98, 1, "h8"},   {55, 0, "e4"},
        {160, 1, "e8Q"}, {160, 0, "e8q"}, {165, 1, "e1Q"}, {161, 1, "e8R"}, {162, 0, "e8b"},
        {128, 1, "a1N"}, {146, 0, "c1r"}, {-63, 1, "h8N"},  // an 8-bit field widened with its sign: 193
    };
    for (const Cas& c : cas) {
        PROMOTEINUPPERCASE = c.majuscules;
        std::string texte = "x";
        affiche_case(texte, c.code);
        EXPECT_EQ(texte, std::string("x") + c.texte) << c.code;
    }
    PROMOTEINUPPERCASE = 1;
    EXPECT_EQ(texte_coup({85, 160}), "e7e8Q");
    EXPECT_EQ(texte_coup({34, 148}), "d2c1N");  // Black d2 takes c1 and becomes a knight
    EXPECT_EQ(texte_coup({25, 27}), "e1g1");
}

TEST_F(Recherche, InfoAndBestmoveLines) {
    struct Cas {
        int score, longest;
        const char* debut;
    } cas[] = {
        {25, 0, "score cp 25"},    {-35, 2, "score cp -35"},   {MAT, 1, "score mate 1"},
        {MAT, 3, "score mate 2"},  {-MAT, 4, "score mate -2"}, {MAT, 0, "score mate 3"},  // counted on the line
        {-MAT, 0, "score mate -3"},
    };
    for (const Cas& c : cas) {
        init_variation();
        P_VARIATION.suivant = new variation{35, 55, new variation{85, 65, new variation{27, 46, nullptr}}};
        PROFONDEUR = 3;
        POSITIONS = 1234;
        LONGEST = c.longest;
        CaptureSortie capture;
        affiche_info(c.score);
        EXPECT_EQ(capture.texte, std::string("info depth 3 ") + c.debut + " nodes 1234 pv e2e4 e7e5 g1f3 \n");
    }
    init_variation();
    PROFONDEUR = 9;
    POSITIONS = 5000000000LL;  // node counts beyond 32 bits
    {
        CaptureSortie capture;
        affiche_info(0);
        EXPECT_EQ(capture.texte, "info depth 9 score cp 0 nodes 5000000000 pv \n");
    }
    struct Fin {
        coup meilleur, ponder;
        const char* attendu;
    } fins[] = {
        {{35, 55}, {85, 65}, "bestmove e2e4 ponder e7e5\n"},
        {{35, 55}, {0, 0}, "bestmove e2e4\n"},
        {{85, 160}, {98, 97}, "bestmove e7e8Q ponder h8g8\n"},
        {{0, 0}, {0, 0}, "bestmove (none)\n"},
    };
    for (const Fin& f : fins) {
        BEST_COUP = f.meilleur;
        PONDER_COUP = f.ponder;
        CaptureSortie capture;
        affiche_coup();
        EXPECT_EQ(capture.texte, f.attendu);
    }
}

}  // namespace
