// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "bitboard.h"
#include "position.h"

int ECHIQUIER[120];
int TRAIT;
int ADVERSAIRE;
int ROI_BLANC;
int ROI_NOIR;
int PETIT_ROQUE_BLANC;
int GRAND_ROQUE_BLANC;
int PETIT_ROQUE_NOIR;
int GRAND_ROQUE_NOIR;
int PROMOTION;
int EN_PASSANT_FEN;
int DEMI_COUPS_FEN;
int NUMERO_FEN = 1;

void vide_echiquier() {
    for (int& c : ECHIQUIER) c = HORS_JEU;
    for (int rangee = 1; rangee <= 8; ++rangee)
        for (int colonne = 1; colonne <= 8; ++colonne) ECHIQUIER[case_de(colonne, rangee)] = VIDE;
}

void init() {
    ROI_BLANC = 25;
    ROI_NOIR = 95;
    FIN_LISTE_PARTIE = -1;
    EN_PASSANT_FEN = 0;
    DEMI_COUPS_FEN = 0;
    NUMERO_FEN = 1;
    vide_echiquier();
    static const int premiere_rangee[8] = {TOUR_P, CAVALIER_P, FOU_P, REINE, ROI, FOU_P, CAVALIER_P, TOUR_P};
    for (int f = 1; f <= 8; ++f) {
        ECHIQUIER[case_de(f, 1)] = premiere_rangee[f - 1];
        ECHIQUIER[case_de(f, 2)] = PION_P;
        ECHIQUIER[case_de(f, 7)] = -PION_P;
        ECHIQUIER[case_de(f, 8)] = -premiere_rangee[f - 1];
    }
    PETIT_ROQUE_BLANC = GRAND_ROQUE_BLANC = PETIT_ROQUE_NOIR = GRAND_ROQUE_NOIR = 1;
    sauve_position_initiale();
}

int couleur(int c) {
    int v = ECHIQUIER[c];
    if (v == VIDE || v == HORS_JEU) return 0;
    return v > 0 ? BLANC : NOIR;
}

void inverse_trait() {
    ADVERSAIRE = TRAIT;
    TRAIT = -TRAIT;
}

bool double_pas_fen(int* depart, int* arrivee) {
    // A FEN target square counts only where the side to move could really take
    // en passant: empty, with the enemy pawn in front of it and the square it
    // came from empty.
    int cible = EN_PASSANT_FEN;
    if (cible == 0) return false;
    int rangee = cible / 10 - 1;
    if (TRAIT == BLANC && rangee == 6 && ECHIQUIER[cible] == VIDE && ECHIQUIER[cible - 10] == -PION_P &&
        ECHIQUIER[cible + 10] == VIDE) {
        *depart = cible + 10;
        *arrivee = cible - 10;
        return true;
    }
    if (TRAIT == NOIR && rangee == 3 && ECHIQUIER[cible] == VIDE && ECHIQUIER[cible + 10] == PION_P &&
        ECHIQUIER[cible - 10] == VIDE) {
        *depart = cible - 10;
        *arrivee = cible + 10;
        return true;
    }
    return false;
}

