// SPDX-License-Identifier: GPL-3.0-or-later
#include <cassert>
#include <cstring>
#include <initializer_list>

#include "bitboard.h"
#include "globals.h"
#include "position.h"

namespace {

void ecrire_cases(echiquier_sauve& s) {
    std::memcpy(s.cases, &JEU.ECHIQUIER[20], sizeof s.cases);
    s.cases_a_jour = true;
}

void sauve(echiquier_sauve& s) {
    if (JEU.INSTANTANES_DIFFERES) s.cases_a_jour = false;
    else ecrire_cases(s);
    s.petit_roque_blanc = JEU.PETIT_ROQUE_BLANC;
    s.grand_roque_blanc = JEU.GRAND_ROQUE_BLANC;
    s.petit_roque_noir = JEU.PETIT_ROQUE_NOIR;
    s.grand_roque_noir = JEU.GRAND_ROQUE_NOIR;
    s.cle = JEU.CLE;
}

inline void restaurer_case(const echiquier_sauve& s, int c) { poser_piece(c, s.cases[c - 20]); }

// The snapshot of the position move n led to, and the times it has occurred.
inline int noter_position(int n, bool irreversible) {
    echiquier_sauve& s = JEU.ECHIQUIERS[n + 1];
    sauve(s);

    // Every second earlier snapshot has the same side to move. A capture or a
    // pawn move can never be undone, so no placement before it can recur.
    s.debut_fenetre = irreversible ? n + 1 : JEU.ECHIQUIERS[n].debut_fenetre;
    s.nb_occurrences = 1;
    for (int k = n - 1; k >= s.debut_fenetre; k -= 2) {
        const echiquier_sauve& e = JEU.ECHIQUIERS[k];
        if (e.cle == s.cle && cmp_mem(e.cases, &JEU.ECHIQUIER[20], 80) == 0) {
            s.nb_occurrences = e.nb_occurrences + 1;
            break;
        }
    }
    assert(position_is_ok());
    return s.nb_occurrences == 3 ? DRAW : PAS_DE_NULLE;
}

// A right goes with its rook, moved or taken. Chess960's rooks may stand
// anywhere: out of line, so that standard chess keeps its code.
[[gnu::cold, gnu::noinline]] void droits_des_tours_960() {
    const int* b = JEU.ECHIQUIER;  // cell 0, a lost right's, is off the board
    if (b[JEU.GRAND_ROQUE_BLANC] != TOUR_P) JEU.GRAND_ROQUE_BLANC = 0;
    if (b[JEU.PETIT_ROQUE_BLANC] != TOUR_P) JEU.PETIT_ROQUE_BLANC = 0;
    if (b[JEU.GRAND_ROQUE_NOIR] != -TOUR_P) JEU.GRAND_ROQUE_NOIR = 0;
    if (b[JEU.PETIT_ROQUE_NOIR] != -TOUR_P) JEU.PETIT_ROQUE_NOIR = 0;
}

// Castling in Chess960, recorded as the king taking its own rook: either may
// already stand on its last square, or on the other's.
[[gnu::cold, gnu::noinline]] int roquer(int n, int roi, int tour) {
    const int piece_roi = JEU.ECHIQUIER[roi], piece_tour = JEU.ECHIQUIER[tour];
    JEU.PARTIE[n] = {static_cast<uint8_t>(roi), static_cast<uint8_t>(tour), piece_roi, piece_tour};
    const int arrivee = roi_apres_roque(roi, tour);
    poser_piece(roi, VIDE);
    poser_piece(tour, VIDE);
    poser_piece(arrivee, piece_roi);
    poser_piece(tour_apres_roque(roi, tour), piece_tour);
    if (piece_roi == ROI) {
        JEU.ROI_BLANC = arrivee;
        JEU.PETIT_ROQUE_BLANC = JEU.GRAND_ROQUE_BLANC = 0;
    } else {
        JEU.ROI_NOIR = arrivee;
        JEU.PETIT_ROQUE_NOIR = JEU.GRAND_ROQUE_NOIR = 0;
    }
    return noter_position(n, false);
}

// Castling in Chess960 taken back once its record was undone as a capture of
// the side's own rook: the squares the two went to come back from the
// snapshot, and the bitboards, which took it for a capture, are rebuilt.
[[gnu::cold, gnu::noinline]] void defaire_roque(const echiquier_sauve& s, int roi, int tour) {
    for (int c : {roi_apres_roque(roi, tour), tour_apres_roque(roi, tour)}) JEU.ECHIQUIER[c] = s.cases[c - 20];
    synchroniser_position();
}

}  // namespace

