// SPDX-License-Identifier: GPL-3.0-or-later
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
        for (int colonne = 1; colonne <= 8; ++colonne) texte += piece(JEU.ECHIQUIER[case_de(colonne, rangee)]);
    }
    texte += "\n\n  a b c d e f g h\n\n";
    return texte;
}

void affiche_echiquier() { sortie_texte(texte_echiquier()); }

namespace {

// The half-move clock: moves since the last capture or pawn move.
int demi_coups() {
    int n = 0;
    for (int i = JEU.FIN_LISTE_PARTIE; i >= 0; --i, ++n) {
        const coup_partie& m = JEU.PARTIE[i];
        // Castling in Chess960 is recorded as the king taking its own rook.
        const bool prise = m.piece_prise * m.piece_jouee < 0;
        if (prise || m.piece_jouee == PION_P || m.piece_jouee == -PION_P) return n;
    }
    return n + JEU.DEMI_COUPS_FEN;
}

}  // namespace

std::string texte_fen() {
    std::string fen;
    for (int rangee = 8; rangee >= 1; --rangee) {
        int vides = 0;
        for (int colonne = 1; colonne <= 8; ++colonne) {
            const int v = JEU.ECHIQUIER[case_de(colonne, rangee)];
            if (v == VIDE) {
                ++vides;
                continue;
            }
            if (vides > 0) fen += static_cast<char>('0' + vides);
            vides = 0;
            const char lettre = " KQRBNP"[v > 0 ? v : -v];
            fen += v > 0 ? lettre : static_cast<char>(lettre - 'A' + 'a');
        }
        if (vides > 0) fen += static_cast<char>('0' + vides);
        if (rangee > 1) fen += '/';
    }
    fen += JEU.TRAIT == BLANC ? " w " : " b ";
    const size_t roques = fen.size();
    // Chess960 names each right's rook by its file (Shredder-FEN), which reads
    // back to the same rook wherever the others stand.
    const int droits[4] = {JEU.PETIT_ROQUE_BLANC, JEU.GRAND_ROQUE_BLANC, JEU.PETIT_ROQUE_NOIR, JEU.GRAND_ROQUE_NOIR};
    for (int i = 0; i < 4; ++i) {
        if (droits[i] == 0) continue;
        const char lettre = JEU.CHESS960 ? static_cast<char>('A' + droits[i] % 10 - 1) : "KQ"[i % 2];
        fen += i < 2 ? lettre : static_cast<char>(lettre - 'A' + 'a');
    }
    if (fen.size() == roques) fen += '-';
    int de, a;
    const bool double_pas = dernier_coup(&de, &a) && (JEU.ECHIQUIER[a] == PION_P || JEU.ECHIQUIER[a] == -PION_P) &&
                            (a - de == 20 || de - a == 20);
    if (double_pas) {
        const int c = (de + a) / 2;
        fen += format_texte(" %c%d", 'a' + c % 10 - 1, c / 10 - 1);
    } else {
        fen += " -";
    }
    // Whole moves: the FEN's number, one more after each Black move since.
    const int joues = JEU.FIN_LISTE_PARTIE + 1;
    const int noir_au_debut = joues % 2 == 0 ? JEU.TRAIT == NOIR : JEU.TRAIT == BLANC;
    return fen + format_texte(" %d %d", demi_coups(), JEU.NUMERO_FEN + (joues + noir_au_debut) / 2);
}

std::string texte_position() {
    return texte_echiquier() + "Fen: " + texte_fen() + "\nSide to move: " + (JEU.TRAIT == BLANC ? "white" : "black") + "\n";
}
