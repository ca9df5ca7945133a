// Evaluation, alpha-beta search and the iterative-deepening driver.
#include <tuple>

#include "movegen.h"
#include "search.h"
#include "support.h"

namespace {

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

TEST_F(Recherche, Eval) {
    // Kings only: White's king on e4 has 8 moves, Black's on h8 has 3.
    const char* cinq = "fen 7k/8/8/8/4K3/8/8/8 w - - 0 1";
    const char* moins_sept = "fen n7/8/8/4k3/8/8/8/7K w - - 0 1";  // Kh1 3 against Ke5 8 + Nb6, Nc7
    const std::tuple<const char*, int, int> cas[] = {
        {cinq, 1, 5}, {cinq, 2, 10}, {cinq, 0, 0}, {cinq, -1, 5}, {cinq, -3, 1}, {cinq, -6, 0},
        {moins_sept, -3, -302},  // the division truncates toward zero: not -303
        {"fen 7k/8/8/8/4K3/8/8/8 b - - 0 1", 1, -5},
        // White counts 22 (both castling terms), Black 20 (its king attacks f8 and d8).
        {"startpos", 1, 2},
        {"fen 4k3/8/8/8/8/8/8/3QK3 b - - 0 1", 0, -900},
    };
    for (const auto& [position, mobilite, attendu] : cas) {
        poser(position);
        MOBILITY = mobilite;
        EXPECT_EQ(eval(), attendu) << position << " mobility " << mobilite;
    }
    // White: 2 pawns, knight, bishop, rook. Black: 3 pawns, queen. One power
    // of ten per kind shows each count; zero and negative values are used as they come.
    MOBILITY = 0;
    PION = 1, CAVALIER = 10, FOU = 100, TOUR = 1000, DAME = 10000;
    poser("fen 4k3/ppp5/8/8/3q4/8/PP6/RNB1K3 b - - 0 1");
    EXPECT_EQ(eval(), 8891);
    PION = -50, CAVALIER = 0, FOU = 7, TOUR = 1, DAME = 0;
    EXPECT_EQ(eval(), -58);
    // A raised stop gives the sentinel whatever the side, and still counts.
    POSITIONS = 41;
    STOP = 1;
    EXPECT_EQ(eval(), SCORE_ARRET);
    EXPECT_EQ(POSITIONS, 42);
}

TEST_F(Recherche, DepthZeroLeavesAndCaptureExtension) {
    MOBILITY = 0;
    PROFONDEUR = 1;
    // Rd1 can take the queen on d4 (statically 500 - 900); the e7 pawn has only quiet moves.
    const char* dame = "fen 4k3/8/8/8/3q4/8/8/3RK3 w - - 0 1";
    const std::tuple<const char*, int, int, int, const char*> cas[] = {
        {dame, 0, 0, -400, ""},  // reached by a quiet move
        {dame, -1, 1, -400, ""},
        {dame, 0, 1, 500, "d1d4"},  // reached by a capture
        {"fen k7/4P3/8/8/8/8/8/K7 w - - 0 1", 0, 1, 900, "e7e8Q"},  // no capture: quiet moves, no stand-pat
    };
    for (const auto& [position, profondeur, extension, score, pv] : cas) {
        poser(position);
        init_variation();
        EXTENSION = extension;
        EXPECT_EQ(alphabeta(profondeur, -MAT, MAT, &P_VARIATION), score) << position << " depth " << profondeur;
        EXPECT_EQ(ligne_pv(), pv);
    }
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
        // Ra8 mate is quiet: found at depth 2 only (below).
        {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 2, MAT, 1, "a1a8"},
        {"fen R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 1, -MAT, 0, ""},
        // Ka2, Nf7 and Ng6 all allow Qb2 mate: the line still starts with Ka2.
        {"fen 1q5N/8/8/8/8/2k5/8/K7 w - - 0 1", 3, -MAT, 2, "a1a2"},
        // Stalemate scores -Draw for the side to move.
        {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 2, -200, 0, ""},
        // h2g1 brings the position back a third time: -Draw for White.
        {perpetuel, 3, -200, 0, "h2g1"},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        MOBILITY = c.mobilite;
        EXPECT_EQ(chercher(c.profondeur), c.score) << c.position;
        EXPECT_EQ(LONGEST, c.longest) << c.position;
        EXPECT_EQ(ligne_pv().substr(0, 4), c.pv) << c.position;
    }
    // Nothing is evaluated below a repetition.
    EXPECT_EQ(POSITIONS, 0);
    poser("fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
    EXPECT_NE(chercher(1), MAT);
    // Black's h4e1 repeats a third time: +Draw for Black. With every piece worth
    // nothing the other moves score 0, so the repetition is chosen.
    poser(perpetuel + " h2g1");
    PION = CAVALIER = FOU = TOUR = DAME = MOBILITY = 0;
    EXPECT_EQ(chercher(1), 200);
    EXPECT_EQ(ligne_pv(), "h4e1");
    // A stop already raised: nothing is played, evaluated or linked.
    STOP = 1;
    EXPECT_EQ(chercher(3), SCORE_ARRET);
    EXPECT_EQ(P_VARIATION.suivant, nullptr);
    EXPECT_EQ(POSITIONS, 0);
}

TEST_F(Recherche, SearchLeavesThePositionAsItFoundIt) {
    // Castling rights, a FEN en passant square, promotions with and without capture.
    for (const char* position : {"fen r3k2r/1P6/8/3pP3/8/8/6p1/R3K2R w KQkq d6 0 1",
                                 "startpos moves e2e4 d7d5 e4e5 f7f5 g1f3 g8f6 f1c4 b8c6"}) {
        poser(position);
        auto partie = [] {
            std::vector<int> v = etat();
            for (int i = 0; i <= FIN_LISTE_PARTIE; ++i)
                v.insert(v.end(), {PARTIE[i].depart, PARTIE[i].arrivee, PARTIE[i].piece_prise,
                                   ECHIQUIERS[i].nb_occurrences, cmp_mem(ECHIQUIERS[i].cases, ECHIQUIERS[0].cases, 80)});
            return v;
        };
        const std::vector<int> avant = partie();
        chercher(3);
        EXPECT_EQ(partie(), avant) << position;
    }
}

TEST_F(Recherche, DriverLines) {
    struct Cas {
        const char* position;
        int limite, fixe, stop;
        std::vector<const char*> attendu;
    } cas[] = {
        // Depth 1: 20 leaves. After e2e3 White counts 32 moves to Black's 20;
        // e2e4 scores the same but comes later.
        {"startpos", 3, 0, 0,
         {"info depth 1 score cp 12 nodes 20 pv e2e3 ", "info depth 2 score cp * nodes * pv * * ",
          "info depth 3 score cp * nodes * pv * * * ", "bestmove * ponder *"}},
        {"startpos", 3, 1, 0, {"info depth 3 score cp * nodes * pv * * * ", "bestmove * ponder *"}},
        // Mate in one: the mate form, no deeper depth, no ponder for a one-move line.
        {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 5, 0, 0,
         {"info depth 1 score cp * ", "info depth 2 score mate 1 nodes * pv a1a8 ", "bestmove a1a8"}},
        {"fen 1q5N/8/8/8/8/2k5/8/K7 w - - 0 1", 6, 0, 0,
         {"info depth 1 score cp * ", "info depth 2 score cp * ", "info depth 3 score mate -1 nodes * pv a1a2 * ",
          "bestmove a1a2 ponder *"}},
        {"fen R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 3, 0, 0, {"info depth 1 score mate * pv ", "bestmove (none)"}},
        {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 2, 0, 0,
         {"info depth 1 score cp -200 nodes 0 pv ", "info depth 2 score cp -200 nodes 0 pv ", "bestmove (none)"}},
        // No depth completes: the first legal move in search order. The knight's
        // capture on c3 is pinned, so fxg5 comes before every quiet move.
        {"fen 4r2k/8/8/6p1/5P2/2p5/4N3/4K3 w - - 0 1", 5, 0, 1, {"bestmove f4g5"}},
        {"startpos", 0, 0, 0, {"bestmove b1c3"}},
        {"fen R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 4, 0, 1, {"bestmove (none)"}},
    };
    for (const Cas& c : cas) {
        poser(c.position);
        BEST_COUP = {35, 55};  // left by an earlier search
        PONDER_COUP = {85, 65};
        PROFONDEUR = c.limite;
        PROFONDEUR_FIXE = c.fixe;
        STOP = c.stop;
        CALCUL = 1;
        CaptureSortie capture;
        joue();
        auto sortie = lignes(capture.texte);
        ASSERT_EQ(sortie.size(), c.attendu.size()) << c.position << "\n" << capture.texte;
        for (size_t i = 0; i < sortie.size(); ++i) EXPECT_TRUE(correspond(sortie[i].c_str(), c.attendu[i])) << sortie[i];
        EXPECT_EQ(std::vector<int>({CALCUL, STOP, PROFONDEUR}), std::vector<int>({0, c.stop, c.limite}));
        STOP = 0;
    }
}

TEST_F(Recherche, MoveAndInfoText) {
    const std::tuple<int, int, const char*> textes[] = {
        {21, 1, "a1"},   {98, 1, "h8"},   {55, 0, "e4"},   {160, 1, "e8Q"}, {160, 0, "e8q"},
        {165, 1, "e1Q"}, {161, 1, "e8R"}, {162, 0, "e8b"}, {146, 0, "c1r"}, {-63, 1, "h8N"},  // a signed byte: 193
    };
    for (const auto& [code, majuscules, attendu] : textes) {
        PROMOTEINUPPERCASE = majuscules;
        std::string texte = "x";
        affiche_case(texte, code);
        EXPECT_EQ(texte, std::string("x") + attendu) << code;
    }
    PROMOTEINUPPERCASE = 1;
    const std::tuple<int, int, const char*> infos[] = {
        {-35, 2, "score cp -35"}, {MAT, 1, "score mate 1"}, {MAT, 3, "score mate 2"},
        {-MAT, 4, "score mate -2"}, {MAT, 0, "score mate 3"},  // counted on the line
    };
    for (const auto& [score, longest, debut] : infos) {
        init_variation();
        P_VARIATION.suivant = new variation{35, 55, new variation{85, 65, new variation{27, 46, nullptr}}};
        PROFONDEUR = 3;
        POSITIONS = 5000000000LL;  // node counts beyond 32 bits
        LONGEST = longest;
        CaptureSortie capture;
        affiche_info(score);
        EXPECT_EQ(capture.texte, std::string("info depth 3 ") + debut + " nodes 5000000000 pv e2e4 e7e5 g1f3 \n");
    }
}

}  // namespace

// Leaves are scored without being made, from the position they are played
// from: counted afresh for a few children, from the parent's attack sets for
// many. On the perft positions, a few bare ones where the pieces reach nearly
// all they can, and every position one move from them, with several option
// settings, each way must give what the made move evaluates to. A leaf is
// left uncounted only when its score cannot beat the best one so far.
TEST_F(Recherche, LeavesScoredWithoutBeingMadeAgreeWithMadeMoves) {
    auto coups = [] {
        liste_coups calmes, prises;
        init_liste(&calmes);
        init_liste(&prises);
        generer_liste(&calmes, &prises);
        std::vector<coup> v(prises.coups, prises.coups + prises.nb_coups);
        v.insert(v.end(), calmes.coups, calmes.coups + calmes.nb_coups);
        return v;
    };
    int comparees = 0;
    std::vector<std::string> positions = positions_perft();
    positions.insert(positions.end(), {"fen k7/8/5K2/8/3Q4/8/8/8 w - - 0 1", "fen 8/8/2nbk3/8/8/3NBK2/8/8 b - - 0 1"});
    for (const std::string& position : positions) {
        poser(position);
        std::vector<std::string> depuis = {position};
        for (const coup m : coups())
            if (legal_une_fois_joue(m)) depuis.push_back(position + " moves " + texte_coup(m));
        for (const std::string& p : depuis) {
            for (const int mobilite : {1, -3, 9}) {
                for (const int enfants : {1, 100}) {
                    poser(p);
                    MOBILITY = mobilite;
                    preparer_feuilles(enfants);
                    for (const coup m : coups()) {
                        if (m.arrivee >= PREMIER_CODE_PROMOTION || roque_ou_en_passant(m) || !legal_une_fois_joue(m)) continue;
                        ajoute_coup_partie(m.depart, m.arrivee);
                        inverse_trait();
                        const int attendu = evaluation();
                        inverse_trait();
                        retire_coup_partie();
                        ASSERT_EQ(evaluation_apres(m.depart, m.arrivee), attendu)
                            << p << " then " << texte_coup(m) << ", mobility " << mobilite << ", " << enfants;
                        const int64_t positions_avant = POSITIONS;
                        ASSERT_EQ(score_feuille(m.depart, m.arrivee, -attendu - 1), -attendu)
                            << p << " then " << texte_coup(m) << ", mobility " << mobilite;
                        EXPECT_LE(score_feuille(m.depart, m.arrivee, -attendu + 1000), -attendu + 1000);
                        EXPECT_EQ(POSITIONS, positions_avant + 2);
                        ++comparees;
                    }
                }
            }
        }
    }
    EXPECT_GT(comparees, 50000);
}
