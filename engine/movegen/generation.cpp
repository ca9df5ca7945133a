// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <initializer_list>

#include "bitboard.h"
#include "movegen.h"
#include "tables.h"

void init_liste(liste_coups* liste) { liste->nb_coups = 0; }

void ajouter(liste_coups* liste, int depart, int arrivee) {
    if (liste->nb_coups >= MAX_COUPS) return;
    liste->coups[liste->nb_coups].depart = static_cast<uint8_t>(depart);
    liste->coups[liste->nb_coups].arrivee = static_cast<uint8_t>(arrivee);
    ++liste->nb_coups;
}

namespace {

// Castling in Chess960, king side then queen side: every square either piece
// crosses or lands on empty but for the two of them, and none the king stands
// on, crosses or lands on attacked. A rook that shields its king's last square
// is caught by the legality test once the move is made. Out of line, so that
// the standard generator keeps its code.
[[gnu::cold, gnu::noinline]] void roques_960(liste_coups* calmes) {
    const bool blanc = JEU.TRAIT == BLANC;
    const int roi = blanc ? JEU.ROI_BLANC : JEU.ROI_NOIR;
    for (const int tour : {blanc ? JEU.PETIT_ROQUE_BLANC : JEU.PETIT_ROQUE_NOIR,
                           blanc ? JEU.GRAND_ROQUE_BLANC : JEU.GRAND_ROQUE_NOIR}) {
        if (tour == 0) continue;
        const int r = bit_de_case(roi), t = bit_de_case(tour);
        const int ar = bit_de_case(roi_apres_roque(roi, tour)), at = bit_de_case(tour_apres_roque(roi, tour));
        const bitboard chemin_roi = ENTRE[r][ar] | bitboard{1} << r | bitboard{1} << ar;
        const bitboard chemin_tour = ENTRE[t][at] | bitboard{1} << t | bitboard{1} << at;
        const bitboard eux = bitboard{1} << r | bitboard{1} << t;
        bool permis = ((chemin_roi | chemin_tour) & JEU.OCCUPATION_BB & ~eux) == 0;
        for (bitboard x = chemin_roi; x != 0 && permis;) permis = !case_attaquee(bit_suivant(x), -JEU.TRAIT);
        if (permis) ajouter(calmes, roi, code_roque(tour));
    }
}

// The moves of the side to move, appended in the search's order: castling,
// then the pieces from a1 to h8. CALMES and PRISES choose which list is filled;
// each list comes out the same whether or not the other one is.
template <bool CALMES, bool PRISES>
class generateur {
public:
    generateur(liste_coups* calmes, liste_coups* prises) : calmes_(calmes), prises_(prises) {
        ep_ = PRISES && dernier_coup(&ep_de_, &ep_a_);
    }

    // The moves of the pieces in `pieces`, all of the side to move.
    void generer(bitboard pieces) {
        if (CALMES) roques();
        for (bitboard x = pieces; x != 0;) piece(case_de_bit(bit_suivant(x)));
    }

    void piece(int s) {
        switch (b_[s]) {
            case PION_P: pion_blanc(s); break;
            case -PION_P: pion_noir(s); break;
            case TOUR_P: case -TOUR_P: lignes(s); break;
            case FOU_P: case -FOU_P: diagonales(s); break;
            case REINE: case -REINE:
                lignes(s);
                diagonales(s);
                break;
            case CAVALIER_P: case -CAVALIER_P:
                sauter(s, ATTAQUES_CAVALIER[bit_de_case(s)], {21, 12, 19, 8, -12, -21, -19, -8});
                break;
            default: sauter(s, ATTAQUES_ROI[bit_de_case(s)], {1, -9, -10, -11, -1, 9, 10, 11}); break;
        }
    }

    // Castling, king side then queen side: the right still held, the squares
    // between king and rook empty, and neither the king's square nor the two
    // it crosses attacked.
    void roques() {
        if (JEU.CHESS960) return roques_960(calmes_);
        const bool blanc = JEU.TRAIT == BLANC;
        const int roi = blanc ? 25 : 95;
        roque(blanc ? JEU.PETIT_ROQUE_BLANC : JEU.PETIT_ROQUE_NOIR, roi, 1);
        roque(blanc ? JEU.GRAND_ROQUE_BLANC : JEU.GRAND_ROQUE_NOIR, roi, -1);
    }

private:
    const int* b_ = JEU.ECHIQUIER;
    const int adversaire_ = JEU.ADVERSAIRE;
    liste_coups* calmes_;
    liste_coups* prises_;
    bool ep_;  // the last move may allow en passant: a double step from ep_de_ to ep_a_
    int ep_de_ = 0, ep_a_ = 0;

