#include <initializer_list>

#include "movegen.h"

namespace {

int compter_glisse(int s, int ennemi, std::initializer_list<int> directions) {
    int n = 0;
    for (int d : directions) {
        int c = s + d;
        while (ECHIQUIER[c] == VIDE) {
            ++n;
            c += d;
        }
        if (couleur(c) == ennemi) ++n;
    }
    return n;
}

int compter_sauts(int s, int ennemi, std::initializer_list<int> sauts) {
    int n = 0;
    for (int d : sauts)
        if (ECHIQUIER[s + d] == VIDE || couleur(s + d) == ennemi) ++n;
    return n;
}

// Unlike the generator, the castling terms do not ask for empty squares, and
// is_roi_echec judges each square by what stands on it.
int compter_roques(int camp) {
    int n = 0;
    if (camp == BLANC) {
        if (PETIT_ROQUE_BLANC == 1 && !is_roi_echec(25) && !is_roi_echec(26) && !is_roi_echec(27)) ++n;
        if (GRAND_ROQUE_BLANC == 1 && !is_roi_echec(25) && !is_roi_echec(24) && !is_roi_echec(23)) ++n;
    } else {
        if (PETIT_ROQUE_NOIR == 1 && !is_roi_echec(95) && !is_roi_echec(96) && !is_roi_echec(97)) ++n;
        if (GRAND_ROQUE_NOIR == 1 && !is_roi_echec(95) && !is_roi_echec(94) && !is_roi_echec(93)) ++n;
    }
    return n;
}

}  // namespace

int nb_de_coups_possibles(int camp) {
    const int* b = ECHIQUIER;
    int ennemi = camp == BLANC ? NOIR : BLANC;
    int n = compter_roques(camp);
    int ep_de = 0, ep_a = 0;
    bool ep = dernier_coup(&ep_de, &ep_a);
    for (int s = 21; s <= 98; ++s) {
        int v = b[s];
        if (v == VIDE || v == HORS_JEU || (v > 0 ? BLANC : NOIR) != camp) continue;
        switch (v) {
            case PION_P:
                if (b[s + 10] == VIDE) {
                    ++n;
                    if (b[s + 20] == VIDE && s <= 40) ++n;
                }
                if (couleur(s + 11) == ennemi) ++n;
                if (couleur(s + 9) == ennemi) ++n;
                if (ep && s >= 61 && s <= 68 &&
                    ((ep_de == s + 21 && ep_a == s + 1 && b[s + 1] == -PION_P) ||
                     (ep_de == s + 19 && ep_a == s - 1 && b[s - 1] == -PION_P)))
                    ++n;
                break;
            case -PION_P:
                if (b[s - 10] == VIDE) {
                    ++n;
                    if (b[s - 20] == VIDE && s >= 79) ++n;
                }
                if (couleur(s - 9) == ennemi) ++n;
                if (couleur(s - 11) == ennemi) ++n;
                if (ep && s >= 51 && s <= 58 &&
                    ((ep_de == s - 21 && ep_a == s - 1 && b[s - 1] == PION_P) ||
                     (ep_de == s - 19 && ep_a == s + 1 && b[s + 1] == PION_P)))
                    ++n;
                break;
            case TOUR_P: case -TOUR_P: n += compter_glisse(s, ennemi, {1, -1, 10, -10}); break;
            case FOU_P: case -FOU_P: n += compter_glisse(s, ennemi, {11, -9, 9, -11}); break;
            case REINE: case -REINE: n += compter_glisse(s, ennemi, {1, -1, 10, -10, 11, -9, 9, -11}); break;
            case CAVALIER_P: case -CAVALIER_P: n += compter_sauts(s, ennemi, {21, 12, 19, 8, -12, -21, -19, -8}); break;
            default: n += compter_sauts(s, ennemi, {1, -9, -10, -11, -1, 9, 10, 11}); break;
        }
    }
    return n;
}
