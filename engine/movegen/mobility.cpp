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
    int coups;
    bitboard attaques;  // every square a piece of the side attacks
};

// Moves of every piece of one side (castling apart): a piece move counts for
// each empty or enemy square it reaches, a pawn for its advances and captures.
template <int camp>
comptage compter_pieces() {
    const bitboard propres = CAMP_BB[camp == BLANC ? 0 : 1];
    const bitboard ennemis = CAMP_BB[camp == BLANC ? 1 : 0];
    const bitboard vides = ~OCCUPATION_BB;
    int n = 0;
    bitboard att = 0;

    const bitboard pions = pieces_bb(PION_P * camp);
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
    n += std::popcount(un) + std::popcount(deux) + std::popcount(est & ennemis) + std::popcount(ouest & ennemis);
    att |= est | ouest;

    const bitboard accessibles = ~propres;
    for (bitboard x = pieces_bb(CAVALIER_P * camp); x != 0;) {
        bitboard a = ATTAQUES_CAVALIER[bit_suivant(x)];
        att |= a;
        n += std::popcount(a & accessibles);
    }
    const bitboard dames = pieces_bb(REINE * camp);
    for (bitboard x = pieces_bb(FOU_P * camp) | dames; x != 0;) {
        bitboard a = attaques_fou(bit_suivant(x), OCCUPATION_BB);
        att |= a;
        n += std::popcount(a & accessibles);
    }
    for (bitboard x = pieces_bb(TOUR_P * camp) | dames; x != 0;) {
        bitboard a = attaques_tour(bit_suivant(x), OCCUPATION_BB);
        att |= a;
        n += std::popcount(a & accessibles);
    }
    for (bitboard x = pieces_bb(ROI * camp); x != 0;) {
        bitboard a = ATTAQUES_ROI[bit_suivant(x)];
        att |= a;
        n += std::popcount(a & accessibles);
    }
    return {n, att};
}

// En passant captures that each side could count: the last move a double step
// of an enemy pawn now standing beside a pawn of the side.
void compter_en_passant(int* blancs, int* noirs) {
    int de, a;
    if (!dernier_coup(&de, &a)) return;
    const int* b = ECHIQUIER;
    if (de == a + 20 && a >= 61 && a <= 68 && b[a] == -PION_P) *blancs += (b[a - 1] == PION_P) + (b[a + 1] == PION_P);
    if (de == a - 20 && a >= 51 && a <= 58 && b[a] == PION_P) *noirs += (b[a - 1] == -PION_P) + (b[a + 1] == -PION_P);
}

// The castling terms ask is_roi_echec about squares that need not be empty:
// a square holding the black king is tested for White's attacks, any other
// piece for Black's, an empty square for the side not to move's.
bitboard cases_en_echec(bitboard att_blancs, bitboard att_noirs) {
    const bitboard roi_noir = pieces_bb(-ROI);
    const bitboard autres = OCCUPATION_BB & ~roi_noir;
    const bitboard vides = ~OCCUPATION_BB;
    return (roi_noir & att_blancs) | (autres & att_noirs) | (vides & (TRAIT == BLANC ? att_noirs : att_blancs));
}

constexpr bitboard cases(std::initializer_list<int> liste) {
    bitboard b = 0;
    for (int c : liste) b |= bitboard{1} << bit_de_case(c);
    return b;
}

int termes_roque(int camp, bitboard en_echec) {
    if (camp == BLANC)
        return (PETIT_ROQUE_BLANC == 1 && (en_echec & cases({25, 26, 27})) == 0) +
               (GRAND_ROQUE_BLANC == 1 && (en_echec & cases({25, 24, 23})) == 0);
    return (PETIT_ROQUE_NOIR == 1 && (en_echec & cases({95, 96, 97})) == 0) +
           (GRAND_ROQUE_NOIR == 1 && (en_echec & cases({95, 94, 93})) == 0);
}

// Both sides' counts: pieces, then castling and en passant terms.
std::pair<int, int> mobilites() {
    const comptage blanc = compter_pieces<BLANC>();
    const comptage noir = compter_pieces<NOIR>();
    int blancs = blanc.coups, noirs = noir.coups;
    if (droits_de_roque()) {
        const bitboard en_echec = cases_en_echec(blanc.attaques, noir.attaques);
        blancs += termes_roque(BLANC, en_echec);
        noirs += termes_roque(NOIR, en_echec);
    }
    compter_en_passant(&blancs, &noirs);
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
