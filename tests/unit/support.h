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
inline void etat_par_defaut() {
    options_par_defaut();
    STOP = 0;
    CALCUL = 0;
}
