// SPDX-License-Identifier: GPL-3.0-or-later
// The single-thread WebAssembly build (SOLVANE_UN_FIL), for pages that have
// no SharedArrayBuffer: in place of threads.cpp, no input thread and no clock
// thread. JavaScript hands over one line at a time (solvane_ligne), carried
// out before the call returns, a search to its end. The search looks at the
// clock itself and now and then gives the event loop a turn (solvane_ceder,
// through Asyncify), which answers with a "stop" or a "ponderhit" that came
// meanwhile; every other line waits in JavaScript for the bestmove.
#include <emscripten/emscripten.h>

#include <chrono>
#include <string>

#include "diagnostics.h"
#include "globals.h"
#include "search.h"
#include "simulation.h"
#include "sortie.h"
#include "uci.h"

namespace {

using horloge_monotone = std::chrono::steady_clock;
horloge_monotone::time_point debut_horloge;
horloge_monotone::time_point dernier_tour;
int limite_horloge_ms = 0;

// Long enough for the turns to cost little of the search, short enough for a
// "stop" to be obeyed at once by a person's measure.
constexpr auto INTERVALLE_DES_TOURS = std::chrono::milliseconds(20);

// What solvane_ceder answers (engine/uci/ceder.js).
enum { RIEN = 0, ARRET = 1, PONDERHIT = 2 };

// The tools (bench, perft) run by main to their end, with no turn to give.
bool depuis_une_ligne = false;

}  // namespace

// A turn of JavaScript's event loop; the command received meanwhile.
extern "C" int solvane_ceder();

unsigned POSITIONS_DEPUIS_REGARD = 0;

void regarder_horloge() {
    const auto maintenant = horloge_monotone::now();
    if (LANCE_HORLOGE == 1 && maintenant - debut_horloge >= std::chrono::milliseconds(limite_horloge_ms) &&
        PROFONDEUR_ATTEINTE == 1) {
        STOP = 1;
        LANCE_HORLOGE = 0;
    }
    if (!depuis_une_ligne || maintenant - dernier_tour < INTERVALLE_DES_TOURS) return;
    const int recu = solvane_ceder();
    dernier_tour = horloge_monotone::now();
    if (recu == ARRET) STOP = 1;
    else if (recu == PONDERHIT) uci_ponderhit();
}

void horloge_lancer(bool armer, int limite_ms) {
    if (armer) {
        debut_horloge = horloge_monotone::now();
        limite_horloge_ms = limite_ms;
    }
    LANCE_HORLOGE = armer ? 1 : 0;
    STOP = 0;
}

// Nothing runs beside a command here.
void attendre_fin_perft() {}
void attendre_fin_recherche() {}

// The lines come through solvane_ligne: main only sets the engine up and
// leaves it running.
int boucle_principale() {
    emscripten_exit_with_live_runtime();
    return 0;
}

// Carries out a line (or several); 1 once the engine has ended ("quit").
extern "C" EMSCRIPTEN_KEEPALIVE int solvane_ligne(const char* ligne) {
    std::string texte(ligne);
    texte += '\n';
    lecture_depuis_texte(texte);
    depuis_une_ligne = true;
    while (FIN == 0 && FIN_ENTREE == 0) {
        lire_mot();
        uci_main();
        if (CALCUL == 1) {
            // A level that ends by itself while pondering would wait for a
            // "stop" that the search's turns alone can bring: it answers.
            if (LIMITES.force_limitee) LIMITES.sans_horloge = false;
            dernier_tour = horloge_monotone::now();
            executer_calcul();
        }
        if (ISREADY == 1) {
            ISREADY = 0;
            sortie_ligne("readyok");
        }
    }
    depuis_une_ligne = false;
    return FIN == 1 ? 1 : 0;
}
