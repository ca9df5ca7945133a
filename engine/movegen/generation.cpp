#include <initializer_list>

#include "movegen.h"

void init_liste(liste_coups* liste) { liste->nb_coups = 0; }

void ajouter(liste_coups* liste, int depart, int arrivee) {
    if (liste->nb_coups >= MAX_COUPS) return;
    liste->coups[liste->nb_coups].depart = static_cast<uint8_t>(depart);
    liste->coups[liste->nb_coups].arrivee = static_cast<uint8_t>(arrivee);
    ++liste->nb_coups;
}

namespace {

// Promotion codes in the order queen, rook, knight, bishop (k = 0, 1, 3, 2).
void ajouter_promotions(liste_coups* liste, int depart, int cible, int base_camp) {
    int code = PREMIER_CODE_PROMOTION + 10 * (cible % 10) + base_camp;
    ajouter(liste, depart, code);
    ajouter(liste, depart, code + 1);
    ajouter(liste, depart, code + 3);
    ajouter(liste, depart, code + 2);
}

void glisser(liste_coups* calmes, liste_coups* prises, int s, std::initializer_list<int> directions) {
    for (int d : directions) {
        int c = s + d;
        while (ECHIQUIER[c] == VIDE) {
            ajouter(calmes, s, c);
            c += d;
        }
        if (couleur(c) == ADVERSAIRE) ajouter(prises, s, c);
    }
}

void sauter(liste_coups* calmes, liste_coups* prises, int s, std::initializer_list<int> sauts) {
    for (int d : sauts) {
        int c = s + d;
        if (ECHIQUIER[c] == VIDE) ajouter(calmes, s, c);
        else if (couleur(c) == ADVERSAIRE) ajouter(prises, s, c);
    }
}

void castling(liste_coups* calmes) {
    const int* b = ECHIQUIER;
    if (TRAIT == BLANC) {
        if (PETIT_ROQUE_BLANC == 1 && b[26] == VIDE && b[27] == VIDE && !is_roi_echec(25) && !is_roi_echec(26) &&
            !is_roi_echec(27))
            ajouter(calmes, 25, 27);
        if (GRAND_ROQUE_BLANC == 1 && b[24] == VIDE && b[23] == VIDE && b[22] == VIDE && !is_roi_echec(25) &&
            !is_roi_echec(24) && !is_roi_echec(23))
            ajouter(calmes, 25, 23);
    } else {
        if (PETIT_ROQUE_NOIR == 1 && b[96] == VIDE && b[97] == VIDE && !is_roi_echec(95) && !is_roi_echec(96) &&
            !is_roi_echec(97))
            ajouter(calmes, 95, 97);
        if (GRAND_ROQUE_NOIR == 1 && b[94] == VIDE && b[93] == VIDE && b[92] == VIDE && !is_roi_echec(95) &&
            !is_roi_echec(94) && !is_roi_echec(93))
            ajouter(calmes, 95, 93);
    }
}

void pion_blanc(liste_coups* calmes, liste_coups* prises, int s, bool ep, int ep_de, int ep_a) {
    const int* b = ECHIQUIER;
    if (b[s + 10] == VIDE) {
        if (s + 10 <= 90) ajouter(calmes, s, s + 10);
        else ajouter_promotions(calmes, s, s + 10, 0);
        if (b[s + 20] == VIDE && s <= 40) ajouter(calmes, s, s + 20);
    }
    for (int d : {11, 9}) {
        if (couleur(s + d) != ADVERSAIRE) continue;
        if (s + d >= 91) ajouter_promotions(prises, s, s + d, 0);
        else ajouter(prises, s, s + d);
    }
    if (ep && s >= 61 && s <= 68) {
        if (ep_de == s + 21 && ep_a == s + 1 && b[s + 1] == -PION_P) ajouter(prises, s, s + 11);
        else if (ep_de == s + 19 && ep_a == s - 1 && b[s - 1] == -PION_P) ajouter(prises, s, s + 9);
    }
}

void pion_noir(liste_coups* calmes, liste_coups* prises, int s, bool ep, int ep_de, int ep_a) {
    const int* b = ECHIQUIER;
    if (b[s - 10] == VIDE) {
        if (s - 10 >= 29) ajouter(calmes, s, s - 10);
        else ajouter_promotions(calmes, s, s - 10, 5);
        if (b[s - 20] == VIDE && s >= 79) ajouter(calmes, s, s - 20);
    }
    for (int d : {-9, -11}) {
        if (couleur(s + d) != ADVERSAIRE) continue;
        if (s + d <= 28) ajouter_promotions(prises, s, s + d, 5);
        else ajouter(prises, s, s + d);
    }
    if (ep && s >= 51 && s <= 58) {
        if (ep_de == s - 21 && ep_a == s - 1 && b[s - 1] == PION_P) ajouter(prises, s, s - 11);
        else if (ep_de == s - 19 && ep_a == s + 1 && b[s + 1] == PION_P) ajouter(prises, s, s - 9);
    }
}

}  // namespace

void generer_liste(liste_coups* calmes, liste_coups* prises) {
    castling(calmes);
    int ep_de = 0, ep_a = 0;
    bool ep = dernier_coup(&ep_de, &ep_a);
    for (int s = 21; s <= 98; ++s) {
        int v = ECHIQUIER[s];
        if (v == VIDE || v == HORS_JEU || couleur(s) != TRAIT) continue;
        switch (v) {
            case PION_P: pion_blanc(calmes, prises, s, ep, ep_de, ep_a); break;
            case -PION_P: pion_noir(calmes, prises, s, ep, ep_de, ep_a); break;
            case TOUR_P: case -TOUR_P: glisser(calmes, prises, s, {1, -1, 10, -10}); break;
            case FOU_P: case -FOU_P: glisser(calmes, prises, s, {11, -9, 9, -11}); break;
            case REINE: case -REINE:
                glisser(calmes, prises, s, {1, -1, 10, -10});
                glisser(calmes, prises, s, {11, -9, 9, -11});
                break;
            case CAVALIER_P: case -CAVALIER_P: sauter(calmes, prises, s, {21, 12, 19, 8, -12, -21, -19, -8}); break;
            default: sauter(calmes, prises, s, {1, -9, -10, -11, -1, 9, 10, 11}); break;
        }
    }
}
