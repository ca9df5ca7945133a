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

void uci_debug() { extract_param(); }

void uci_main() {
    if (!est("quit") && !est("stop")) attendre_fin_perft();
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
    } else if (est("ucinewgame")) {
        uci_ucinewgame();
    } else if (est("d")) {
        uci_d();
    }
}
