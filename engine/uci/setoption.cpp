// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstring>
#include <string>

#include "globals.h"
#include "uci.h"

namespace {

// Values outside the announced ranges are kept, up to this size: beyond it the
// evaluation's sums and products of option values would overflow an int.
constexpr int OPTION_MAX = 1000000;

void majuscules(char* texte) {
    for (; *texte != '\0'; ++texte)
        if (*texte >= 'a' && *texte <= 'z') *texte = static_cast<char>(*texte - 'a' + 'A');
}

// The options of the table are named by the first word after "name"; Move
// Overhead by all the words up to "value".
void appliquer(const std::string& nom, const std::string& nom_complet, const std::string& valeur) {
    struct option_entiere {
        const char* nom;
        int* valeur;
    };
    static const option_entiere options[] = {
        {"PAWN", &PION}, {"KNIGHT", &CAVALIER}, {"BISHOP", &FOU}, {"ROOK", &TOUR},
        {"QUEEN", &DAME}, {"MOBILITY", &MOBILITY}, {"DRAW", &DRAW},
    };
    for (const option_entiere& o : options) {
        if (nom == o.nom) {
            *o.valeur = std::clamp(atoi_borne(valeur.c_str()), -OPTION_MAX, OPTION_MAX);
            return;
        }
    }
    if (nom == "PROMOTE_IN_UPPERCASE") PROMOTEINUPPERCASE = valeur == "TRUE" ? 1 : 0;
    if (nom == "PONDER") PONDER = valeur == "TRUE" ? 1 : 0;
    if (nom == "THREADS") THREADS = std::clamp(atoi_borne(valeur.c_str()), 1, THREADS_MAX);
    if (nom_complet == "MOVE OVERHEAD") MOVE_OVERHEAD = std::clamp(atoi_borne(valeur.c_str()), 0, MOVE_OVERHEAD_MAX);
}

}  // namespace

void uci_setoption() {
    enum { RIEN, NOM, VALEUR } attendu = RIEN;
    std::string nom, nom_complet;  // stay empty, matching no option, while no "name" was read
    bool dans_le_nom = false;
    while (extract_param() != 0) {
        if (attendu == NOM) {
            majuscules(COMMANDE);
            nom = nom_complet = COMMANDE;
            dans_le_nom = true;
            attendu = RIEN;
        } else if (attendu == VALEUR) {
            majuscules(COMMANDE);
            appliquer(nom, nom_complet, COMMANDE);
            attendu = RIEN;
        } else if (std::strcmp(COMMANDE, "name") == 0) {
            attendu = NOM;
        } else if (std::strcmp(COMMANDE, "value") == 0) {
            attendu = VALEUR;
            dans_le_nom = false;
        } else if (dans_le_nom) {
            majuscules(COMMANDE);
            nom_complet += ' ';
            nom_complet += COMMANDE;
        }
    }
}