int promotion_cible(int code) {
    int colonne = (code - PREMIER_CODE_PROMOTION) / 10;
    return code % 10 <= 4 ? 90 + colonne : 20 + colonne;
}

int promotion_piece(int code) {
    int d = code % 10;
    return d <= 4 ? REINE + d : -(REINE + d - 5);
}

void sauve_position_initiale() {
    synchroniser_position();
    sauve(JEU.ECHIQUIERS[0]);
    ecrire_cases(JEU.ECHIQUIERS[0]);
    JEU.ECHIQUIERS[0].nb_occurrences = 1;
    JEU.ECHIQUIERS[0].debut_fenetre = 0;
}

int ajoute_coup_partie(int depart, int arrivee) {
    int* b = JEU.ECHIQUIER;
    const int n = ++JEU.FIN_LISTE_PARTIE;
    assert(n < TAILLE_PARTIE - 1);

    // Take-back and the repetition test read the snapshot of the position a
    // move is made from.
    if (!JEU.ECHIQUIERS[n].cases_a_jour) ecrire_cases(JEU.ECHIQUIERS[n]);

    int t = arrivee & 0xFF;
    int promue = 0;
    if (t >= PREMIER_CODE_PROMOTION) {
        if (t >= PREMIER_CODE_ROQUE) return roquer(n, depart, tour_du_roque(t));
        promue = promotion_piece(t);
        t = promotion_cible(t);
    }

    const int piece = b[depart];
    const int prise = b[t];
    JEU.PARTIE[n] = {static_cast<uint8_t>(depart), static_cast<uint8_t>(t), piece, prise};

    const int arrivant = promue != 0 ? promue : piece;
    const int bd = bit_de_case(depart), bt = bit_de_case(t);
    if (prise != VIDE) {
        basculer_piece(bt, prise);
        --JEU.NB_PIECES[prise + 6];
    }
    basculer_piece(bd, piece);
    basculer_piece(bt, arrivant);
    --JEU.NB_PIECES[piece + 6];
    ++JEU.NB_PIECES[arrivant + 6];
    b[t] = arrivant;
    b[depart] = VIDE;

    if (droits_de_roque()) {
        if (piece == ROI) JEU.PETIT_ROQUE_BLANC = JEU.GRAND_ROQUE_BLANC = 0;
        if (piece == -ROI) JEU.PETIT_ROQUE_NOIR = JEU.GRAND_ROQUE_NOIR = 0;
        if (JEU.CHESS960) {
            droits_des_tours_960();
        } else {
            if (b[21] != TOUR_P) JEU.GRAND_ROQUE_BLANC = 0;
            if (b[28] != TOUR_P) JEU.PETIT_ROQUE_BLANC = 0;
            if (b[91] != -TOUR_P) JEU.GRAND_ROQUE_NOIR = 0;
            if (b[98] != -TOUR_P) JEU.PETIT_ROQUE_NOIR = 0;
        }
    }

    if (piece == ROI || piece == -ROI) {
        // Castling is the king's two-square move; the rook follows here.
        if (t - depart == 2) {
            poser_piece(t - 1, b[t + 1]);
            poser_piece(t + 1, VIDE);
        } else if (depart - t == 2) {
            poser_piece(t + 1, b[t - 2]);
            poser_piece(t - 2, VIDE);
        }
    } else if (prise == VIDE && promue == 0) {
        // A pawn moving diagonally onto an empty square takes en passant.
        if (piece == PION_P && (t - depart == 11 || t - depart == 9)) poser_piece(t - 10, VIDE);
        else if (piece == -PION_P && (t - depart == -9 || t - depart == -11)) poser_piece(t + 10, VIDE);
    }

    if (arrivant == ROI) JEU.ROI_BLANC = t;
    else if (arrivant == -ROI) JEU.ROI_NOIR = t;

    return noter_position(n, prise != VIDE || piece == PION_P || piece == -PION_P);
}

