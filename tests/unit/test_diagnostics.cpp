// The text board: French initials, White upper case, Black lower case.
#include <string>
#include <utility>

#include "diagnostics.h"
#include "support.h"

namespace {

const std::string LIGNE_COLONNES = "\n\n  a b c d e f g h\n\n";

}  // namespace

TEST(Affichage, PieceText) {
    const std::pair<int, const char*> cas[] = {
        {0, ". "},  {1, "R "},  {2, "D "},  {3, "T "},  {4, "F "},  {5, "C "},  {6, "P "},
        {-1, "r "}, {-2, "d "}, {-3, "t "}, {-4, "f "}, {-5, "c "}, {-6, "p "},
        {10, ""},   {7, ""},    {-7, ""},   {11, ""},   {-10, ""},
    };
    for (const auto& [valeur, texte] : cas) EXPECT_EQ(piece(valeur), texte) << "value " << valeur;
}

TEST(Affichage, StartPosition) {
    poser("startpos");
    const std::string attendu =
        "\n8 t c f d r f c t "
        "\n7 p p p p p p p p "
        "\n6 . . . . . . . . "
        "\n5 . . . . . . . . "
        "\n4 . . . . . . . . "
        "\n3 . . . . . . . . "
        "\n2 P P P P P P P P "
        "\n1 T C F D R F C T " +
        LIGNE_COLONNES;
    EXPECT_EQ(texte_echiquier(), attendu);
    CaptureSortie sortie;
    affiche_echiquier();
    EXPECT_EQ(sortie.texte, attendu);
}

TEST(Affichage, CustomPositionAndEmptyBoard) {
    poser("fen r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1");
    EXPECT_EQ(texte_echiquier(),
              "\n8 t . . . r . . t "
              "\n7 P p p p . p p p "
              "\n6 . f . . . c f C "
              "\n5 c P . . . . . . "
              "\n4 F F P . P . . . "
              "\n3 d . . . . C . . "
              "\n2 P p . P . . P P "
              "\n1 T . . D . T R . " +
                  LIGNE_COLONNES);

    vide_echiquier();
    std::string vide;
    for (int r = 8; r >= 1; --r) vide += "\n" + std::to_string(r) + " . . . . . . . . ";
    EXPECT_EQ(texte_echiquier(), vide + LIGNE_COLONNES);
    poser("startpos");
}
