// SPDX-License-Identifier: GPL-3.0-or-later
// Values that every layer may read: the engine options set by "setoption" and
// the flags through which the input, main and clock threads meet. Kept at the
// bottom of the dependency graph so that no lower layer includes the UCI code.
#pragma once

#include <atomic>
#include <span>

// Engine options; written by the input thread only while no search runs.
// Each is declared once, with its default and range, in OPTIONS.
extern int PION;
extern int CAVALIER;
extern int FOU;
extern int TOUR;
extern int DAME;
extern int MOBILITY;
extern int DRAW;
extern int PROMOTEINUPPERCASE;
extern int PONDER;  // announced to interfaces; pondering itself is "go ponder"
extern int MOVE_OVERHEAD;  // milliseconds kept from the side's clock
extern int THREADS;        // threads a search runs on
extern int MULTIPV;        // lines a search reports, best first
extern int UCI_LIMITSTRENGTH;  // 1: play at the strength UCI_ELO names
extern int UCI_ELO;
extern int SEED;           // the random choices of a limited strength; 0: a new seed each game
extern int UCI_CHESS960;   // 1: the next "position" is Chess960 (position.h, CHESS960)
extern int HASH;           // megabytes of the search's table of best moves; 0: none

constexpr int THREADS_MAX = 64;
constexpr int MULTIPV_MAX = 256;  // more than any position's legal moves
// The strength levels' range on the rating scale they were calibrated on.
constexpr int ELO_MIN = 800;
constexpr int ELO_MAX = 1535;
constexpr int SEED_MAX = 2147483647;
constexpr int HASH_MAX = 1024;
// Spin values outside their announced range are kept up to this size: beyond
// it the evaluation's sums and products of option values would overflow an int.
constexpr int OPTION_MAX = 1000000;

enum class genre_option {
    spin,    // an integer
    check,   // true or false, stored as 1 or 0
    marque,  // a check box named after the engine's version and build date, without effect
    bouton,  // an action, with no value
};

// One option as "uci" announces it and "setoption" sets it.
struct option_moteur {
    const char* nom;
    genre_option genre;
    int* valeur;  // the global it sets
    int defaut, min, max;
    bool bornee;          // a spin value is held to [min, max], else kept up to ±OPTION_MAX
    bool annonce_defaut;  // "uci" announces the default, not the value in force
};
// In the order "uci" announces them.
extern const std::span<const option_moteur> OPTIONS;

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
// The search "go" asked for has completed a depth. Until then the clock does
// not stop it: depth 1 takes microseconds, and a move never searched may
// leave a piece to be taken.
extern std::atomic<int> PROFONDEUR_ATTEINTE;
