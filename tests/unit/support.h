// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "globals.h"
#include "movegen.h"
#include "position.h"
#include "uci.h"

// Sets up a position exactly as the "position" command would ("startpos",
// "fen ...", optionally followed by "moves ...").
inline void poser(const std::string& description) {
    std::string erreur;
    ASSERT_TRUE(position_depuis_texte(description, &erreur)) << description << ": " << erreur;
}

// The lines of tests/data/perft.epd: a FEN, then ";D<depth> <count>" fields.
inline std::vector<std::string> lignes_perft() {
    std::ifstream f(SOLVANE_TEST_DATA "/perft.epd");
    std::vector<std::string> v;
    for (std::string ligne; std::getline(f, ligne);)
        if (!ligne.empty()) v.push_back(ligne);
    return v;
}
inline std::string fen_perft(const std::string& ligne) { return "fen " + ligne.substr(0, ligne.find(" ;")); }

// The moves in the search's order, captures first.
inline std::vector<coup> coups_generes() {
    coups_ordonnes coups;
    generer_dans_l_ordre(&coups);
    return {coups.begin(), coups.end()};
}
