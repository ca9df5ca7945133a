// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables.h"

bitboard ATTAQUES_CAVALIER[64];
bitboard ATTAQUES_ROI[64];
bitboard ATTAQUES_PION[2][64];
magies MAGIES_TOUR;
magies MAGIES_FOU;
bitboard RAYON[8][64];
bitboard ENTRE[64][64];

namespace {

// Multipliers that map every blocker set of a square's rays to a distinct
// slot of its table (found once by a seeded random search).
const bitboard MULTIPLICATEURS_TOUR[64] = {
    0x1080004008801020ull, 0x0840092002c03000ull, 0x1900200010400900ull, 0x0880100008000480ull,
    0x4200100420080200ull, 0x8100020100080400ull, 0x0200040110886200ull, 0x0200008040220411ull,
    0x0404800084400220ull, 0x0000401000402000ull, 0x0086001081220440ull, 0x0408800800100280ull,
    0x000a001201040820ull, 0x8848800200840080ull, 0x4001000100040200ull, 0x0442000102105084ull,
    0x9080010020804100ull, 0x0040404000201009ull, 0x0000808010002009ull, 0x2200090021d00100ull,
    0x0008008008040080ull, 0x0004004002010040ull, 0x0011040008015042ull, 0x00000a0001768104ull,
    0x0000800080204009ull, 0x2010004140002001ull, 0x9800200280100080ull, 0x1000100080080080ull,
    0x0442000a00049020ull, 0x2100040080020080ull, 0x0800120400900148ull, 0x0010040a00128541ull,
    0x2800804000800030ull, 0x1010002000400041ull, 0x4000200011004100ull, 0x0610008410800800ull,
    0x0400802402800800ull, 0xc100020080800400ull, 0x0002000802000401ull, 0x0182085882000401ull,
    0x0220204000808000ull, 0x2860100040024022ull, 0x0001002004110040ull, 0x99101042000a0020ull,
    0x0004080004008080ull, 0x0010040002008080ull, 0x2012004881020004ull, 0x8300842444820011ull,
    0x0088403882010200ull, 0x0820400080210100ull, 0x0110910040a00300ull, 0x0801100280080480ull,
    0x0242009008200600ull, 0x1002000489500200ull, 0x0040800200010080ull, 0x0091800041000080ull,
    0x0000209300488001ull, 0x04c1002414824001ull, 0x020020000b001041ull, 0x7000100004200901ull,
    0x8002002004100802ull, 0x30010002084c0007ull, 0x0888221800813004ull, 0x4000002840840112ull,
};
const bitboard MULTIPLICATEURS_FOU[64] = {
    0xa010041108003100ull, 0x006082020a002900ull, 0x6810010619200000ull, 0x08281a0520000408ull,
    0x0001104001000400ull, 0x0018901008048400ull, 0x00040a0210245280ull, 0x000200210808a402ull,
    0x9140048410821200ull, 0x0800091010820041ull, 0x20504804832202c0ull, 0x0100091401081000ull,
    0x8021011140000012ull, 0x0810020804450400ull, 0x208b0542109008a2ull, 0x0080084a08040204ull,
    0x0040e2a80811244cull, 0x2505022008008108ull, 0x0430220100420040ull, 0x010a040420220040ull,
    0x1105000290400000ull, 0x0093001200822120ull, 0x4000a62048043004ull, 0x280120048a015004ull,
    0x006090002a020814ull, 0x44042000240800d0ull, 0x01102800040a4400ull, 0x1004080080220040ull,
    0x0001001011004024ull, 0x0010044000805040ull, 0x0914041200820100ull, 0x0004821012821480ull,
    0x0024040500c05021ull, 0x0088611002080200ull, 0x0116080a00040020ull, 0x4000020080080080ull,
    0x2450450140840040ull, 0x0000880201484100ull, 0x0222020404020092ull, 0x8081110600002e00ull,
    0x2842101105000801ull, 0x1100809008001025ull, 0x00020202221c0400ull, 0x0422014022009020ull,
    0x0210046102100c00ull, 0xc004008082029102ull, 0x00aa461801101200ull, 0x0404080080201108ull,
    0x020542108c205002ull, 0x0410544804100100ull, 0x0040910841100000ull, 0x0400200042021100ull,
    0x00004204850400c0ull, 0x0200100410a42102ull, 0x1040020801210102ull, 0x0805040410420000ull,
    0x2884804130100200ull, 0x800c262201242000ull, 0x1058000194108800ull, 0x0014221054420204ull,
    0x0104000012a02200ull, 0x0200881003300100ull, 0x0140400202840100ull, 0x0402020801010201ull,
};

constexpr bitboard RANGEE_1 = 0xFFull;
constexpr bitboard RANGEE_8 = RANGEE_1 << 56;
constexpr bitboard BORDS = COLONNE_A | COLONNE_H | RANGEE_1 | RANGEE_8;

bool sur_echiquier(int colonne, int rangee) { return colonne >= 0 && colonne < 8 && rangee >= 0 && rangee < 8; }

bitboard sauts(int b, std::initializer_list<std::pair<int, int>> pas) {
    bitboard a = 0;
    for (auto [dc, dr] : pas)
        if (sur_echiquier(b % 8 + dc, b / 8 + dr)) a |= bitboard{1} << (8 * (b / 8 + dr) + b % 8 + dc);
    return a;
}

// The ray cut after its first occupied square: the squares beyond that
// blocker are the blocker's own ray in the same direction.
template <direction d>
bitboard rayon_bloque(int b, bitboard occupation) {
    const bitboard r = RAYON[d][b];
    const bitboard bloqueurs = r & occupation;
    if (bloqueurs == 0) return r;
    constexpr bool croissant = d == EST || d == NORD || d == NORD_EST || d == NORD_OUEST;
    return r ^ RAYON[d][croissant ? std::countr_zero(bloqueurs) : 63 - std::countl_zero(bloqueurs)];
}

bitboard TABLE_TOUR[102400];
bitboard TABLE_FOU[5248];

template <direction... directions>
void remplir(magies& m, const bitboard* multiplicateurs, bitboard* table) {
    bitboard* suivant = table;
    for (int b = 0; b < 64; ++b) {
        bitboard portee = 0, masque = 0;
        for (direction d : {directions...}) {
            portee |= RAYON[d][b];
            // The last square of a ray blocks nothing.
            const bitboard bord = d == EST ? COLONNE_H : d == OUEST ? COLONNE_A : d == NORD ? RANGEE_8 :
                                  d == SUD ? RANGEE_1 : BORDS;
            masque |= RAYON[d][b] & ~bord;
        }
        const bitboard multiplicateur = multiplicateurs[b];
        const int decalage = 64 - std::popcount(masque);
        m.portee[b] = portee;
        m.masque[b] = masque;
        m.multiplicateur[b] = multiplicateur;
        m.decalage[b] = decalage;
        m.attaques[b] = suivant;
        // Every subset of the mask, by the carry-rippler walk.
        bitboard sous = 0;
        do {
            suivant[(sous * multiplicateur) >> decalage] = (rayon_bloque<directions>(b, sous) | ...);
            sous = (sous - masque) & masque;
        } while (sous != 0);
        suivant += bitboard{1} << std::popcount(masque);
    }
}

struct initialisation {
    initialisation() {
        static const int pas[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
        for (int b = 0; b < 64; ++b) {
            ATTAQUES_CAVALIER[b] = sauts(b, {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}});
            ATTAQUES_ROI[b] = sauts(b, {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}});
            ATTAQUES_PION[0][b] = sauts(b, {{1, 1}, {-1, 1}});
            ATTAQUES_PION[1][b] = sauts(b, {{1, -1}, {-1, -1}});
            for (int d = 0; d < 8; ++d) {
                bitboard r = 0;
                for (int c = b % 8 + pas[d][0], l = b / 8 + pas[d][1]; sur_echiquier(c, l); c += pas[d][0], l += pas[d][1])
                    r |= bitboard{1} << (8 * l + c);
                RAYON[d][b] = r;
            }
        }
        // Between a and a square b on one of its rays: the ray from a, less b
        // and b's own ray beyond.
        for (int a = 0; a < 64; ++a)
            for (int d = 0; d < 8; ++d)
                for (bitboard x = RAYON[d][a]; x != 0;) {
                    const int b = bit_suivant(x);
                    ENTRE[a][b] = RAYON[d][a] & ~RAYON[d][b] & ~(bitboard{1} << b);
                }
        remplir<EST, OUEST, NORD, SUD>(MAGIES_TOUR, MULTIPLICATEURS_TOUR, TABLE_TOUR);
        remplir<NORD_EST, SUD_EST, NORD_OUEST, SUD_OUEST>(MAGIES_FOU, MULTIPLICATEURS_FOU, TABLE_FOU);
    }
};
const initialisation INITIALISATION;

}  // namespace

bool case_attaquee(int b, int camp, bitboard occupation, bitboard presents) {
    auto pieces = [&](int code) { return pieces_bb(code * camp) & presents; };
    const bitboard dames = pieces(REINE);
    if (ATTAQUES_PION[indice_camp(-camp)][b] & pieces(PION_P)) return true;
    if (ATTAQUES_CAVALIER[b] & pieces(CAVALIER_P)) return true;
    const bitboard lignes = pieces(TOUR_P) | dames;
    if ((lignes & MAGIES_TOUR.portee[b]) && (attaques_tour(b, occupation) & lignes)) return true;
    const bitboard diagonales = pieces(FOU_P) | dames;
    if ((diagonales & MAGIES_FOU.portee[b]) && (attaques_fou(b, occupation) & diagonales)) return true;
    return (ATTAQUES_ROI[b] & pieces(ROI)) != 0;
}
