// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>

#include "globals.h"
#include "search.h"
#include "simulation.h"
#include "sortie.h"
#include "tools.h"
#include "uci.h"

namespace {

// Openings, middlegames and endgames, with castling, en passant and promotions.
const char* const POSITIONS_BENCH[] = {
    "startpos",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "fen r2q1rk1/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R2QK2R w KQ - 0 9",
    "fen rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "fen rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "fen 8/8/4k3/8/2R5/4K3/8/5r2 w - - 0 1",
    "fen 4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1",
};

}  // namespace

int outil_bench(int profondeur, int fils, int hash) {
    const int nb = static_cast<int>(std::size(POSITIONS_BENCH));
    NOEUDS_AFFICHES = 0;
    POSITIONS_PERDUES = 0;
#ifdef SOLVANE_SIMULATION
    horloge_remise_a_zero();
#endif
    auto debut = std::chrono::steady_clock::now();
    for (int i = 0; i < nb; ++i) {
        std::string erreur;
        options_par_defaut();
        THREADS = fils;
        HASH = hash;
        // Each position a new game: its lines do not depend on the one before.
        if (i == 0) table_dimensionner(hash);
        else table_vider();
        position_depuis_texte(POSITIONS_BENCH[i], &erreur);
        sortie_ligne(format_texte("Position %d/%d: %s", i + 1, nb, POSITIONS_BENCH[i]));
        LIMITES = {};
        LIMITES.profondeur = profondeur;
        PROFONDEUR_FIXE = 0;
        STOP = 0;
        joue();
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debut).count();
    const long long noeuds = NOEUDS_AFFICHES;
    const long long nps = ms > 0 ? noeuds * 1000 / ms : noeuds * 1000;
    sortie_ligne("");
    sortie_ligne(format_texte("Total time (ms): %lld", static_cast<long long>(ms)));
    sortie_ligne(format_texte("Nodes searched: %lld", noeuds));
    sortie_ligne(format_texte("Nodes/second: %lld", nps));
    // What the helpers searched and the counts could not keep.
    if (fils > 1) sortie_ligne(format_texte("Positions thrown away: %lld", static_cast<long long>(POSITIONS_PERDUES)));
#ifdef SOLVANE_SIMULATION
    // One thread's time is the positions it counts, one at a time.
    const long long temps = horloge_totale();
    sortie_ligne(format_texte("Simulated time (positions): %lld", temps));
    sortie_ligne(format_texte("Simulated speed-up: %.2f", temps > 0 ? static_cast<double>(noeuds) / temps : 0.0));
#endif
    // Test frameworks read the node count and the speed from the last line.
    sortie_ligne(format_texte("%lld nodes %lld nps", noeuds, nps));
    return 0;
}
