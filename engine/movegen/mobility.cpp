#include <initializer_list>
#include <utility>

#include "movegen.h"
#include "tables.h"

namespace {

constexpr bitboard COLONNE_A = 0x0101010101010101ull;
constexpr bitboard COLONNE_H = COLONNE_A << 7;
constexpr bitboard RANGEE_2 = 0xFFull << 8;
constexpr bitboard RANGEE_3 = 0xFFull << 16;
constexpr bitboard RANGEE_6 = 0xFFull << 40;
constexpr bitboard RANGEE_7 = 0xFFull << 48;

struct comptage {
    int coups = 0;
    bitboard attaques = 0;  // every square a piece of the side attacks
};

// A pawn counts its advances and its captures; it attacks both diagonals
// whatever stands there.
template <int camp>
comptage compter_pions(bitboard pions, bitboard vides, bitboard ennemis) {
    bitboard un, deux, est, ouest;
    if constexpr (camp == BLANC) {
        un = (pions << 8) & vides;
        deux = ((un & (RANGEE_2 | RANGEE_3)) << 8) & vides;  // from ranks 1 and 2
        est = (pions & ~COLONNE_H) << 9;
        ouest = (pions & ~COLONNE_A) << 7;
    } else {
        un = (pions >> 8) & vides;
        deux = ((un & (RANGEE_6 | RANGEE_7)) >> 8) & vides;  // from ranks 7 and 8
        est = (pions & ~COLONNE_H) >> 7;
        ouest = (pions & ~COLONNE_A) >> 9;
    }
    return {std::popcount(un) + std::popcount(deux) + std::popcount(est & ennemis) + std::popcount(ouest & ennemis),
            est | ouest};
}

// Rook and bishop attack sets are disjoint, so a queen counts their union.
bitboard attaques_piece(int type, int b, bitboard occupation) {
    switch (type) {
        case CAVALIER_P: return ATTAQUES_CAVALIER[b];
        case FOU_P: return attaques_fou(b, occupation);
        case TOUR_P: return attaques_tour(b, occupation);
        case REINE: return attaques_fou(b, occupation) | attaques_tour(b, occupation);
        default: return ATTAQUES_ROI[b];
    }
}

// Moves of every piece of one side (castling apart): a piece move counts for
// each empty or enemy square it reaches, a pawn for its advances and captures.
template <int camp>
comptage compter_pieces() {
    const bitboard propres = CAMP_BB[camp == BLANC ? 0 : 1];
    const bitboard ennemis = CAMP_BB[camp == BLANC ? 1 : 0];
    comptage c = compter_pions<camp>(pieces_bb(PION_P * camp), ~OCCUPATION_BB, ennemis);

    const bitboard accessibles = ~propres;
    auto ajouter = [&](bitboard a) {
        c.attaques |= a;
        c.coups += std::popcount(a & accessibles);
    };
    for (bitboard x = pieces_bb(CAVALIER_P * camp); x != 0;) ajouter(ATTAQUES_CAVALIER[bit_suivant(x)]);
    const bitboard dames = pieces_bb(REINE * camp);
    for (bitboard x = pieces_bb(FOU_P * camp) | dames; x != 0;) ajouter(attaques_fou(bit_suivant(x), OCCUPATION_BB));
    for (bitboard x = pieces_bb(TOUR_P * camp) | dames; x != 0;) ajouter(attaques_tour(bit_suivant(x), OCCUPATION_BB));
    for (bitboard x = pieces_bb(ROI * camp); x != 0;) ajouter(ATTAQUES_ROI[bit_suivant(x)]);
    return c;
}

// En passant captures each side could count after the move de -> a that
// brought `arrive` there: a double step of a pawn now beside enemy pawns.
void compter_en_passant(int de, int a, int arrive, int* blancs, int* noirs) {
    const int* b = ECHIQUIER;
    if (arrive == -PION_P && de == a + 20 && a >= 61 && a <= 68) *blancs += (b[a - 1] == PION_P) + (b[a + 1] == PION_P);
    if (arrive == PION_P && de == a - 20 && a >= 51 && a <= 58) *noirs += (b[a - 1] == -PION_P) + (b[a + 1] == -PION_P);
}

constexpr bitboard cases(std::initializer_list<int> liste) {
    bitboard b = 0;
    for (int c : liste) b |= bitboard{1} << calculer_bit(c);
    return b;
}

struct roques {
    int petit_blanc, grand_blanc, petit_noir, grand_noir;
};

// The castling terms ask is_roi_echec about squares that need not be empty:
// a square holding the black king is tested for White's attacks, any other
// piece for Black's, an empty square for the side not to move's.
bitboard en_echec(const comptage& blanc, const comptage& noir, bitboard occupation, int trait) {
    const bitboard roi_noir = pieces_bb(-ROI);
    return (roi_noir & blanc.attaques) | (occupation & ~roi_noir & noir.attaques) |
           (~occupation & (trait == BLANC ? noir.attaques : blanc.attaques));
}

int termes_roque(const roques& r, bitboard en_echec, int camp) {
    if (camp == BLANC)
        return (r.petit_blanc == 1 && (en_echec & cases({25, 26, 27})) == 0) +
               (r.grand_blanc == 1 && (en_echec & cases({25, 24, 23})) == 0);
    return (r.petit_noir == 1 && (en_echec & cases({95, 96, 97})) == 0) +
           (r.grand_noir == 1 && (en_echec & cases({95, 94, 93})) == 0);
}

// Both sides' counts: pieces, then castling and en passant terms.
std::pair<int, int> mobilites() {
    const comptage blanc = compter_pieces<BLANC>();
    const comptage noir = compter_pieces<NOIR>();
    int blancs = blanc.coups, noirs = noir.coups;
    if (droits_de_roque()) {
        const roques r = {PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR};
        const bitboard echec = en_echec(blanc, noir, OCCUPATION_BB, TRAIT);
        blancs += termes_roque(r, echec, BLANC);
        noirs += termes_roque(r, echec, NOIR);
    }
    int de, a;
    if (dernier_coup(&de, &a)) compter_en_passant(de, a, ECHIQUIER[a], &blancs, &noirs);
    return {blancs, noirs};
}

// The position the children of a node are played from: the attack set and
// count of each piece but the pawns, by square, and what the castling terms
// of a child see there as long as its move leaves their squares alone.
struct parent_feuilles {
    bitboard attaques[64];
    int coups[64];
    int type[64];
    int totaux[2];
    bitboard pieces;  // both sides, pawns apart
    bitboard cavaliers, rois, diagonales, lignes;
    bitboard pions_attaques[2];
    bitboard en_echec;  // with the other side to move, as in the children
    bitboard gardiens;  // pieces attacking a castling square
    int depart;         // the last move's from-square and the pieces reaching it
    bitboard attaquants_depart;
};
parent_feuilles P;

constexpr bitboard CASES_ROQUE = cases({23, 24, 25, 26, 27, 93, 94, 95, 96, 97});
constexpr bitboard COINS = cases({21, 28, 91, 98});

// The pieces (pawns apart) whose attack set holds bit b.
bitboard attaquants(int b) {
    return (ATTAQUES_CAVALIER[b] & P.cavaliers) | (ATTAQUES_ROI[b] & P.rois) |
           (attaques_fou(b, OCCUPATION_BB) & P.diagonales) | (attaques_tour(b, OCCUPATION_BB) & P.lignes);
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

void preparer_mobilites() {
    comptage camps[2];
    P.gardiens = 0;
    for (int i = 0; i < 2; ++i) {
        const int camp = i == 0 ? BLANC : NOIR;
        const bitboard accessibles = ~CAMP_BB[i];
        camps[i].coups = 0;
        camps[i].attaques = P.pions_attaques[i] =
            camp == BLANC ? compter_pions<BLANC>(pieces_bb(PION_P), 0, 0).attaques
                          : compter_pions<NOIR>(pieces_bb(-PION_P), 0, 0).attaques;
        for (bitboard x = CAMP_BB[i] & ~pieces_bb(PION_P * camp); x != 0;) {
            const int b = bit_suivant(x);
            const int v = ECHIQUIER[case_de_bit(b)];
            const int type = v > 0 ? v : -v;
            const bitboard a = attaques_piece(type, b, OCCUPATION_BB);
            P.attaques[b] = a;
            P.type[b] = type;
            P.coups[b] = std::popcount(a & accessibles);
            camps[i].coups += P.coups[b];
            camps[i].attaques |= a;
            if ((a & CASES_ROQUE) != 0) P.gardiens |= bitboard{1} << b;
        }
        P.totaux[i] = camps[i].coups;
    }
    P.pieces = OCCUPATION_BB & ~(pieces_bb(PION_P) | pieces_bb(-PION_P));
    P.cavaliers = pieces_bb(CAVALIER_P) | pieces_bb(-CAVALIER_P);
    P.rois = pieces_bb(ROI) | pieces_bb(-ROI);
    const bitboard dames = pieces_bb(REINE) | pieces_bb(-REINE);
    P.diagonales = pieces_bb(FOU_P) | pieces_bb(-FOU_P) | dames;
    P.lignes = pieces_bb(TOUR_P) | pieces_bb(-TOUR_P) | dames;
    P.en_echec = en_echec(camps[0], camps[1], OCCUPATION_BB, -TRAIT);
    P.depart = -1;
}

int difference_de_mobilite_apres(int depart, int arrivee) {
    const int* b = ECHIQUIER;
    const int piece = b[depart], prise = b[arrivee];
    const int camp = indice_camp(piece > 0 ? BLANC : NOIR);
    const int bit_depart = bit_de_case(depart), bit_arrivee = bit_de_case(arrivee);
    const bitboard de = bitboard{1} << bit_depart, a = bitboard{1} << bit_arrivee;
    const bitboard occupation = (OCCUPATION_BB & ~de) | a;
    bitboard camps[2] = {CAMP_BB[0], CAMP_BB[1]};
    camps[camp] ^= de | a;
    camps[1 - camp] &= ~a;
    bitboard pions_blancs = pieces_bb(PION_P), pions_noirs = pieces_bb(-PION_P);
    if (piece == PION_P || prise == PION_P) pions_blancs &= ~a;
    if (piece == -PION_P || prise == -PION_P) pions_noirs &= ~a;
    if (piece == PION_P) pions_blancs ^= de | a;
    if (piece == -PION_P) pions_noirs ^= de | a;
    comptage c[2] = {compter_pions<BLANC>(pions_blancs, ~occupation, camps[1]),
                     compter_pions<NOIR>(pions_noirs, ~occupation, camps[0])};

    // Only the pieces reaching either square, the one moved and the one taken
    // change their counts; the moves of one piece come one after the other.
    if (P.depart != bit_depart) {
        P.depart = bit_depart;
        P.attaquants_depart = attaquants(bit_depart);
    }
    const bitboard changees = (P.attaquants_depart | attaquants(bit_arrivee) | de | a) & P.pieces;
    int totaux[2] = {P.totaux[0], P.totaux[1]};
    bitboard changements = 0, nouvelles[2] = {0, 0};
    for (bitboard x = changees; x != 0;) {
        const int q = bit_suivant(x);
        const int i = CAMP_BB[0] >> q & 1 ? 0 : 1;
        totaux[i] -= P.coups[q];
        if (q == bit_arrivee) {  // taken
            changements |= P.attaques[q];
            continue;
        }
        const bitboard n = attaques_piece(P.type[q], q == bit_depart ? bit_arrivee : q, occupation);
        changements |= P.attaques[q] ^ n;
        nouvelles[i] |= n;
        totaux[i] += std::popcount(n & ~camps[i]);
    }
    int blancs = c[0].coups + totaux[0], noirs = c[1].coups + totaux[1];

    if (droits_de_roque()) {
        // A right goes with its rook: the move may carry the rook away or take it.
        roques r = {PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR};
        if (((de | a) & COINS) != 0) {
            auto garde = [&](int droit, int c, int tour) {
                return (c == arrivee ? piece : c == depart ? VIDE : b[c]) == tour ? droit : 0;
            };
            r = {garde(r.petit_blanc, 28, TOUR_P), garde(r.grand_blanc, 21, TOUR_P), garde(r.petit_noir, 98, -TOUR_P),
                 garde(r.grand_noir, 91, -TOUR_P)};
        }
        // The squares keep their attackers unless an attack set changes on
        // them or the move lands on or leaves one of them.
        bitboard echec = P.en_echec;
        changements |= de | a | (c[0].attaques ^ P.pions_attaques[0]) | (c[1].attaques ^ P.pions_attaques[1]);
        if ((changements & CASES_ROQUE) != 0) {
            for (int i = 0; i < 2; ++i) {
                c[i].attaques |= nouvelles[i];
                for (bitboard x = P.gardiens & CAMP_BB[i] & ~changees; x != 0;)
                    c[i].attaques |= P.attaques[bit_suivant(x)];
            }
            echec = en_echec(c[0], c[1], occupation, -TRAIT);
        }
        blancs += termes_roque(r, echec, BLANC);
        noirs += termes_roque(r, echec, NOIR);
    }
    compter_en_passant(depart, arrivee, piece, &blancs, &noirs);
    return blancs - noirs;
}
