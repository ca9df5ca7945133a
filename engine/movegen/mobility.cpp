// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>

#include "counting.h"

using namespace comptes;

namespace {

// Both sides' castling terms in Chess960, where a term looks at the king's
// square, those it crosses and the one it lands on, wherever the king stands.
// Out of line, so that the standard count keeps its code.
[[gnu::cold, gnu::noinline]] std::pair<int, int> termes_roque_960(const roques& r, bitboard en_echec) {
    auto terme = [en_echec](int droit, int roi, int arrivee) {
        const int b = bit_de_case(roi), a = bit_de_case(arrivee);
        return droit != 0 && (en_echec & (ENTRE[b][a] | bitboard{1} << b | bitboard{1} << a)) == 0 ? 1 : 0;
    };
    return {terme(r.petit_blanc, JEU.ROI_BLANC, 27) + terme(r.grand_blanc, JEU.ROI_BLANC, 23),
            terme(r.petit_noir, JEU.ROI_NOIR, 97) + terme(r.grand_noir, JEU.ROI_NOIR, 93)};
}

// Both sides' counts: pieces, then castling and en passant terms.
std::pair<int, int> mobilites() {
    const comptage blanc = compter_pieces<BLANC>();
    const comptage noir = compter_pieces<NOIR>();
    int blancs = blanc.coups, noirs = noir.coups;
    if (droits_de_roque()) {
        const roques r = roques_actuels();
        const bitboard echec = en_echec(blanc.attaques, noir.attaques, JEU.OCCUPATION_BB, pieces_bb(-ROI), JEU.TRAIT);
        if (JEU.CHESS960) {
            const auto [b, n] = termes_roque_960(r, echec);
            blancs += b;
            noirs += n;
        } else {
            blancs += termes_roque(r, echec, BLANC);
            noirs += termes_roque(r, echec, NOIR);
        }
    }
    int de, a;
    if (dernier_coup(&de, &a)) compter_en_passant(de, a, JEU.ECHIQUIER[a], &blancs, &noirs);
    return {blancs, noirs};
}

}  // namespace

int nb_de_coups_possibles(int camp) {
    const auto [blancs, noirs] = mobilites();
    return camp == BLANC ? blancs : noirs;
}

int difference_de_mobilite() {
    const auto [blancs, noirs] = mobilites();
    return blancs - noirs;
}
