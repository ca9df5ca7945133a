// SPDX-License-Identifier: GPL-3.0-or-later
// A machine with as many equal cores as the search has threads, simulated
// (built with SOLVANE_SIMULATION, for `make simulate`; otherwise every call
// is empty). Each search thread keeps a clock: the positions it evaluated. No
// thread at work runs more than a quantum ahead of the slowest one at work, and
// a thread that waited for work resumes at the time it was offered. A search's
// simulated time is its first thread's clock at the end: what the search would
// take if a position cost the same on every core and sharing cost nothing.
#pragma once

#include <cstdint>

#ifdef SOLVANE_SIMULATION
void horloge_position();          // the thread evaluated a position
void horloge_debut(bool racine);  // a thread of the search starts; the root's at time 0
void horloge_fin(bool racine);    // it ends; the root's thread adds its time to the total
void horloge_attente();           // the thread waits for work (under the search's lock)
void horloge_reprise();           // it resumes
void horloge_signal();            // it offers work or a result to the waiting threads
// The simulated time of the searches since the last reset.
int64_t horloge_totale();
void horloge_remise_a_zero();
#elif defined(SOLVANE_UN_FIL)
// The single-thread WebAssembly build has no clock thread: the search looks
// at the clock itself every few thousand positions (engine/uci/un_fil.cpp).
constexpr unsigned POSITIONS_PAR_REGARD = 4096;
extern unsigned POSITIONS_DEPUIS_REGARD;
void regarder_horloge();
inline void horloge_position() {
    if (++POSITIONS_DEPUIS_REGARD % POSITIONS_PAR_REGARD == 0) regarder_horloge();
}
inline void horloge_debut(bool) {}
inline void horloge_fin(bool) {}
inline void horloge_attente() {}
inline void horloge_reprise() {}
inline void horloge_signal() {}
#else
inline void horloge_position() {}
inline void horloge_debut(bool) {}
inline void horloge_fin(bool) {}
inline void horloge_attente() {}
inline void horloge_reprise() {}
inline void horloge_signal() {}
#endif
