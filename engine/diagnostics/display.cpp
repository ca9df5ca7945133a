#include "diagnostics.h"
#include "position.h"
#include "sortie.h"

std::string piece(int valeur) {
    static const char blancs[] = ".RDTFCP";  // roi, dame, tour, fou, cavalier, pion
    static const char noirs[] = ".rdtfcp";
    if (valeur < -PION_P || valeur > PION_P) return "";
    char lettre = valeur >= 0 ? blancs[valeur] : noirs[-valeur];
    return std::string{lettre, ' '};
}

std::string texte_echiquier() {
    std::string texte;
    for (int rangee = 8; rangee >= 1; --rangee) {
        texte += '\n';
        texte += static_cast<char>('0' + rangee);
        texte += ' ';
        for (int colonne = 1; colonne <= 8; ++colonne) texte += piece(ECHIQUIER[case_de(colonne, rangee)]);
    }
    texte += "\n\n  a b c d e f g h\n\n";
    return texte;
}

void affiche_echiquier() { sortie_texte(texte_echiquier()); }
