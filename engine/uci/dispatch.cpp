// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>

#include "globals.h"
#include "sortie.h"
#include "uci.h"
#include "version.h"

namespace {

bool est(const char* mot) { return std::strcmp(COMMANDE, mot) == 0; }

}  // namespace

void uci_identification() {
    sortie_ligne(format_texte("id name Solvane %s", VERSION));
    sortie_ligne("id author Vesquin");
}

void uci_options() {
    std::string texte;
    texte += format_texte("option name Pawn type spin default %d min 0 max 1000\n", PION);
    texte += format_texte("option name Knight type spin default %d min 0 max 1000\n", CAVALIER);
    texte += format_texte("option name Bishop type spin default %d min 0 max 1000\n", FOU);
    texte += format_texte("option name Rook type spin default %d min 0 max 1000\n", TOUR);
    texte += format_texte("option name Queen type spin default %d min 0 max 2000\n", DAME);
    texte += format_texte("option name Mobility type spin default %d min -9 max 9\n", MOBILITY);
    texte += format_texte("option name Draw type spin default %d min -900 max 900\n", DRAW);
    texte += "option name Promote_in_uppercase type check default true\n";
    texte += format_texte("option name Solvane %s compile le %s %s type check default false\n", VERSION, __DATE__,
                          __TIME__);
    texte += format_texte("option name Ponder type check default %s\n", PONDER == 1 ? "true" : "false");
    texte += format_texte("option name Move Overhead type spin default %d min 0 max %d\n", MOVE_OVERHEAD,
                          MOVE_OVERHEAD_MAX);
    texte += format_texte("option name Threads type spin default %d min 1 max %d\n", THREADS, THREADS_MAX);
    sortie_texte(texte);
}

void uci_debug() { extract_param(); }

void uci_main() {
    if (est("quit")) {
        STOP = 1;
        FIN = 1;
    } else if (est("uci")) {
        uci_identification();
        uci_options();
        sortie_ligne("uciok");
    } else if (est("isready")) {
        ISREADY = 1;
    } else if (est("position")) {
        attendre_fin_recherche();
        uci_position();
    } else if (est("ponderhit")) {
        uci_ponderhit();
    } else if (est("go")) {
        uci_go();
    } else if (est("setoption")) {
        attendre_fin_recherche();
        uci_setoption();
    } else if (est("debug")) {
        uci_debug();
    } else if (est("stop")) {
        STOP = 1;
    } else if (est("d")) {
        uci_d();
    }
}
