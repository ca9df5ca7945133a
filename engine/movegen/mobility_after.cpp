// SPDX-License-Identifier: GPL-3.0-or-later
// The mobility after a move of the side to move, without making it: most
// evaluated positions are leaves, scored this way.
#include <type_traits>

#include "counting.h"

using namespace comptes;

namespace {

// The position the children of a node are played from: the attack set and
// count of each piece but the pawns, by square, the pawns' counts, and what
// the castling terms of a child see there as long as its move leaves their
// squares alone.
struct parent_feuilles {
    bitboard attaques[64];
    int coups[64];
    int totaux[2];
    bitboard cavaliers, rois, diagonales, lignes, pieces;  // both sides, pawns apart
    bitboard glissades;                                    // every square some slider attacks
    comptage pions[2];
    bitboard cases_des_pions[2];  // a side's pawns and the squares whose occupant decides their moves
    bitboard gardiens[64];        // on a castling square's bit: the pieces attacking it
    roques droits;                // the castling rights and the squares their terms look at
    bitboard cases_roque;
    bitboard en_echec;  // with the other side to move, as in the children
    int termes[2];      // the castling terms of a child that leaves their squares alone
    int depart;         // the last move's from-square and the pieces reaching it
    bitboard attaquants_depart;
    bool pret;     // filled in when the first child is counted
    bool directe;  // few children: each is counted afresh
};
// Each search thread scores its own leaves.
thread_local constinit parent_feuilles P{};

constexpr bitboard CASES_ROQUE = CASES_PETIT_BLANC | CASES_GRAND_BLANC | CASES_PETIT_NOIR | CASES_GRAND_NOIR;
constexpr bitboard COINS = cases({21, 28, 91, 98});
// Up to this many children, counting each afresh costs less than taking the
// parent's attack sets first.
constexpr int ENFANTS_COMPTES_DIRECTEMENT = 12;

// The squares the castling terms of these rights look at.
bitboard cases_de(const roques& r) {
    return (r.petit_blanc != 0 ? CASES_PETIT_BLANC : 0) | (r.grand_blanc != 0 ? CASES_GRAND_BLANC : 0) |
           (r.petit_noir != 0 ? CASES_PETIT_NOIR : 0) | (r.grand_noir != 0 ? CASES_GRAND_NOIR : 0);
}

// The pieces (pawns apart) whose attack set holds bit b.
bitboard attaquants(int b) {
    bitboard a = (ATTAQUES_CAVALIER[b] & P.cavaliers) | (ATTAQUES_ROI[b] & P.rois);
    if ((P.glissades >> b & 1) != 0)
        a |= (attaques_fou(b, JEU.OCCUPATION_BB) & P.diagonales) | (attaques_tour(b, JEU.OCCUPATION_BB) & P.lignes);
    return a;
}

// The castling rights after a move: a right goes with its king and its rook.
roques roques_apres(int depart, int arrivee, int piece) {
    roques r = roques_actuels();
    if (piece == ROI) r.petit_blanc = r.grand_blanc = 0;
    if (piece == -ROI) r.petit_noir = r.grand_noir = 0;
    const bitboard touchees = (bitboard{1} << bit_de_case(depart)) | (bitboard{1} << bit_de_case(arrivee));
    if ((touchees & COINS) != 0) {
        auto garde = [&](int droit, int c, int tour) {
            return (c == arrivee ? piece : c == depart ? VIDE : JEU.ECHIQUIER[c]) == tour ? droit : 0;
        };
        r = {garde(r.petit_blanc, 28, TOUR_P), garde(r.grand_blanc, 21, TOUR_P), garde(r.petit_noir, 98, -TOUR_P),
             garde(r.grand_noir, 91, -TOUR_P)};
    }
    return r;
}

// Attacks of a slider on bit b: along diagonals, lines or both.
bitboard attaques_glisseur(bool diagonale, bool ligne, int b, bitboard occupation) {
    return (diagonale ? attaques_fou(b, occupation) : 0) | (ligne ? attaques_tour(b, occupation) : 0);
}

void remplir_parent() {
    P.pret = true;
    const bitboard dames = pieces_bb(REINE) | pieces_bb(-REINE);
    P.cavaliers = pieces_bb(CAVALIER_P) | pieces_bb(-CAVALIER_P);
    P.rois = pieces_bb(ROI) | pieces_bb(-ROI);
    P.diagonales = pieces_bb(FOU_P) | pieces_bb(-FOU_P) | dames;
    P.lignes = pieces_bb(TOUR_P) | pieces_bb(-TOUR_P) | dames;
    P.pieces = P.cavaliers | P.rois | P.diagonales | P.lignes;
    const bitboard blancs = pieces_bb(PION_P), noirs = pieces_bb(-PION_P);
    P.pions[0] = compter_pions<BLANC>(blancs, ~JEU.OCCUPATION_BB, JEU.CAMP_BB[1]);
    P.pions[1] = compter_pions<NOIR>(noirs, ~JEU.OCCUPATION_BB, JEU.CAMP_BB[0]);
    P.cases_des_pions[0] = blancs | P.pions[0].attaques | blancs << 8 | ((blancs << 8) & (RANGEE_2 | RANGEE_3)) << 8;
    P.cases_des_pions[1] = noirs | P.pions[1].attaques | noirs >> 8 | ((noirs >> 8) & (RANGEE_6 | RANGEE_7)) >> 8;
    P.droits = roques_actuels();
    P.cases_roque = cases_de(P.droits);
    const bool roques = P.cases_roque != 0;
    for (bitboard x = CASES_ROQUE; x != 0;) P.gardiens[bit_suivant(x)] = 0;
    P.glissades = 0;
    bitboard unions[2];
    for (int i = 0; i < 2; ++i) {
        const bitboard propres = JEU.CAMP_BB[i];
        unions[i] = P.pions[i].attaques;
        int total = 0;
        auto noter = [&](int b, bitboard a) {
            P.attaques[b] = a;
            P.coups[b] = std::popcount(a & ~propres);
            total += P.coups[b];
            unions[i] |= a;
            if (roques)
                for (bitboard x = a & CASES_ROQUE; x != 0;) P.gardiens[bit_suivant(x)] |= bitboard{1} << b;
        };
        for (bitboard x = P.cavaliers & propres; x != 0;) {
            const int b = bit_suivant(x);
            noter(b, ATTAQUES_CAVALIER[b]);
        }
        for (bitboard x = P.rois & propres; x != 0;) {
            const int b = bit_suivant(x);
            noter(b, ATTAQUES_ROI[b]);
        }
        for (bitboard x = P.diagonales & propres; x != 0;) {
            const int b = bit_suivant(x);
            const bitboard a = attaques_glisseur(true, P.lignes >> b & 1, b, JEU.OCCUPATION_BB);
            P.glissades |= a;
            noter(b, a);
        }
        for (bitboard x = P.lignes & ~P.diagonales & propres; x != 0;) {
            const int b = bit_suivant(x);
            const bitboard a = attaques_tour(b, JEU.OCCUPATION_BB);
            P.glissades |= a;
            noter(b, a);
        }
        P.totaux[i] = total;
    }
    P.en_echec = en_echec(unions[0], unions[1], JEU.OCCUPATION_BB, pieces_bb(-ROI), -JEU.TRAIT);
    P.termes[0] = termes_roque(P.droits, P.en_echec, BLANC);
    P.termes[1] = termes_roque(P.droits, P.en_echec, NOIR);
    P.depart = -1;
}

// The counts after the move, en passant terms apart, counted afresh on the
// board with the move's pieces shifted.
int compter_directement(int depart, int arrivee) {
    const int piece = JEU.ECHIQUIER[depart], prise = JEU.ECHIQUIER[arrivee];
    const bitboard de = bitboard{1} << bit_de_case(depart), a = bitboard{1} << bit_de_case(arrivee);
    const int m = piece > 0 ? 0 : 1;
    // The same bits flip both ways: the piece leaves de for a, the piece
    // taken leaves a, and de empties (a too when nothing is taken).
    auto deplacer = [&] {
        JEU.PIECES_BB[piece + 6] ^= de | a;
        JEU.CAMP_BB[m] ^= de | a;
        if (prise != VIDE) {
            JEU.PIECES_BB[prise + 6] ^= a;
            JEU.CAMP_BB[1 - m] ^= a;
            JEU.OCCUPATION_BB ^= de;
        } else {
            JEU.OCCUPATION_BB ^= de | a;
        }
    };
    deplacer();
    const comptage blanc = compter_pieces<BLANC>();
    const comptage noir = compter_pieces<NOIR>();
    int blancs = blanc.coups, noirs = noir.coups;
    if (droits_de_roque()) {
        const roques r = roques_apres(depart, arrivee, piece);
        const bitboard echec = en_echec(blanc.attaques, noir.attaques, JEU.OCCUPATION_BB, pieces_bb(-ROI), -JEU.TRAIT);
        blancs += termes_roque(r, echec, BLANC);
        noirs += termes_roque(r, echec, NOIR);
    }
    deplacer();
    return blancs - noirs;
}

// The counts after a move of side m (0 White, 1 Black), en passant terms
// apart, from the parent's attack sets; the castling terms are judged only
// when some right is held. Both are template arguments so that each side's
// sums have fixed places. One function, as long as it is: the hottest code
// of the search, whose parts share the move's sets in registers.
template <int m, bool roques_en_jeu>
int compter_incremental(int depart, int arrivee) {
    constexpr int o = 1 - m;  // the side that does not move
    const int piece = JEU.ECHIQUIER[depart], prise = JEU.ECHIQUIER[arrivee];
    const int bit_depart = bit_de_case(depart), bit_arrivee = bit_de_case(arrivee);
    const bitboard de = bitboard{1} << bit_depart, a = bitboard{1} << bit_arrivee;
    const bitboard occupation = (JEU.OCCUPATION_BB & ~de) | a;
    bitboard camps[2];
    camps[m] = (JEU.CAMP_BB[m] & ~de) | a;
    camps[o] = JEU.CAMP_BB[o] & ~a;

    // Pawns count again only when the move concerns one or a square in front
    // of one or on its diagonals.
    comptage pions[2] = {P.pions[0], P.pions[1]};
    if (((de | a) & P.cases_des_pions[0]) != 0) {
        bitboard blancs = pieces_bb(PION_P) & ~a;
        if (piece == PION_P) blancs |= a;
        pions[0] = compter_pions<BLANC>(blancs & ~de, ~occupation, camps[1]);
    }
    if (((de | a) & P.cases_des_pions[1]) != 0) {
        bitboard noirs = pieces_bb(-PION_P) & ~a;
        if (piece == -PION_P) noirs |= a;
        pions[1] = compter_pions<NOIR>(noirs & ~de, ~occupation, camps[0]);
    }

    // Knights and kings that stay keep their attack sets: they count one more
    // move when the square they attack is emptied of their own piece, one
    // fewer when their own piece lands on it, one more when their piece on it
    // is taken.
    if (P.depart != bit_depart) {
        P.depart = bit_depart;
        P.attaquants_depart = attaquants(bit_depart);
    }
    const bitboard attaquants_arrivee = attaquants(bit_arrivee);
    const bitboard sauteurs = (P.cavaliers | P.rois) & ~de;
    int totaux[2] = {P.totaux[0], P.totaux[1]};
    totaux[m] += std::popcount(P.attaquants_depart & sauteurs & JEU.CAMP_BB[m]) -
                 std::popcount(attaquants_arrivee & sauteurs & JEU.CAMP_BB[m]);
    if (prise != VIDE) totaux[o] += std::popcount(attaquants_arrivee & sauteurs & JEU.CAMP_BB[o]);

    // Sliders through either square, the piece moved and the piece taken are
    // counted again.
    bitboard anciennes[2] = {0, 0}, nouvelles[2] = {0, 0};
    auto recompter = [&](int i, int q, bitboard n) {
        totaux[i] += std::popcount(n & ~camps[i]) - P.coups[q];
        if constexpr (roques_en_jeu) {
            anciennes[i] |= P.attaques[q];
            nouvelles[i] |= n;
        }
    };
    const bitboard glisseurs = (P.attaquants_depart | attaquants_arrivee) & (P.diagonales | P.lignes) & ~(de | a);
    auto glisseurs_du_camp = [&](auto i) {
        for (bitboard x = glisseurs & JEU.CAMP_BB[i]; x != 0;) {
            const int q = bit_suivant(x);
            recompter(i, q, attaques_glisseur(P.diagonales >> q & 1, P.lignes >> q & 1, q, occupation));
        }
    };
    glisseurs_du_camp(std::integral_constant<int, 0>{});
    glisseurs_du_camp(std::integral_constant<int, 1>{});
    if ((de & P.pieces) != 0) {
        const bitboard n = (de & P.cavaliers) != 0 ? ATTAQUES_CAVALIER[bit_arrivee]
                           : (de & P.rois) != 0    ? ATTAQUES_ROI[bit_arrivee]
                                                   : attaques_glisseur((de & P.diagonales) != 0, (de & P.lignes) != 0,
                                                                       bit_arrivee, occupation);
        recompter(m, bit_depart, n);
    }
    if ((a & P.pieces) != 0) recompter(o, bit_arrivee, 0);
    int blancs = pions[0].coups + totaux[0], noirs = pions[1].coups + totaux[1];

    if constexpr (roques_en_jeu) {
        // A castling square keeps what it had unless the move lands on it,
        // leaves it or changes what attacks it: then it is judged again.
        const bool memes_droits = ((de | a) & (COINS | P.rois)) == 0;
        const roques r = memes_droits ? P.droits : roques_apres(depart, arrivee, piece);
        const bitboard regardees = memes_droits ? P.cases_roque : cases_de(r);
        bitboard remuees = de | a;
        for (int i = 0; i < 2; ++i) remuees |= (anciennes[i] ^ nouvelles[i]) | (pions[i].attaques ^ P.pions[i].attaques);
        remuees &= regardees;
        if (memes_droits && remuees == 0) {
            blancs += P.termes[0];
            noirs += P.termes[1];
        } else {
            bitboard echec = P.en_echec;
            const bitboard recomptees = glisseurs | de | a;
            const bitboard roi_noir = piece == -ROI ? a : pieces_bb(-ROI) & ~de;
            for (bitboard x = remuees; x != 0;) {
                const int q = bit_suivant(x);
                const bitboard c = bitboard{1} << q;
                const int i = (roi_noir & c) != 0 ? 0 : (occupation & c) != 0 ? 1 : m;
                const bool attaquee = ((pions[i].attaques | nouvelles[i]) & c) != 0 ||
                                      (P.gardiens[q] & JEU.CAMP_BB[i] & ~recomptees) != 0;
                echec = attaquee ? echec | c : echec & ~c;
            }
            blancs += termes_roque(r, echec, BLANC);
            noirs += termes_roque(r, echec, NOIR);
        }
    }
    return blancs - noirs;
}

// The counts after the move, en passant terms apart.
int compter_apres(int depart, int arrivee) {
    if (P.directe) return compter_directement(depart, arrivee);
    if (!P.pret) remplir_parent();
    const bool blanc = JEU.ECHIQUIER[depart] > 0;
    if (P.cases_roque != 0)
        return blanc ? compter_incremental<0, true>(depart, arrivee) : compter_incremental<1, true>(depart, arrivee);
    return blanc ? compter_incremental<0, false>(depart, arrivee) : compter_incremental<1, false>(depart, arrivee);
}

}  // namespace

void preparer_mobilites(int enfants) {
    P.pret = false;
    P.directe = enfants <= ENFANTS_COMPTES_DIRECTEMENT;
}

int difference_de_mobilite_apres(int depart, int arrivee) {
    const int piece = JEU.ECHIQUIER[depart];
    int blancs = 0, noirs = 0;
    if (piece == PION_P || piece == -PION_P) compter_en_passant(depart, arrivee, piece, &blancs, &noirs);
    return compter_apres(depart, arrivee) + blancs - noirs;
}
