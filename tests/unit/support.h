// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
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

// The lines of a perft table in tests/data: a FEN, then ";D<depth> <count>" fields.
inline std::vector<std::string> lignes_perft(const std::string& table = "perft.epd") {
    std::ifstream f(SOLVANE_TEST_DATA "/" + table);
    std::vector<std::string> v;
    for (std::string ligne; std::getline(f, ligne);)
        if (!ligne.empty()) v.push_back(ligne);
    return v;
}
inline std::string fen_perft(const std::string& ligne) { return "fen " + ligne.substr(0, ligne.find(" ;")); }

// The positions of perft.epd, then Chess960's built to make castling hard and
// every hundredth of its start positions (chess960.epd lists those first), each
// with its UCI_Chess960.
inline std::vector<std::pair<std::string, int>> positions_perft() {
    std::vector<std::pair<std::string, int>> v;
    for (const std::string& ligne : lignes_perft()) v.emplace_back(fen_perft(ligne), 0);
    const std::vector<std::string> c960 = lignes_perft("chess960.epd");
    for (size_t i = 0; i < c960.size(); i += i < 960 ? 100 : 1) v.emplace_back(fen_perft(c960[i]), 1);
    return v;
}

// The moves in the search's order, captures first.
inline std::vector<coup> coups_generes() {
    coups_ordonnes coups;
    generer_dans_l_ordre(&coups);
    return {coups.begin(), coups.end()};
}
