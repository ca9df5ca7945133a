#include <cassert>
#include <cstring>

#include "globals.h"
#include "position.h"

coup_partie PARTIE[TAILLE_PARTIE];
echiquier_sauve ECHIQUIERS[TAILLE_PARTIE];
int FIN_LISTE_PARTIE = -1;

namespace {

void sauve(echiquier_sauve& s) {
    std::memcpy(s.cases, &ECHIQUIER[20], sizeof s.cases);
    s.petit_roque_blanc = PETIT_ROQUE_BLANC;
    s.grand_roque_blanc = GRAND_ROQUE_BLANC;
    s.petit_roque_noir = PETIT_ROQUE_NOIR;
    s.grand_roque_noir = GRAND_ROQUE_NOIR;
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
    sauve(ECHIQUIERS[0]);
    ECHIQUIERS[0].nb_occurrences = 1;
}

int ajoute_coup_partie(int depart, int arrivee) {
    int* b = ECHIQUIER;
    int n = ++FIN_LISTE_PARTIE;
    assert(n < TAILLE_PARTIE - 1);

    int t = arrivee & 0xFF;
    int promue = 0;
    if (t >= PREMIER_CODE_PROMOTION) {
        promue = promotion_piece(t);
        t = promotion_cible(t);
    }

    PARTIE[n] = {static_cast<uint8_t>(depart), static_cast<uint8_t>(t), b[depart], b[t]};
    int piece_prise = b[t];

    b[t] = PROMOTION != 0 ? PROMOTION : b[depart];
    b[depart] = VIDE;
    int p = b[t];

    if (p == ROI) PETIT_ROQUE_BLANC = GRAND_ROQUE_BLANC = 0;
    if (p == -ROI) PETIT_ROQUE_NOIR = GRAND_ROQUE_NOIR = 0;
    if (b[21] != TOUR_P) GRAND_ROQUE_BLANC = 0;
    if (b[28] != TOUR_P) PETIT_ROQUE_BLANC = 0;
    if (b[91] != -TOUR_P) GRAND_ROQUE_NOIR = 0;
    if (b[98] != -TOUR_P) PETIT_ROQUE_NOIR = 0;

    // Castling is the king's two-square move; the rook follows here.
    if ((p == ROI || p == -ROI) && t - depart == 2) {
        b[t - 1] = b[t + 1];
        b[t + 1] = VIDE;
    } else if ((p == ROI || p == -ROI) && depart - t == 2) {
        b[t + 1] = b[t - 2];
        b[t - 2] = VIDE;
    }

    if (promue != 0) {
        b[t] = promue;
    } else if (piece_prise == VIDE) {
        // A pawn moving diagonally onto an empty square takes en passant.
        if (b[t] == PION_P && (t - depart == 11 || t - depart == 9)) b[t - 10] = VIDE;
        else if (b[t] == -PION_P && (t - depart == -9 || t - depart == -11)) b[t + 10] = VIDE;
    }

    if (b[t] == ROI) ROI_BLANC = t;
    if (b[t] == -ROI) ROI_NOIR = t;

    echiquier_sauve& s = ECHIQUIERS[n + 1];
    sauve(s);

    // Only every second earlier snapshot has the same side to move.
    s.nb_occurrences = 1;
    for (int k = n - 1; k >= 0; k -= 2) {
        if (cmp_mem(ECHIQUIERS[k].cases, s.cases, 80) == 0) {
            s.nb_occurrences = ECHIQUIERS[k].nb_occurrences + 1;
            break;
        }
    }
    assert(position_is_ok());
    return s.nb_occurrences == 3 ? DRAW : 1000;
}

void retire_coup_partie() {
    int n = FIN_LISTE_PARTIE;
    assert(n >= 0);
    int d = PARTIE[n].depart;
    int a = PARTIE[n].arrivee;
    const echiquier_sauve& s = ECHIQUIERS[n];
    std::memcpy(&ECHIQUIER[20], s.cases, sizeof s.cases);
    PETIT_ROQUE_BLANC = s.petit_roque_blanc;
    GRAND_ROQUE_BLANC = s.grand_roque_blanc;
    PETIT_ROQUE_NOIR = s.petit_roque_noir;
    GRAND_ROQUE_NOIR = s.grand_roque_noir;
    if (ECHIQUIER[d] == ROI) ROI_BLANC = d;
    else if (ECHIQUIER[d] == -ROI) ROI_NOIR = d;
    if (ECHIQUIER[a] == ROI) ROI_BLANC = a;
    else if (ECHIQUIER[a] == -ROI) ROI_NOIR = a;
    FIN_LISTE_PARTIE = n - 1;
    assert(position_is_ok());
}

int is_dernier_coup_une_prise() {
    if (FIN_LISTE_PARTIE < 0) return 0;
    return PARTIE[FIN_LISTE_PARTIE].piece_prise != VIDE ? 1 : 0;
}

int cmp_mem(const int* a, const int* b, int n) {
    for (int i = 0; i < n; ++i)
        if (a[i] != b[i]) return -1;
    return 0;
}
