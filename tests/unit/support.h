// Helpers shared by the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "globals.h"
#include "position.h"
#include "sortie.h"
#include "uci.h"

// Sets up a position exactly as the "position" command would ("startpos",
// "fen ...", optionally followed by "moves ...").
inline void poser(const std::string& description) {
    std::string erreur;
    ASSERT_TRUE(position_depuis_texte(description, &erreur)) << description << ": " << erreur;
}

// Collects everything the engine writes while it lives.
struct CaptureSortie {
    std::string texte;
    CaptureSortie() { sortie_capturer(&texte); }
    ~CaptureSortie() { sortie_capturer(nullptr); }
    CaptureSortie(const CaptureSortie&) = delete;
    CaptureSortie& operator=(const CaptureSortie&) = delete;
};

// Puts every option and flag back to its start-up value.
inline void options_par_defaut() {
    PION = 100;
    CAVALIER = 300;
    FOU = 300;
    TOUR = 500;
    DAME = 900;
    MOBILITY = 1;
    DRAW = 200;
    PROMOTEINUPPERCASE = 1;
    STOP = 0;
    CALCUL = 0;
}
