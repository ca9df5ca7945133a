// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the engine's own token reader and command handlers,
// as the input thread would, and runs every requested search at once on two
// threads, with its depth capped so that an input costs milliseconds (deep
// enough for the threads to share nodes).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "globals.h"
#include "position.h"
#include "search.h"
#include "sortie.h"
#include "tools.h"
#include "uci.h"

namespace {

constexpr int PROFONDEUR_FUZZ = 4;
constexpr int THREADS_FUZZ = 2;

void etat_de_depart() {
    options_par_defaut();
    FIN = CALCUL = ISREADY = STOP = LANCE_HORLOGE = 0;
    init();
    JEU.TRAIT = BLANC;
    JEU.ADVERSAIRE = NOIR;
    noter_partie();
    LIMITES = {};
    PERFT_GO_MAX = PROFONDEUR_FUZZ;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static std::string sortie;
    sortie_capturer(&sortie);
    etat_de_depart();
    lecture_depuis_texte(std::string_view(reinterpret_cast<const char*>(donnees), taille));
    while (FIN == 0) {
        lire_mot();
        uci_main();
        if (CALCUL == 1) {
            if (LIMITES.profondeur > PROFONDEUR_FUZZ) LIMITES.profondeur = PROFONDEUR_FUZZ;
            LIMITES.sans_horloge = false;  // nobody would send the "stop" a level waits for
            THREADS = THREADS_FUZZ;
            executer_calcul();
            // The search must leave the game exactly as "position" set it up.
            if (!position_is_ok()) __builtin_trap();
        }
        if (FIN_ENTREE == 1) break;
    }
    sortie.clear();
    return 0;
}
