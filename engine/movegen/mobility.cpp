// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>

#include "counting.h"

using namespace comptes;

namespace {

// Both sides' counts: pieces, then castling and en passant terms.
std::pair<int, int> mobilites() {
    const comptage blanc = compter_pieces<BLANC>();
    const comptage noir = compter_pieces<NOIR>();
    int blancs = blanc.coups, noirs = noir.coups;
    if (droits_de_roque()) {
        const roques r = roques_actuels();
        const bitboard echec = en_echec(blanc.attaques, noir.attaques, JEU.OCCUPATION_BB, pieces_bb(-ROI), JEU.TRAIT);
        blancs += termes_roque(r, echec, BLANC);
        noirs += termes_roque(r, echec, NOIR);
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
