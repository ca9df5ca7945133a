// Helpers shared by the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "globals.h"
#include "movegen.h"
#include "position.h"
#include "sortie.h"
#include "uci.h"

// Sets up a position exactly as the "position" command would ("startpos",
// "fen ...", optionally followed by "moves ...").
inline void poser(const std::string& description) {
    std::string erreur;
    ASSERT_TRUE(position_depuis_texte(description, &erreur)) << description << ": " << erreur;
}

// The positions of tests/data/perft.epd, as "fen ..." descriptions.
inline std::vector<std::string> positions_perft() {
    std::ifstream f(SOLVANE_TEST_DATA "/perft.epd");
    std::vector<std::string> v;
    for (std::string ligne; std::getline(f, ligne);) v.push_back("fen " + ligne.substr(0, ligne.find(';')));
    return v;
}

// Whether the move of the side to move leaves its king safe, found by making it.
inline bool legal_une_fois_joue(coup m) {
    ajoute_coup_partie(m.depart, m.arrivee);
    const bool legal = !roi_du_trait_attaque();
    retire_coup_partie();
    return legal;
}

constexpr int sq(const char* n) { return case_de(n[0] - 'a' + 1, n[1] - '0'); }

// Collects everything the engine writes while it lives.
struct CaptureSortie {
    std::string texte;
    CaptureSortie() { sortie_capturer(&texte); }
    ~CaptureSortie() { sortie_capturer(nullptr); }
};

inline std::vector<std::string> lignes(const std::string& texte) {
    std::vector<std::string> v;
    std::istringstream flux(texte);
    for (std::string l; std::getline(flux, l);) v.push_back(l);
    return v;
}

// Everything a take-back or a search must give back: board, side, kings,
// rights, record length, FEN en passant square and the current snapshot.
inline std::vector<int> etat() {
    std::vector<int> v(ECHIQUIER, ECHIQUIER + 120);
    v.insert(v.end(), {TRAIT, ADVERSAIRE, ROI_BLANC, ROI_NOIR, PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC,
                       PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR, FIN_LISTE_PARTIE, EN_PASSANT_FEN});
    const echiquier_sauve& s = ECHIQUIERS[FIN_LISTE_PARTIE + 1];
    v.insert(v.end(), s.cases, s.cases + 80);
    return v;
}

inline std::vector<int> roques() { return {PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR}; }

// Puts every option and flag back to its start-up value.
inline void etat_par_defaut() {
    options_par_defaut();
    STOP = 0;
    CALCUL = 0;
}