    // An enemy is a piece of the side ADVERSAIRE names; empty and off-board cells are not.
    bool ennemi(int c) const { return static_cast<unsigned>(b_[c] * adversaire_ - 1) < 6u; }

    void calme(int s, int c) {
        if (CALMES) ajouter(calmes_, s, c);
    }
    void prise(int s, int c) {
        if (PRISES) ajouter(prises_, s, c);
    }

    // Queen, rook, knight, bishop: k = 0, 1, 3, 2 (base 5 for Black).
    void promotions(liste_coups* liste, int s, int cible, int base) {
        const int code = PREMIER_CODE_PROMOTION + 10 * (cible % 10) + base;
        for (int k : {0, 1, 3, 2}) ajouter(liste, s, code + k);
    }

    void roque(int droit, int roi, int sens) {
        const int* b = b_;
        const bool libre = b[roi + sens] == VIDE && b[roi + 2 * sens] == VIDE && (sens > 0 || b[roi - 3] == VIDE);
        if (droit != 0 && libre && !is_roi_echec(roi) && !is_roi_echec(roi + sens) && !is_roi_echec(roi + 2 * sens))
            calme(roi, roi + 2 * sens);
    }

    struct rayon {
        int pas;
        direction sens;
    };

    // Along each ray in turn: its empty squares by distance, then a capture of
    // the enemy that ends it. Captures alone come from the attack set: at most
    // one per ray, the first piece met.
    void glisser(int s, bitboard attaques, std::initializer_list<rayon> rayons) {
        const bitboard prises = PRISES ? attaques & JEU.CAMP_BB[indice_camp(adversaire_)] : 0;
        for (const rayon& r : rayons) {
            if (CALMES) {
                int c = s + r.pas;
                while (b_[c] == VIDE) {
                    ajouter(calmes_, s, c);
                    c += r.pas;
                }
            }
            const bitboard prise_sur_rayon = PRISES ? prises & RAYON[r.sens][bit_de_case(s)] : 0;
            if (prise_sur_rayon != 0) ajouter(prises_, s, case_de_bit(std::countr_zero(prise_sur_rayon)));
        }
    }

    void lignes(int s) {
        const bitboard a = PRISES ? attaques_tour(bit_de_case(s), JEU.OCCUPATION_BB) : 0;
        glisser(s, a, {{1, EST}, {-1, OUEST}, {10, NORD}, {-10, SUD}});
    }

    void diagonales(int s) {
        const bitboard a = PRISES ? attaques_fou(bit_de_case(s), JEU.OCCUPATION_BB) : 0;
        glisser(s, a, {{11, NORD_EST}, {-9, SUD_EST}, {9, NORD_OUEST}, {-11, SUD_OUEST}});
    }

    void sauter(int s, bitboard attaques, std::initializer_list<int> pas) {
        const bool prises = PRISES && (attaques & JEU.CAMP_BB[indice_camp(adversaire_)]) != 0;
        if (!CALMES && !prises) return;
        for (int d : pas) {
            if (b_[s + d] == VIDE) calme(s, s + d);
            else if (prises && ennemi(s + d)) prise(s, s + d);
        }
    }

    void pion_blanc(int s) {
        if (CALMES && b_[s + 10] == VIDE) {
            if (s + 10 <= 90) ajouter(calmes_, s, s + 10);
            else promotions(calmes_, s, s + 10, 0);
            if (b_[s + 20] == VIDE && s <= 40) ajouter(calmes_, s, s + 20);
        }
        if (!PRISES) return;
        for (int d : {11, 9}) {
            if (!ennemi(s + d)) continue;
            if (s + d >= 91) promotions(prises_, s, s + d, 0);
            else ajouter(prises_, s, s + d);
        }
        // En passant: the last move was the enemy pawn's double step to beside s.
        if (ep_ && s >= 61 && s <= 68) {
            if (ep_de_ == s + 21 && ep_a_ == s + 1 && b_[s + 1] == -PION_P) ajouter(prises_, s, s + 11);
            else if (ep_de_ == s + 19 && ep_a_ == s - 1 && b_[s - 1] == -PION_P) ajouter(prises_, s, s + 9);
        }
    }

