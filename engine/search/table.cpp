// SPDX-License-Identifier: GPL-3.0-or-later
#include "table.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "search.h"

namespace {

// An entry in 64 bits: the move (16), the depth it was searched to (8), the
// iteration that wrote it (16) and 24 bits of the key that the slot's index
// does not use. 0 is an empty entry: no iteration is numbered 0.
constexpr uint64_t vide = 0;
constexpr int BITS_ITERATION = 16;
constexpr uint32_t ITERATIONS = 1u << BITS_ITERATION;

uint64_t entree(uint64_t cle, int depth, coup m, uint32_t iteration) {
    return (cle & 0xFFFFFF) << 40 | static_cast<uint64_t>(iteration) << 24 |
           static_cast<uint64_t>(std::min(depth, 255)) << 16 | static_cast<uint64_t>(m.depart) << 8 | m.arrivee;
}
uint32_t iteration_de(uint64_t e) { return static_cast<uint32_t>(e >> 24) & (ITERATIONS - 1); }
bool meme_position(uint64_t e, uint64_t cle) { return e >> 40 == (cle & 0xFFFFFF); }
// Of two entries of one iteration, the slot keeps the deepest; the rest of
// the order only makes it total.
uint64_t rang(uint64_t e) { return (e >> 16 & 0xFF) << 48 | (e >> 40) << 16 | (e & 0xFFFF); }

// Written by one thread at a time (the thread that searches alone, or the
// one counting a job's result, under its team's lock), read by all: the
// iteration's entry is stored after the one it moves aside, so that a
// reader that sees the first sees the second.
struct emplacement {
    std::atomic<uint64_t> precedente;  // the last entry of an earlier iteration
    std::atomic<uint64_t> courante;
};
static_assert(sizeof(emplacement) == 16);

std::unique_ptr<emplacement[]> EMPLACEMENTS;
uint64_t NB_EMPLACEMENTS = 0;
std::atomic<uint32_t> ITERATION{1};

emplacement& emplacement_de(uint64_t cle) {
    return EMPLACEMENTS[static_cast<uint64_t>((static_cast<unsigned __int128>(cle) * NB_EMPLACEMENTS) >> 64)];
}

void ecrire(uint64_t cle, int depth, coup m) {
    emplacement& e = emplacement_de(cle);
    const uint32_t iteration = ITERATION.load(std::memory_order_relaxed);
    const uint64_t nouvelle = entree(cle, depth, m, iteration);
    const uint64_t c = e.courante.load(std::memory_order_relaxed);
    if (c == vide || iteration_de(c) != iteration) {
        e.precedente.store(c, std::memory_order_relaxed);
        e.courante.store(nouvelle, std::memory_order_release);
    } else if (rang(nouvelle) > rang(c)) {
        e.courante.store(nouvelle, std::memory_order_release);
    }
}

}  // namespace

void table_dimensionner(int mb) {
    EMPLACEMENTS.reset();
    NB_EMPLACEMENTS = static_cast<uint64_t>(mb) * (1 << 20) / sizeof(emplacement);
    // Every entry is written at once: the memory the process holds is the size asked for.
    if (NB_EMPLACEMENTS > 0) EMPLACEMENTS = std::make_unique<emplacement[]>(NB_EMPLACEMENTS);
    table_vider();
}

void table_vider() {
    for (uint64_t i = 0; i < NB_EMPLACEMENTS; ++i) {
        EMPLACEMENTS[i].precedente.store(vide, std::memory_order_relaxed);
        EMPLACEMENTS[i].courante.store(vide, std::memory_order_relaxed);
    }
    ITERATION = 1;
}

bool table_presente() { return NB_EMPLACEMENTS > 0; }

void table_nouvelle_iteration() {
    // Numbers are reused after ITERATIONS: the old entries go first.
    if (ITERATION + 1 == ITERATIONS) table_vider();
    else ++ITERATION;
}

coup table_coup(uint64_t cle) {
    emplacement& e = emplacement_de(cle);
    uint64_t c = e.courante.load(std::memory_order_acquire);
    if (c != vide && iteration_de(c) == ITERATION.load(std::memory_order_relaxed))
        c = e.precedente.load(std::memory_order_relaxed);
    if (c == vide || !meme_position(c, cle)) return {0, 0};
    return {static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)};
}

void table_noter(uint64_t cle, int depth, coup m) {
    if (RECHERCHE.JOURNAL != nullptr) RECHERCHE.JOURNAL->push_back({cle, m, depth});
    else ecrire(cle, depth, m);
}

void table_reporter(journal_table& depuis, journal_table* vers) {
    if (vers != nullptr) {
        vers->insert(vers->end(), depuis.begin(), depuis.end());
    } else {
        for (const ecriture_table& e : depuis) ecrire(e.cle, e.depth, e.m);
    }
    depuis.clear();
}
