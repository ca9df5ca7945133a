// SPDX-License-Identifier: GPL-3.0-or-later
// "uci" announces the option table and "setoption" sets its entries.
#include <algorithm>
#include <cstring>
#include <string>

#include "globals.h"
#include "search.h"
#include "sortie.h"
#include "uci.h"
#include "version.h"

namespace {

std::string majuscules(std::string texte) {
    for (char& c : texte)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return texte;
}

std::string ligne_option(const option_moteur& o) {
    const int valeur = o.annonce_defaut || o.valeur == nullptr ? o.defaut : *o.valeur;
    switch (o.genre) {
        case genre_option::spin:
            return format_texte("option name %s type spin default %d min %d max %d\n", o.nom, valeur, o.min, o.max);
        case genre_option::check:
            return format_texte("option name %s type check default %s\n", o.nom, valeur != 0 ? "true" : "false");
        case genre_option::marque:
            return format_texte("option name %s %s compile le %s %s type check default false\n", o.nom, VERSION,
                                __DATE__, __TIME__);
        case genre_option::bouton:
            return format_texte("option name %s type button\n", o.nom);
    }
    return "";
}

// What an option does beyond its value: the table takes its size, and the
// button empties it.
void effet(const option_moteur& o) {
    if (o.valeur == &HASH) table_dimensionner(HASH);
    else if (o.genre == genre_option::bouton) table_vider();
}

// An option is named by the first word after "name" or by all the words up
// to "value"; both come upper-cased, as does the value (nullptr for none,
// which only a button takes).
void appliquer(const std::string& nom, const std::string& nom_complet, const std::string* valeur) {
    for (const option_moteur& o : OPTIONS) {
        const std::string cle = majuscules(o.nom);
        if (cle != nom && cle != nom_complet) continue;
        if ((o.genre == genre_option::bouton) != (valeur == nullptr)) return;
        if (o.valeur != nullptr) {
            if (o.genre == genre_option::check) *o.valeur = *valeur == "TRUE" ? 1 : 0;
            else if (o.bornee) *o.valeur = std::clamp(atoi_borne(valeur->c_str()), o.min, o.max);
            else *o.valeur = std::clamp(atoi_borne(valeur->c_str()), -OPTION_MAX, OPTION_MAX);
        }
        effet(o);
        return;
    }
}

}  // namespace

void uci_options() {
    std::string texte;
    for (const option_moteur& o : OPTIONS) texte += ligne_option(o);
    sortie_texte(texte);
}

void uci_setoption() {
    enum { RIEN, NOM, VALEUR } attendu = RIEN;
    std::string nom, nom_complet;  // stay empty, matching no option, while no "name" was read
    bool dans_le_nom = false, valeur_lue = false;
    while (extract_param() != 0) {
        if (attendu == NOM) {
            nom = nom_complet = majuscules(COMMANDE);
            dans_le_nom = true;
            attendu = RIEN;
        } else if (attendu == VALEUR) {
            const std::string valeur = majuscules(COMMANDE);
            appliquer(nom, nom_complet, &valeur);
            valeur_lue = true;
            attendu = RIEN;
        } else if (std::strcmp(COMMANDE, "name") == 0) {
            attendu = NOM;
        } else if (std::strcmp(COMMANDE, "value") == 0) {
            attendu = VALEUR;
            dans_le_nom = false;
        } else if (dans_le_nom) {
            nom_complet += ' ' + majuscules(COMMANDE);
        }
    }
    if (!valeur_lue) appliquer(nom, nom_complet, nullptr);
}
