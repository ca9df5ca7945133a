// SPDX-License-Identifier: GPL-3.0-or-later
#include "bitboard.h"

#include "position.h"

bitboard PIECES_BB[13];
bitboard CAMP_BB[2];
bitboard OCCUPATION_BB;
int NB_PIECES[13];
uint64_t CLE;

namespace {

// Fixed keys: the same placement always has the same key.
constexpr std::array<std::array<uint64_t, 13>, 64> cles_zobrist() {
    std::array<std::array<uint64_t, 13>, 64> cles{};
    uint64_t s = 0x5D1F0A9C3E7B4821ull;
    for (auto& c : cles)
        for (uint64_t& v : c) {
            s ^= s >> 12;
            s ^= s << 25;
            s ^= s >> 27;
            v = s * 2685821657736338717ull;
        }
    return cles;
}

}  // namespace

const std::array<std::array<uint64_t, 13>, 64> CLES_ZOBRIST = cles_zobrist();

void synchroniser_position() {
    for (bitboard& b : PIECES_BB) b = 0;
    CAMP_BB[0] = CAMP_BB[1] = OCCUPATION_BB = 0;
    for (int& n : NB_PIECES) n = 0;
    CLE = 0;
    for (int b = 0; b < 64; ++b) {
        const int v = ECHIQUIER[case_de_bit(b)];
        if (v == VIDE) continue;
        basculer_piece(b, v);
        ++NB_PIECES[v + 6];
    }
}
