// SPDX-License-Identifier: GPL-3.0-or-later
#include "bitboard.h"

#include "position.h"

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
    for (bitboard& b : JEU.PIECES_BB) b = 0;
    JEU.CAMP_BB[0] = JEU.CAMP_BB[1] = JEU.OCCUPATION_BB = 0;
    for (int& n : JEU.NB_PIECES) n = 0;
    JEU.CLE = 0;
    for (int b = 0; b < 64; ++b) {
        const int v = JEU.ECHIQUIER[case_de_bit(b)];
        if (v == VIDE) continue;
        basculer_piece(b, v);
        ++JEU.NB_PIECES[v + 6];
    }
}
