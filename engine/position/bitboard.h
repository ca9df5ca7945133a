// SPDX-License-Identifier: GPL-3.0-or-later
// Bitboards kept beside the mailbox: one 64-bit set per piece code and per
// side, the piece counts and a key of the placement. They are derived state:
// every write to ECHIQUIER outside make and take-back is followed by
// synchroniser_position().
#pragma once

#include <array>
#include <bit>
#include <cstdint>

extern int ECHIQUIER[120];

using bitboard = uint64_t;

// Bit 0 is a1, bit 7 h1, bit 63 h8: ascending bits follow ascending squares.
constexpr int calculer_bit(int c) { return 8 * (c / 10 - 2) + c % 10 - 1; }
constexpr int case_de_bit(int b) { return 21 + 10 * (b >> 3) + (b & 7); }  // b in 0..63

struct table_bits {
    int8_t bit[120];
    constexpr table_bits() : bit{} {
        for (int c = 0; c < 120; ++c) bit[c] = static_cast<int8_t>(c >= 21 && c <= 98 && c % 10 >= 1 && c % 10 <= 8 ? calculer_bit(c) : -1);
    }
};
inline constexpr table_bits BITS_DES_CASES{};
inline int bit_de_case(int c) { return BITS_DES_CASES.bit[c]; }

extern bitboard PIECES_BB[13];  // indexed by piece code + 6
extern bitboard CAMP_BB[2];     // [0] White, [1] Black
extern bitboard OCCUPATION_BB;
extern int NB_PIECES[13];       // indexed by piece code + 6
extern uint64_t CLE;            // Zobrist key of the placement (cells only)
extern const std::array<std::array<uint64_t, 13>, 64> CLES_ZOBRIST;  // by bit, piece code + 6

inline bitboard pieces_bb(int code) { return PIECES_BB[code + 6]; }
inline int indice_camp(int camp) { return camp == 1 ? 0 : 1; }

// Adds or removes piece v on bit b (the key apart).
inline void basculer_bits(int b, int v) {
    const bitboard m = bitboard{1} << b;
    PIECES_BB[v + 6] ^= m;
    CAMP_BB[v > 0 ? 0 : 1] ^= m;
    OCCUPATION_BB ^= m;
}

inline void basculer_piece(int b, int v) {
    basculer_bits(b, v);
    CLE ^= CLES_ZOBRIST[b][v + 6];
}

// Puts v on playing square c, keeping the derived state in step.
inline void poser_piece(int c, int v) {
    const int ancien = ECHIQUIER[c];
    if (ancien == v) return;
    const int b = bit_de_case(c);
    if (ancien != 0) {
        basculer_piece(b, ancien);
        --NB_PIECES[ancien + 6];
    }
    if (v != 0) {
        basculer_piece(b, v);
        ++NB_PIECES[v + 6];
    }
    ECHIQUIER[c] = v;
}

// Rebuilds the derived state from ECHIQUIER.
void synchroniser_position();

inline int bit_suivant(bitboard& b) {
    int i = std::countr_zero(b);
    b &= b - 1;
    return i;
}
