// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the engine's own token reader and command handlers,
// as the input thread would, and runs every requested search or count at
// once: searches to a small depth, on the threads the input asks for (at most
// two, nodes shared from depth 2 so that two threads share work), so that an
// input costs milliseconds.
#include <algorithm>
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

constexpr int PROFONDEUR_FUZZ = 3;
constexpr int PERFT_FUZZ = 3;
constexpr int THREADS_FUZZ = 2;
constexpr int PARTAGE_FUZZ = 2;

void etat_de_depart() {
    options_par_defaut();
    FIN = CALCUL = ISREADY = STOP = LANCE_HORLOGE = 0;
    init();
    JEU.TRAIT = BLANC;
    JEU.ADVERSAIRE = NOIR;
    noter_partie();
    LIMITES = {};
    PERFT_GO_MAX = PERFT_FUZZ;
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
            LIMITES.profondeur = std::min(LIMITES.profondeur, PROFONDEUR_FUZZ);
            LIMITES.partage_des = PARTAGE_FUZZ;
            LIMITES.sans_horloge = false;  // nobody would send the "stop" a level waits for
            const int threads = THREADS;
            THREADS = std::min(THREADS, THREADS_FUZZ);
            executer_calcul();
            THREADS = threads;
            // The search must leave the game exactly as "position" set it up.
            if (!position_is_ok()) __builtin_trap();
        }
        if (FIN_ENTREE == 1) break;
    }
    sortie.clear();
    return 0;
}
