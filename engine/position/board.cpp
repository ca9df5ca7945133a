// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cassert>
#include <initializer_list>
#include <iterator>

#include "bitboard.h"
#include "position.h"

thread_local constinit etat_position JEU{};

void vide_echiquier() {
    for (int& c : JEU.ECHIQUIER) c = HORS_JEU;
    for (int rangee = 1; rangee <= 8; ++rangee)
        for (int colonne = 1; colonne <= 8; ++colonne) JEU.ECHIQUIER[case_de(colonne, rangee)] = VIDE;
}

void init() {
    JEU.ROI_BLANC = 25;
    JEU.ROI_NOIR = 95;
    JEU.FIN_LISTE_PARTIE = -1;
    JEU.EN_PASSANT_FEN = 0;
    JEU.DEMI_COUPS_FEN = 0;
    JEU.NUMERO_FEN = 1;
    vide_echiquier();
    static const int premiere_rangee[8] = {TOUR_P, CAVALIER_P, FOU_P, REINE, ROI, FOU_P, CAVALIER_P, TOUR_P};
    for (int f = 1; f <= 8; ++f) {
        JEU.ECHIQUIER[case_de(f, 1)] = premiere_rangee[f - 1];
        JEU.ECHIQUIER[case_de(f, 2)] = PION_P;
        JEU.ECHIQUIER[case_de(f, 7)] = -PION_P;
        JEU.ECHIQUIER[case_de(f, 8)] = -premiere_rangee[f - 1];
    }
    JEU.PETIT_ROQUE_BLANC = 28;
    JEU.GRAND_ROQUE_BLANC = 21;
    JEU.PETIT_ROQUE_NOIR = 98;
    JEU.GRAND_ROQUE_NOIR = 91;
    sauve_position_initiale();
}

int couleur(int c) {
    int v = JEU.ECHIQUIER[c];
    if (v == VIDE || v == HORS_JEU) return 0;
    return v > 0 ? BLANC : NOIR;
}

void inverse_trait() {
    JEU.ADVERSAIRE = JEU.TRAIT;
    JEU.TRAIT = -JEU.TRAIT;
}

bool double_pas_fen(int* depart, int* arrivee) {
    // A FEN target square counts only where the side to move could really take
    // en passant: empty, with the enemy pawn in front of it and the square it
    // came from empty.
    int cible = JEU.EN_PASSANT_FEN;
    if (cible == 0) return false;
    int rangee = cible / 10 - 1;
    if (JEU.TRAIT == BLANC && rangee == 6 && JEU.ECHIQUIER[cible] == VIDE && JEU.ECHIQUIER[cible - 10] == -PION_P &&
        JEU.ECHIQUIER[cible + 10] == VIDE) {
        *depart = cible + 10;
        *arrivee = cible - 10;
        return true;
    }
    if (JEU.TRAIT == NOIR && rangee == 3 && JEU.ECHIQUIER[cible] == VIDE && JEU.ECHIQUIER[cible + 10] == PION_P &&
        JEU.ECHIQUIER[cible - 10] == VIDE) {
        *depart = cible - 10;
        *arrivee = cible + 10;
        return true;
    }
    return false;
}

bool roque_en_place(int i, int tour) {
    const int camp = i < 2 ? BLANC : NOIR, rangee = camp == BLANC ? 20 : 90;
    const int roi = camp == BLANC ? JEU.ROI_BLANC : JEU.ROI_NOIR;
    const bool petit = i % 2 == 0;
    const bool sur_la_rangee = roi > rangee && roi <= rangee + 8 && tour > rangee && tour <= rangee + 8;
    const bool place = JEU.CHESS960 ? sur_la_rangee && (petit ? tour > roi : tour < roi)
                                    : roi == rangee + 5 && tour == rangee + (petit ? 8 : 1);
    return place && JEU.ECHIQUIER[tour] == TOUR_P * camp;
}

bool position_is_ok() {
    int rois_blancs = 0, rois_noirs = 0;
    for (int c = 0; c < 120; ++c) {
        int v = JEU.ECHIQUIER[c];
        if (!case_jouable(c)) {
            if (v != HORS_JEU) return false;
            continue;
        }
        if (v < -PION_P || v > PION_P) return false;
        if (v == ROI) {
            ++rois_blancs;
            if (c != JEU.ROI_BLANC) return false;
        }
        if (v == -ROI) {
            ++rois_noirs;
            if (c != JEU.ROI_NOIR) return false;
        }
    }
    if (rois_blancs != 1 || rois_noirs != 1) return false;
    const int droits[4] = {JEU.PETIT_ROQUE_BLANC, JEU.GRAND_ROQUE_BLANC, JEU.PETIT_ROQUE_NOIR, JEU.GRAND_ROQUE_NOIR};
    for (int i = 0; i < 4; ++i)
        if (droits[i] != 0 && !roque_en_place(i, droits[i])) return false;
    if (JEU.TRAIT != BLANC && JEU.TRAIT != NOIR) return false;
    if (JEU.FIN_LISTE_PARTIE < -1 || JEU.FIN_LISTE_PARTIE >= TAILLE_PARTIE - 1) return false;
    // The snapshot of the current position must be the board itself.
    const echiquier_sauve& s = JEU.ECHIQUIERS[JEU.FIN_LISTE_PARTIE + 1];
    if ((s.cases_a_jour && cmp_mem(s.cases, &JEU.ECHIQUIER[20], 80) != 0) || s.cle != JEU.CLE || !cle_a_jour())
        return false;
    // And the derived state must agree with the mailbox.
    bitboard occupation = 0;
    for (int b = 0; b < 64; ++b) {
        int v = JEU.ECHIQUIER[case_de_bit(b)];
        if (v != VIDE && (pieces_bb(v) >> b & 1) == 0) return false;
        if (v != VIDE) occupation |= bitboard{1} << b;
    }
    int bits = 0;
    for (bitboard b : JEU.PIECES_BB) bits += std::popcount(b);
    return occupation == JEU.OCCUPATION_BB && (JEU.CAMP_BB[0] | JEU.CAMP_BB[1]) == JEU.OCCUPATION_BB &&
           bits == std::popcount(JEU.OCCUPATION_BB);
}

