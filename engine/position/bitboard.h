// SPDX-License-Identifier: GPL-3.0-or-later
// Bitboards kept beside the mailbox: one 64-bit set per piece code and per
// side, the piece counts and a key of the placement. They are derived state:
// every write to ECHIQUIER outside make and take-back is followed by
// synchroniser_position().
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "position.h"

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

extern const std::array<std::array<uint64_t, 13>, 64> CLES_ZOBRIST;  // by bit, piece code + 6

inline bitboard pieces_bb(int code) { return JEU.PIECES_BB[code + 6]; }
inline int indice_camp(int camp) { return camp == 1 ? 0 : 1; }

// Adds or removes piece v on bit b (the key apart).
inline void basculer_bits(int b, int v) {
    const bitboard m = bitboard{1} << b;
    JEU.PIECES_BB[v + 6] ^= m;
    JEU.CAMP_BB[v > 0 ? 0 : 1] ^= m;
    JEU.OCCUPATION_BB ^= m;
}

inline void basculer_piece(int b, int v) {
    basculer_bits(b, v);
    JEU.CLE ^= CLES_ZOBRIST[b][v + 6];
}

// Puts v on playing square c, keeping the derived state in step.
inline void poser_piece(int c, int v) {
    const int ancien = JEU.ECHIQUIER[c];
    if (ancien == v) return;
    const int b = bit_de_case(c);
    if (ancien != 0) {
        basculer_piece(b, ancien);
        --JEU.NB_PIECES[ancien + 6];
    }
    if (v != 0) {
        basculer_piece(b, v);
        ++JEU.NB_PIECES[v + 6];
    }
    JEU.ECHIQUIER[c] = v;
}

// Rebuilds the derived state from ECHIQUIER.
void synchroniser_position();

inline int bit_suivant(bitboard& b) {
    int i = std::countr_zero(b);
    b &= b - 1;
    return i;
}
