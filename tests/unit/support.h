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

// Captures then quiet moves, as generer_liste gives them.
inline std::vector<coup> coups_generes() {
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generer_liste(&calmes, &prises);
    std::vector<coup> v(prises.coups, prises.coups + prises.nb_coups);
    v.insert(v.end(), calmes.coups, calmes.coups + calmes.nb_coups);
    return v;
}

// Whether the move of the side to move leaves its king safe, found by making it.
inline bool legal_une_fois_joue(coup m) {
    ajoute_coup_partie(m.depart, m.arrivee);
    const bool legal = !roi_du_trait_attaque();
    retire_coup_partie();
    return legal;
}