bool position_is_ok() {
    int rois_blancs = 0, rois_noirs = 0;
    for (int c = 0; c < 120; ++c) {
        int v = ECHIQUIER[c];
        if (!case_jouable(c)) {
            if (v != HORS_JEU) return false;
            continue;
        }
        if (v < -PION_P || v > PION_P) return false;
        if (v == ROI) {
            ++rois_blancs;
            if (c != ROI_BLANC) return false;
        }
        if (v == -ROI) {
            ++rois_noirs;
            if (c != ROI_NOIR) return false;
        }
    }
    if (rois_blancs != 1 || rois_noirs != 1) return false;
    for (int droit : {PETIT_ROQUE_BLANC, GRAND_ROQUE_BLANC, PETIT_ROQUE_NOIR, GRAND_ROQUE_NOIR})
        if (droit != 0 && droit != 1) return false;
    if (TRAIT != BLANC && TRAIT != NOIR) return false;
    if (FIN_LISTE_PARTIE < -1 || FIN_LISTE_PARTIE >= TAILLE_PARTIE - 1) return false;
    // The snapshot of the current position must be the board itself.
    const echiquier_sauve& s = ECHIQUIERS[FIN_LISTE_PARTIE + 1];
    if ((s.cases_a_jour && cmp_mem(s.cases, &ECHIQUIER[20], 80) != 0) || s.cle != CLE) return false;
    // And the derived state must agree with the mailbox.
    bitboard occupation = 0;
    for (int b = 0; b < 64; ++b) {
        int v = ECHIQUIER[case_de_bit(b)];
        if (v != VIDE && (pieces_bb(v) >> b & 1) == 0) return false;
        if (v != VIDE) occupation |= bitboard{1} << b;
    }
    int bits = 0;
    for (bitboard b : PIECES_BB) bits += std::popcount(b);
    return occupation == OCCUPATION_BB && (CAMP_BB[0] | CAMP_BB[1]) == OCCUPATION_BB &&
           bits == std::popcount(OCCUPATION_BB);
}

etat_partie sauver_partie() {
    etat_partie e;
    std::copy(std::begin(ECHIQUIER), std::end(ECHIQUIER), e.echiquier);
    e.trait = TRAIT;
    e.adversaire = ADVERSAIRE;
    e.roi_blanc = ROI_BLANC;
    e.roi_noir = ROI_NOIR;
    e.roques[0] = PETIT_ROQUE_BLANC;
    e.roques[1] = GRAND_ROQUE_BLANC;
    e.roques[2] = PETIT_ROQUE_NOIR;
    e.roques[3] = GRAND_ROQUE_NOIR;
    e.en_passant = EN_PASSANT_FEN;
    e.demi_coups = DEMI_COUPS_FEN;
    e.numero = NUMERO_FEN;
    e.fin_liste = FIN_LISTE_PARTIE;
    e.partie.assign(PARTIE, PARTIE + (FIN_LISTE_PARTIE + 1));
    e.echiquiers.assign(ECHIQUIERS, ECHIQUIERS + (FIN_LISTE_PARTIE + 2));
    return e;
}

void restaurer_partie(const etat_partie& e) {
    std::copy(std::begin(e.echiquier), std::end(e.echiquier), ECHIQUIER);
    TRAIT = e.trait;
    ADVERSAIRE = e.adversaire;
    ROI_BLANC = e.roi_blanc;
    ROI_NOIR = e.roi_noir;
    PETIT_ROQUE_BLANC = e.roques[0];
    GRAND_ROQUE_BLANC = e.roques[1];
    PETIT_ROQUE_NOIR = e.roques[2];
    GRAND_ROQUE_NOIR = e.roques[3];
    EN_PASSANT_FEN = e.en_passant;
    DEMI_COUPS_FEN = e.demi_coups;
    NUMERO_FEN = e.numero;
    FIN_LISTE_PARTIE = e.fin_liste;
    std::copy(e.partie.begin(), e.partie.end(), PARTIE);
    std::copy(e.echiquiers.begin(), e.echiquiers.end(), ECHIQUIERS);
    synchroniser_position();
}

bool partie_intacte(const etat_partie& e) {
    return std::equal(std::begin(e.echiquier), std::end(e.echiquier), ECHIQUIER) && e.trait == TRAIT &&
           e.adversaire == ADVERSAIRE && e.roi_blanc == ROI_BLANC && e.roi_noir == ROI_NOIR &&
           e.roques[0] == PETIT_ROQUE_BLANC && e.roques[1] == GRAND_ROQUE_BLANC && e.roques[2] == PETIT_ROQUE_NOIR &&
           e.roques[3] == GRAND_ROQUE_NOIR && e.en_passant == EN_PASSANT_FEN && e.fin_liste == FIN_LISTE_PARTIE &&
           position_is_ok();
}
