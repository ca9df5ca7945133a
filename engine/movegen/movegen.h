// SPDX-License-Identifier: GPL-3.0-or-later
// Attack detection, the ordered pseudo-legal move lists and the mobility count.
#pragma once

#include "position.h"

// Room for any position a FEN can set up; ajouter drops what does not fit.
constexpr int MAX_COUPS = 256;

struct liste_coups {
    int nb_coups;
    coup coups[MAX_COUPS];
};

void init_liste(liste_coups* liste);
void ajouter(liste_coups* liste, int depart, int arrivee);

// Quiet moves (castling first) go to the first list, captures to the second,
// in the order the search will try them.
void generer_liste(liste_coups* calmes, liste_coups* prises);

// Every move of the side to move in the order the search tries them: the
// captures, then the quiet moves, generer_liste's two lists end to end.
struct coups_ordonnes {
    int nb_coups;
    int nb_prises;   // the captures come first
    bool complets;   // false when a list was full: moves may be missing
    coup coups[2 * MAX_COUPS];
    const coup* begin() const { return coups; }
    const coup* end() const { return coups + nb_coups; }
};
void generer_dans_l_ordre(coups_ordonnes* coups);

// Each list alone, the same as generer_liste gives it: the search often
// needs only the captures, and a cut-off often comes after a few quiet moves.
void generer_prises(liste_coups* prises);

// The quiet moves in batches: castling and then the pieces in `reste`, from
// a1 upward, each piece whole, until the batch holds LOT_DE_CALMES moves or
// more. `reste` starts as all the pieces of the side to move and loses those
// listed; the batches end to end are generer_liste's quiet list.
constexpr int LOT_DE_CALMES = 8;
void generer_calmes(liste_coups* calmes, uint64_t* reste);

// The same two for the search with the table of best moves: functions of
// their own, so that the build inlines each into its one kind of node.
void generer_prises_avec_table(liste_coups* prises);
void generer_calmes_avec_table(liste_coups* calmes, uint64_t* reste);

// The list of the side to move that holds a move, found by generating the
// moves of its piece alone: a move remembered from another position may be
// none of this one's.
enum class liste_du_coup { aucune, prises, calmes };
liste_du_coup liste_de(coup m);

// 1 when the square is attacked: on a king's square by that king's enemy, on
// any other piece by Black, on an empty square by the side not to move.
int is_roi_echec(int c);

// Pseudo-legal moves of one side, counted by the generator's rules.
int nb_de_coups_possibles(int camp);

// nb_de_coups_possibles(1) - nb_de_coups_possibles(-1), in one pass.
int difference_de_mobilite();

// The same difference in the position after a move, without making it, from
// attack sets taken once in the position it is played from: a move changes
// the attacks only of the pieces that reach one of its two squares. For moves
// that neither promote, castle nor take en passant.
void preparer_mobilites(int enfants);  // how many children may follow
int difference_de_mobilite_apres(int depart, int arrivee);

// True when the side that just moved (still TRAIT) left its king attacked.
bool roi_du_trait_attaque();

// Whether a move of the side to move leaves its king safe, found by making
// it and taking it back.
bool legal_une_fois_joue(coup m);

// The moves of the side to move that can leave its own king attacked, and so
// need a legality test: all of them when the king is in check, else those of
// the king, of pinned pieces, and of the pawns that may take en passant. The
// others are legal as generated.
struct legalite {
    uint64_t a_tester;  // from-squares, as bits
};
legalite preparer_legalite();
legalite preparer_legalite_avec_table();  // for the search with the table, as generer_prises_avec_table
bool coup_a_tester(const legalite& l, coup m);

// Castling and en passant move a second piece.
bool roque_ou_en_passant(coup m);

// roi_du_trait_attaque() once the move is made, without making it: for a move
// of the side to move that is neither castling nor en passant.
bool roi_attaque_apres(coup m);
