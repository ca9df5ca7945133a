// The text board: French initials, White upper case, Black lower case.
#include "diagnostics.h"
#include "support.h"

TEST(Affichage, PieceTextAndBoard) {
    for (int v = -6; v <= 6; ++v) {
        const char lettre = (v < 0 ? ".rdtfcp" : ".RDTFCP")[v < 0 ? -v : v];
        EXPECT_EQ(piece(v), std::string(1, lettre) + " ") << v;
    }
    for (int v : {7, -7, 10}) EXPECT_EQ(piece(v), "") << v;

    poser("fen r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1");
    const std::string attendu =
        "\n8 t . . . r . . t \n7 P p p p . p p p \n6 . f . . . c f C \n5 c P . . . . . . "
        "\n4 F F P . P . . . \n3 d . . . . C . . \n2 P p . P . . P P \n1 T . . D . T R . "
        "\n\n  a b c d e f g h\n\n";
    EXPECT_EQ(texte_echiquier(), attendu);
    CaptureSortie sortie;
    affiche_echiquier();
    EXPECT_EQ(sortie.texte, attendu);
}
