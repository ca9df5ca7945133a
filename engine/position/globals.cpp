// SPDX-License-Identifier: GPL-3.0-or-later
#include <string_view>

#include "globals.h"

namespace {

using enum genre_option;

constexpr option_moteur TABLE[] = {
    {"Pawn", spin, &PION, 100, 0, 1000, false, false},
    {"Knight", spin, &CAVALIER, 300, 0, 1000, false, false},
    {"Bishop", spin, &FOU, 300, 0, 1000, false, false},
    {"Rook", spin, &TOUR, 500, 0, 1000, false, false},
    {"Queen", spin, &DAME, 900, 0, 2000, false, false},
    {"Mobility", spin, &MOBILITY, 1, -9, 9, false, false},
    {"Draw", spin, &DRAW, 200, -900, 900, false, false},
    {"Promote_in_uppercase", check, &PROMOTEINUPPERCASE, 0, 0, 1, true, true},
    {"Solvane", marque, nullptr, 0, 0, 1, true, true},
    {"Ponder", check, &PONDER, 0, 0, 1, true, false},
    {"Move Overhead", spin, &MOVE_OVERHEAD, 50, 0, 5000, true, false},
    {"Threads", spin, &THREADS, 1, 1, THREADS_MAX, true, false},
    {"MultiPV", spin, &MULTIPV, 1, 1, MULTIPV_MAX, true, false},
    {"UCI_LimitStrength", check, &UCI_LIMITSTRENGTH, 0, 0, 1, true, false},
    {"UCI_Elo", spin, &UCI_ELO, 1200, ELO_MIN, ELO_MAX, true, false},
    {"Seed", spin, &SEED, 0, 0, SEED_MAX, true, false},
    {"UCI_Chess960", check, &UCI_CHESS960, 0, 0, 1, true, false},
    {"Hash", spin, &HASH, 0, 0, HASH_MAX, true, false},
    {"Clear Hash", bouton, nullptr, 0, 0, 0, true, true},
};

constexpr int defaut_de(std::string_view nom) {
    for (const option_moteur& o : TABLE)
        if (o.nom == nom) return o.defaut;
    throw "no such option";  // stops the build: the globals are constant-initialised
}

}  // namespace

const std::span<const option_moteur> OPTIONS{TABLE};

constinit int PION = defaut_de("Pawn");
constinit int CAVALIER = defaut_de("Knight");
constinit int FOU = defaut_de("Bishop");
constinit int TOUR = defaut_de("Rook");
constinit int DAME = defaut_de("Queen");
constinit int MOBILITY = defaut_de("Mobility");
constinit int DRAW = defaut_de("Draw");
constinit int PROMOTEINUPPERCASE = defaut_de("Promote_in_uppercase");
constinit int PONDER = defaut_de("Ponder");
constinit int MOVE_OVERHEAD = defaut_de("Move Overhead");
constinit int THREADS = defaut_de("Threads");
constinit int MULTIPV = defaut_de("MultiPV");
constinit int UCI_LIMITSTRENGTH = defaut_de("UCI_LimitStrength");
constinit int UCI_ELO = defaut_de("UCI_Elo");
constinit int SEED = defaut_de("Seed");
constinit int UCI_CHESS960 = defaut_de("UCI_Chess960");
constinit int HASH = defaut_de("Hash");

std::atomic<int> FIN{0};
std::atomic<int> CALCUL{0};
std::atomic<int> ISREADY{0};
std::atomic<int> STOP{0};
std::atomic<int> LANCE_HORLOGE{0};
std::atomic<int> TEMPS_HORLOGE{0};
std::atomic<int> LAST_TIME{0};
std::atomic<int> PROFONDEUR_ATTEINTE{0};

void options_par_defaut() {
    for (const option_moteur& o : OPTIONS)
        if (o.valeur != nullptr) *o.valeur = o.defaut;
}
