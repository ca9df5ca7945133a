// SPDX-License-Identifier: GPL-3.0-or-later
// The order a search with the table of best moves (Hash) gives a node's
// moves, private to the search library: the table's move first, then the
// captures by the value they take, then the killers, then the quiet moves
// as generated. Without the table the moves keep the generator's order.
#pragma once

#include <cstdint>

#include "movegen.h"
#include "noeud.h"

// The list that holds the table's move when the node tries it first; none
// when the node has no such move.
liste_du_coup liste_du_prefere(const noeud& n);

// The most valuable victim first, by the least valuable piece among equals,
// else in the generator's order.
void ordonner_prises(coup* debut, coup* fin);

void retirer(liste_coups* liste, coup m);

// The killers of the node's ply, after its captures, that are quiet moves
// of this position and not the table's move; how many, in tueurs.
int tueurs_du_noeud(const noeud& n, coup* tueurs);

// A node of depth TUEURS_DES or more forgets the killers of its ply and
// below before it searches.
void oublier_tueurs(int ply);

// Nodes with less depth neither read nor write the table: most nodes are
// there, at the cost of a memory access each, and their captures' value and
// the killers order them almost as well.
constexpr int PROFONDEUR_TABLE = 2;

// What a searched node teaches: its best move to the table, and when it cut
// off with a quiet move, a killer of its ply.
void retenir(uint64_t cle, int depth, bool coupure, const variation* pv);
