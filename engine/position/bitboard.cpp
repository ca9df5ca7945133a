// SPDX-License-Identifier: GPL-3.0-or-later
#include "bitboard.h"

#include "position.h"

namespace {

// Fixed keys: the same placement always has the same key.
class suite_de_cles {
public:
    explicit constexpr suite_de_cles(uint64_t graine) : s_(graine) {}
    constexpr uint64_t suivante() {
        s_ ^= s_ >> 12;
        s_ ^= s_ << 25;
        s_ ^= s_ >> 27;
        return s_ * 2685821657736338717ull;
    }

private:
    uint64_t s_;
};

constexpr std::array<std::array<uint64_t, 13>, 64> cles_zobrist() {
    std::array<std::array<uint64_t, 13>, 64> cles{};
    suite_de_cles s(0x5D1F0A9C3E7B4821ull);
    for (auto& c : cles)
        for (uint64_t& v : c) v = s.suivante();
    return cles;
}

// What the position adds to its placement: Black to move, each castling
// right by its rook's square (Chess960's may stand anywhere), and the file of
// a double step that may be taken en passant.
struct cles_etat {
    uint64_t noir;
    std::array<std::array<uint64_t, 120>, 4> roques;
    std::array<uint64_t, 10> en_passant;
};

constexpr cles_etat cles_de_l_etat() {
    cles_etat cles{};
    suite_de_cles s(0x2B7E151628AED2A6ull);
    cles.noir = s.suivante();
    for (auto& droit : cles.roques)
        for (uint64_t& v : droit) v = s.suivante();
    for (uint64_t& v : cles.en_passant) v = s.suivante();
    return cles;
}
constexpr cles_etat CLES_ETAT = cles_de_l_etat();

uint64_t cle_du_placement() {
    uint64_t cle = 0;
    for (int b = 0; b < 64; ++b)
        if (const int v = JEU.ECHIQUIER[case_de_bit(b)]; v != VIDE) cle ^= CLES_ZOBRIST[b][v + 6];
    return cle;
}

}  // namespace

const std::array<std::array<uint64_t, 13>, 64> CLES_ZOBRIST = cles_zobrist();

bool cle_a_jour() { return JEU.CLE == cle_du_placement(); }

uint64_t cle_position() {
    uint64_t cle = JEU.CLE;
    if (JEU.TRAIT == NOIR) cle ^= CLES_ETAT.noir;
    const int droits[4] = {JEU.PETIT_ROQUE_BLANC, JEU.GRAND_ROQUE_BLANC, JEU.PETIT_ROQUE_NOIR, JEU.GRAND_ROQUE_NOIR};
    for (int i = 0; i < 4; ++i)
        if (droits[i] != 0) cle ^= CLES_ETAT.roques[i][droits[i]];
    int depart, arrivee;
    if (dernier_coup(&depart, &arrivee) && (arrivee - depart == 20 || depart - arrivee == 20) &&
        (JEU.ECHIQUIER[arrivee] == PION_P || JEU.ECHIQUIER[arrivee] == -PION_P))
        cle ^= CLES_ETAT.en_passant[arrivee % 10];
    return cle;
}

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
