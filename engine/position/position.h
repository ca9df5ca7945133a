// SPDX-License-Identifier: GPL-3.0-or-later
// The position a thread plays on: a 10 x 12 mailbox board, the side to move,
// the king squares, the castling rights, and the game record with a snapshot of
// the board after every move (for take-back and repetition counting).
#pragma once

#include <cstdint>
#include <vector>

// Cell values. Positive codes are White, negative Black.
constexpr int VIDE = 0;
constexpr int ROI = 1;
constexpr int REINE = 2;
constexpr int TOUR_P = 3;
constexpr int FOU_P = 4;
constexpr int CAVALIER_P = 5;
constexpr int PION_P = 6;
constexpr int HORS_JEU = 10;

constexpr int BLANC = 1;
constexpr int NOIR = -1;

// Squares are 10 * (rank + 1) + file, a1 = 21, h8 = 98.
constexpr int case_de(int colonne, int rangee) { return 10 * (rangee + 1) + colonne; }
constexpr bool case_jouable(int c) { return c >= 21 && c <= 98 && c % 10 >= 1 && c % 10 <= 8; }

// Promotion codes in a move's arrivee: 110 + 10 * file + k, k 0..3 White
// (queen, rook, bishop, knight), 5..8 Black.
constexpr int PREMIER_CODE_PROMOTION = 110;
int promotion_cible(int code);  // the target square on rank 8 or rank 1
int promotion_piece(int code);  // the piece placed, with its side's sign

// Castling in Chess960 is the king taking its own rook, coded 200 + the
// rook's file, 10 more on rank 8: above the squares, like a promotion, so
// that make and the leaves' shortcut keep it off the plain moves' path.
constexpr int PREMIER_CODE_ROQUE = 200;
constexpr int code_roque(int tour) { return PREMIER_CODE_ROQUE + tour % 10 + (tour > 90 ? 10 : 0); }
constexpr int tour_du_roque(int code) { return code - PREMIER_CODE_ROQUE + (code < PREMIER_CODE_ROQUE + 10 ? 20 : 80); }
// Where castling takes king and rook, in Chess960 as in standard chess: the
// g-file and the f-file on the king's side, the c-file and the d-file on the queen's.
constexpr int roi_apres_roque(int roi, int tour) { return tour - tour % 10 + (tour > roi ? 7 : 3); }
constexpr int tour_apres_roque(int roi, int tour) { return tour - tour % 10 + (tour > roi ? 6 : 4); }

void vide_echiquier();
void init();
int couleur(int c);
void inverse_trait();

struct coup {
    uint8_t depart;
    uint8_t arrivee;
    bool operator==(const coup&) const = default;
};

struct coup_partie {
    uint8_t depart;
    uint8_t arrivee;
    int piece_jouee;
    int piece_prise;
};

struct echiquier_sauve {
    int cases[80];  // board cells 20 to 99
    int petit_roque_blanc;
    int grand_roque_blanc;
    int petit_roque_noir;
    int grand_roque_noir;
    int nb_occurrences;
    uint64_t cle;       // key of cases: cells are compared only when keys agree
    int debut_fenetre;  // first snapshot since the last capture or pawn move
    bool cases_a_jour;  // false while cases wait for a move to be made from this position
};

// Room for a long game plus the deepest line the search can have on the board.
constexpr int TAILLE_PARTIE = 2048;
constexpr int RESERVE_RECHERCHE = 64;
constexpr int MAX_COUPS_PARTIE = TAILLE_PARTIE - 1 - RESERVE_RECHERCHE;

using bitboard = uint64_t;

// Everything a thread changes as it plays moves out. Each thread has its own
// (JEU): the input thread holds the game "position" set up, and every search
// thread a copy of it taken when the search starts. All members start at zero,
// so that a new thread's copy costs nothing until init() or restaurer_partie().
struct etat_position {
    int ECHIQUIER[120];
    int TRAIT;
    int ADVERSAIRE;
    int ROI_BLANC;
    int ROI_NOIR;
    // Castling rights: the square of the right's rook, 0 once the right is
    // lost. The king side's rook stands toward the h-file from its king.
    int PETIT_ROQUE_BLANC;
    int GRAND_ROQUE_BLANC;
    int PETIT_ROQUE_NOIR;
    int GRAND_ROQUE_NOIR;
    // En passant target square named by the last FEN (0 for none). It stands
    // for the opponent's double step while the game record is still empty.
    int EN_PASSANT_FEN;
    // The FEN's half-move clock and move number (0 and 1 for the start position).
    int DEMI_COUPS_FEN;
    int NUMERO_FEN;

    coup_partie PARTIE[TAILLE_PARTIE];
    echiquier_sauve ECHIQUIERS[TAILLE_PARTIE];
    int FIN_LISTE_PARTIE;
    // While set (during a search or a perft), the cells of a new snapshot are
    // written only when a move is made from it: most positions are leaves,
    // whose cells nobody reads. Everything else about the record is unchanged.
    bool INSTANTANES_DIFFERES;