namespace {

void sauver_plateau(plateau_sauve& p) {
    std::copy(std::begin(JEU.ECHIQUIER), std::end(JEU.ECHIQUIER), p.echiquier);
    p.trait = JEU.TRAIT;
    p.adversaire = JEU.ADVERSAIRE;
    p.roi_blanc = JEU.ROI_BLANC;
    p.roi_noir = JEU.ROI_NOIR;
    p.roques[0] = JEU.PETIT_ROQUE_BLANC;
    p.roques[1] = JEU.GRAND_ROQUE_BLANC;
    p.roques[2] = JEU.PETIT_ROQUE_NOIR;
    p.roques[3] = JEU.GRAND_ROQUE_NOIR;
}

void restaurer_plateau(const plateau_sauve& p) {
    std::copy(std::begin(p.echiquier), std::end(p.echiquier), JEU.ECHIQUIER);
    JEU.TRAIT = p.trait;
    JEU.ADVERSAIRE = p.adversaire;
    JEU.ROI_BLANC = p.roi_blanc;
    JEU.ROI_NOIR = p.roi_noir;
    JEU.PETIT_ROQUE_BLANC = p.roques[0];
    JEU.GRAND_ROQUE_BLANC = p.roques[1];
    JEU.PETIT_ROQUE_NOIR = p.roques[2];
    JEU.GRAND_ROQUE_NOIR = p.roques[3];
}

bool plateau_intact(const plateau_sauve& p) {
    return std::equal(std::begin(p.echiquier), std::end(p.echiquier), JEU.ECHIQUIER) && p.trait == JEU.TRAIT &&
           p.adversaire == JEU.ADVERSAIRE && p.roi_blanc == JEU.ROI_BLANC && p.roi_noir == JEU.ROI_NOIR &&
           p.roques[0] == JEU.PETIT_ROQUE_BLANC && p.roques[1] == JEU.GRAND_ROQUE_BLANC &&
           p.roques[2] == JEU.PETIT_ROQUE_NOIR && p.roques[3] == JEU.GRAND_ROQUE_NOIR;
}

}  // namespace

etat_partie sauver_partie() {
    etat_partie e;
    sauver_plateau(e.plateau);
    e.chess960 = JEU.CHESS960;
    e.en_passant = JEU.EN_PASSANT_FEN;
    e.demi_coups = JEU.DEMI_COUPS_FEN;
    e.numero = JEU.NUMERO_FEN;
    e.fin_liste = JEU.FIN_LISTE_PARTIE;
    e.partie.assign(JEU.PARTIE, JEU.PARTIE + (JEU.FIN_LISTE_PARTIE + 1));
    e.echiquiers.assign(JEU.ECHIQUIERS, JEU.ECHIQUIERS + (JEU.FIN_LISTE_PARTIE + 2));
    return e;
}

void restaurer_partie(const etat_partie& e) {
    restaurer_plateau(e.plateau);
    JEU.CHESS960 = e.chess960;
    JEU.EN_PASSANT_FEN = e.en_passant;
    JEU.DEMI_COUPS_FEN = e.demi_coups;
    JEU.NUMERO_FEN = e.numero;
    JEU.FIN_LISTE_PARTIE = e.fin_liste;
    std::copy(e.partie.begin(), e.partie.end(), JEU.PARTIE);
    std::copy(e.echiquiers.begin(), e.echiquiers.end(), JEU.ECHIQUIERS);
    synchroniser_position();
}

bool partie_intacte(const etat_partie& e) {
    return plateau_intact(e.plateau) && e.chess960 == JEU.CHESS960 && e.en_passant == JEU.EN_PASSANT_FEN &&
           e.fin_liste == JEU.FIN_LISTE_PARTIE && position_is_ok();
}

void sauver_noeud(etat_noeud& e, int racine) {
    assert(JEU.FIN_LISTE_PARTIE - racine <= RESERVE_RECHERCHE);
    e.racine = racine;
    sauver_plateau(e.plateau);
    e.fin_liste = JEU.FIN_LISTE_PARTIE;
    std::copy(JEU.PARTIE + (racine + 1), JEU.PARTIE + (e.fin_liste + 1), e.partie);
    std::copy(JEU.ECHIQUIERS + (racine + 1), JEU.ECHIQUIERS + (e.fin_liste + 2), e.echiquiers);
}

void restaurer_noeud(const etat_noeud& e) {
    restaurer_plateau(e.plateau);
    JEU.FIN_LISTE_PARTIE = e.fin_liste;
    const int n = e.fin_liste - e.racine;
    std::copy(e.partie, e.partie + n, JEU.PARTIE + (e.racine + 1));
    std::copy(e.echiquiers, e.echiquiers + (n + 1), JEU.ECHIQUIERS + (e.racine + 1));
    synchroniser_position();
    assert(position_is_ok());
}