    void pion_noir(int s) {
        if (CALMES && b_[s - 10] == VIDE) {
            if (s - 10 >= 29) ajouter(calmes_, s, s - 10);
            else promotions(calmes_, s, s - 10, 5);
            if (b_[s - 20] == VIDE && s >= 79) ajouter(calmes_, s, s - 20);
        }
        if (!PRISES) return;
        for (int d : {-9, -11}) {
            if (!ennemi(s + d)) continue;
            if (s + d <= 28) promotions(prises_, s, s + d, 5);
            else ajouter(prises_, s, s + d);
        }
        if (ep_ && s >= 51 && s <= 58) {
            if (ep_de_ == s - 21 && ep_a_ == s - 1 && b_[s - 1] == PION_P) ajouter(prises_, s, s - 11);
            else if (ep_de_ == s - 19 && ep_a_ == s + 1 && b_[s + 1] == PION_P) ajouter(prises_, s, s - 9);
        }
    }
};

// The pieces of the side to move that attack an enemy piece, or may take en
// passant: most positions have few, and only they need their captures listed.
bitboard preneurs() {
    const bitboard ennemis = JEU.CAMP_BB[1 - indice_camp(JEU.TRAIT)];
    bitboard p = pieces_bb(PION_P * JEU.TRAIT) &
                 (JEU.TRAIT == BLANC ? ((ennemis & ~COLONNE_A) >> 9) | ((ennemis & ~COLONNE_H) >> 7)
                                 : ((ennemis & ~COLONNE_A) << 7) | ((ennemis & ~COLONNE_H) << 9));
    attaques_des_pieces(JEU.TRAIT, JEU.OCCUPATION_BB, [&](int b, bitboard attaques) {
        if ((attaques & ennemis) != 0) p |= bitboard{1} << b;
    });
    return p | preneurs_en_passant();
}

[[gnu::always_inline]] inline void prises_du_camp(liste_coups* prises) { generateur<false, true>(nullptr, prises).generer(preneurs()); }

[[gnu::always_inline]] inline void calmes_par_lot(liste_coups* calmes, bitboard* reste) {
    generateur<true, false> g(calmes, nullptr);
    if (*reste == JEU.CAMP_BB[indice_camp(JEU.TRAIT)]) g.roques();
    while (*reste != 0 && calmes->nb_coups < LOT_DE_CALMES) g.piece(case_de_bit(bit_suivant(*reste)));
}

}  // namespace

void generer_liste(liste_coups* calmes, liste_coups* prises) {
    generateur<true, true>(calmes, prises).generer(JEU.CAMP_BB[indice_camp(JEU.TRAIT)]);
}
void generer_dans_l_ordre(coups_ordonnes* coups) {
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generer_liste(&calmes, &prises);
    std::copy_n(prises.coups, prises.nb_coups, coups->coups);
    std::copy_n(calmes.coups, calmes.nb_coups, coups->coups + prises.nb_coups);
    coups->nb_prises = prises.nb_coups;
    coups->nb_coups = prises.nb_coups + calmes.nb_coups;
    coups->complets = prises.nb_coups < MAX_COUPS && calmes.nb_coups < MAX_COUPS;
}
void generer_prises(liste_coups* prises) { prises_du_camp(prises); }
JUMELLE void generer_prises_avec_table(liste_coups* prises) { prises_du_camp(prises); }
liste_du_coup liste_de(coup m) {
    if (!case_jouable(m.depart) || JEU.ECHIQUIER[m.depart] * JEU.TRAIT <= 0) return liste_du_coup::aucune;
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generateur<true, true> g(&calmes, &prises);
    if (JEU.ECHIQUIER[m.depart] == ROI * JEU.TRAIT) g.roques();
    g.piece(m.depart);
    const auto tient = [m](const liste_coups& l) {
        return std::any_of(l.coups, l.coups + l.nb_coups,
                           [m](coup c) { return c.depart == m.depart && c.arrivee == m.arrivee; });
    };
    return tient(prises) ? liste_du_coup::prises : tient(calmes) ? liste_du_coup::calmes : liste_du_coup::aucune;
}

void generer_calmes(liste_coups* calmes, bitboard* reste) { calmes_par_lot(calmes, reste); }
JUMELLE void generer_calmes_avec_table(liste_coups* calmes, bitboard* reste) { calmes_par_lot(calmes, reste); }