    // Derived from ECHIQUIER (bitboard.h): a set per piece code + 6 and per
    // side ([0] White, [1] Black), the piece counts by code + 6 and the
    // Zobrist key of the placement (cells only).
    bitboard PIECES_BB[13];
    bitboard CAMP_BB[2];
    bitboard OCCUPATION_BB;
    int NB_PIECES[13];
    uint64_t CLE;

    // Chess960, as UCI_Chess960 was when the position was set up: a right's
    // rook may stand anywhere on its side of the king, and castling is coded
    // from PREMIER_CODE_ROQUE on.
    bool CHESS960;
};
extern thread_local constinit etat_position JEU;

// DRAW when the move brings a position back a third time, else PAS_DE_NULLE.
constexpr int PAS_DE_NULLE = 1000;
int ajoute_coup_partie(int depart, int arrivee);

void retire_coup_partie();

// Defers the snapshots' cells (INSTANTANES_DIFFERES) for its lifetime.
struct instantanes_differes {
    bool avant = JEU.INSTANTANES_DIFFERES;
    instantanes_differes() { JEU.INSTANTANES_DIFFERES = true; }
    ~instantanes_differes() { JEU.INSTANTANES_DIFFERES = avant; }
    instantanes_differes(const instantanes_differes&) = delete;
    instantanes_differes& operator=(const instantanes_differes&) = delete;
};

// False when no move from here can bring an earlier position back: none was
// played since the last capture or pawn move.
bool repetitions_possibles();

// False when the move, a plain one from square to square, surely brings no
// earlier position back: ajoute_coup_partie would then count it once.
bool repetition_possible_apres(int depart, int arrivee);
int is_dernier_coup_une_prise();
int cmp_mem(const int* a, const int* b, int n);

// Snapshot 0 takes the position now on the board, which may have been written
// directly (a FEN): the derived state is rebuilt first.
void sauve_position_initiale();

// The move that led to the current position: the record's last entry, or the
// double step that a valid FEN en passant field implies. False when none.
bool double_pas_fen(int* depart, int* arrivee);
inline bool dernier_coup(int* depart, int* arrivee) {
    if (JEU.FIN_LISTE_PARTIE < 0) return double_pas_fen(depart, arrivee);
    *depart = JEU.PARTIE[JEU.FIN_LISTE_PARTIE].depart;
    *arrivee = JEU.PARTIE[JEU.FIN_LISTE_PARTIE].arrivee;
    return true;
}

// Debug check that the board, rights, king squares and record agree.
bool position_is_ok();
// Whether the placement's key (CLE), which make and take-back keep up to
// date, is the one computed afresh from the board.
bool cle_a_jour();

// The key of the whole position, for the search's table of moves: the
// placement's key with the side to move, the castling rights and the file
// of a pawn that may be taken en passant.
uint64_t cle_position();

inline bool droits_de_roque() {
    return (JEU.PETIT_ROQUE_BLANC | JEU.GRAND_ROQUE_BLANC | JEU.PETIT_ROQUE_NOIR | JEU.GRAND_ROQUE_NOIR) != 0;
}

// Whether castling right i (White's king side, queen side, then Black's) may
// have its rook on that square: the side's rook there and its king on the same
// back rank, on the right's side of it; in standard chess the rook in its
// corner and the king on the e-file.
bool roque_en_place(int i, int tour);

// A pawn moving diagonally onto an empty square takes en passant.
inline bool prise_en_passant(int piece, int depart, int arrivee, int prise) {
    return (piece == PION_P || piece == -PION_P) && arrivee < PREMIER_CODE_PROMOTION && prise == VIDE &&
           (arrivee - depart) % 10 != 0;
}

// The board, side to move, king squares and castling rights: what both the
// whole game and a node of a search keep of the position.
struct plateau_sauve {
    int echiquier[120];
    int trait, adversaire, roi_blanc, roi_noir;
    int roques[4];
};

// The whole game: board, side, king squares, rights, variant, FEN en passant square and
// the record in use. "position" restores it when it refuses a command; every
// search must leave it as it found it.
struct etat_partie {
    plateau_sauve plateau;
    bool chess960;
    int en_passant, demi_coups, numero;
    int fin_liste;
    std::vector<coup_partie> partie;
    std::vector<echiquier_sauve> echiquiers;
};
etat_partie sauver_partie();
void restaurer_partie(const etat_partie& e);
bool partie_intacte(const etat_partie& e);  // all but the record's contents, and position_is_ok()

// A node of a search: the position and the record since the search's root.
// A thread whose record up to the root is the same stands on the node once it
// restores this, snapshots and deferred cells included.
struct etat_noeud {
    int racine;  // FIN_LISTE_PARTIE at the root
    plateau_sauve plateau;
    int fin_liste;
    coup_partie partie[RESERVE_RECHERCHE];
    echiquier_sauve echiquiers[RESERVE_RECHERCHE + 1];
};
void sauver_noeud(etat_noeud& e, int racine);
void restaurer_noeud(const etat_noeud& e);