void retire_coup_partie() {
    int* b = JEU.ECHIQUIER;
    const int n = JEU.FIN_LISTE_PARTIE;
    assert(n >= 0);
    const coup_partie& m = JEU.PARTIE[n];
    const int d = m.depart;
    const int a = m.arrivee;
    const echiquier_sauve& s = JEU.ECHIQUIERS[n];

    // The moved piece goes back and the taken one returns; the rook of a
    // castling and a pawn taken en passant come back from the snapshot.
    const int bd = bit_de_case(d), ba = bit_de_case(a);
    const int arrive = b[a];
    basculer_bits(ba, arrive);
    basculer_bits(bd, m.piece_jouee);
    --JEU.NB_PIECES[arrive + 6];
    ++JEU.NB_PIECES[m.piece_jouee + 6];
    if (m.piece_prise != VIDE) {
        basculer_bits(ba, m.piece_prise);
        ++JEU.NB_PIECES[m.piece_prise + 6];
    }
    b[d] = m.piece_jouee;
    b[a] = m.piece_prise;
    const bool roi = m.piece_jouee == ROI || m.piece_jouee == -ROI;
    if (roi && m.piece_prise * m.piece_jouee > 0) {  // Chess960: the king took its own rook
        defaire_roque(s, d, a);
    } else if (roi && (a - d == 2 || d - a == 2)) {
        restaurer_case(s, a - 2);
        restaurer_case(s, a - 1);
        restaurer_case(s, a + 1);
    } else if (prise_en_passant(m.piece_jouee, d, a, m.piece_prise)) {
        restaurer_case(s, m.piece_jouee == PION_P ? a - 10 : a + 10);
    }
    JEU.CLE = s.cle;
    JEU.PETIT_ROQUE_BLANC = s.petit_roque_blanc;
    JEU.GRAND_ROQUE_BLANC = s.grand_roque_blanc;
    JEU.PETIT_ROQUE_NOIR = s.petit_roque_noir;
    JEU.GRAND_ROQUE_NOIR = s.grand_roque_noir;
    // Only a king moving changes a king's square: one taken never left its own.
    if (b[d] == ROI) JEU.ROI_BLANC = d;
    else if (b[d] == -ROI) JEU.ROI_NOIR = d;
    JEU.FIN_LISTE_PARTIE = n - 1;
    assert(position_is_ok());
}

bool repetitions_possibles() {
    const int n = JEU.FIN_LISTE_PARTIE + 1;
    return n - 1 >= JEU.ECHIQUIERS[n].debut_fenetre;
}

bool repetition_possible_apres(int depart, int arrivee) {
    const int n = JEU.FIN_LISTE_PARTIE + 1;
    const int debut = JEU.ECHIQUIERS[n].debut_fenetre;
    const int piece = JEU.ECHIQUIER[depart];
    if (JEU.ECHIQUIER[arrivee] != VIDE || piece == PION_P || piece == -PION_P) return false;
    const uint64_t cle = JEU.CLE ^ CLES_ZOBRIST[bit_de_case(depart)][piece + 6] ^ CLES_ZOBRIST[bit_de_case(arrivee)][piece + 6];
    for (int k = n - 1; k >= debut; k -= 2)
        if (JEU.ECHIQUIERS[k].cle == cle) return true;
    return false;
}

int is_dernier_coup_une_prise() {
    if (JEU.FIN_LISTE_PARTIE < 0) return 0;
    return JEU.PARTIE[JEU.FIN_LISTE_PARTIE].piece_prise != VIDE ? 1 : 0;
}

int cmp_mem(const int* a, const int* b, int n) {
    for (int i = 0; i < n; ++i)
        if (a[i] != b[i]) return -1;
    return 0;
}
