// SPDX-License-Identifier: GPL-3.0-or-later
// Values that every layer may read: the engine options set by "setoption" and
// the flags through which the input, main and clock threads meet. Kept at the
// bottom of the dependency graph so that no lower layer includes the UCI code.
#pragma once

#include <atomic>

// Engine options; written by the input thread only while no search runs.
constexpr int PION_DEFAUT = 100;
constexpr int CAVALIER_DEFAUT = 300;
constexpr int FOU_DEFAUT = 300;
constexpr int TOUR_DEFAUT = 500;
constexpr int DAME_DEFAUT = 900;
constexpr int MOBILITY_DEFAUT = 1;
constexpr int DRAW_DEFAUT = 200;
constexpr int PROMOTEINUPPERCASE_DEFAUT = 1;
constexpr int PONDER_DEFAUT = 0;
constexpr int MOVE_OVERHEAD_DEFAUT = 50;  // milliseconds kept from the side's clock
constexpr int MOVE_OVERHEAD_MAX = 5000;
constexpr int THREADS_DEFAUT = 1;
constexpr int THREADS_MAX = 64;

extern int PION;
extern int CAVALIER;
extern int FOU;
extern int TOUR;
extern int DAME;
extern int MOBILITY;
extern int DRAW;
extern int PROMOTEINUPPERCASE;
extern int PONDER;  // announced to interfaces; pondering itself is "go ponder"
extern int MOVE_OVERHEAD;
extern int THREADS;  // threads a search runs on

// Every option back to its start-up value (the bench searches with these).
void options_par_defaut();

// Flags shared between threads: whole-int loads and stores, never read-modify-write.
extern std::atomic<int> FIN;            // the program must end
extern std::atomic<int> CALCUL;         // a search is requested
extern std::atomic<int> ISREADY;        // a "readyok" is owed
extern std::atomic<int> STOP;           // the running search must end
extern std::atomic<int> LANCE_HORLOGE;  // the clock is armed
extern std::atomic<int> TEMPS_HORLOGE;  // budget of the current search, whole seconds
extern std::atomic<int> LAST_TIME;      // last budget computed by "go", milliseconds
