// SPDX-License-Identifier: GPL-3.0-or-later
// The parallel search, private to the search library. A node with depth
// enough searches its first legal move alone; the threads free to help then
// take its other moves. A move's result counts only when it was searched with
// the window the one-thread search gives that move (its node's alpha raised by
// the moves before it), so that every score, count and line is the
// one-thread one; other results are searched again or thrown away.
#pragma once

#include <vector>

#include "search.h"

// Below this depth a node's moves are too little work to share.
constexpr int PROFONDEUR_PARTAGE = 4;
constexpr int JAMAIS_PARTAGE = 1 << 30;

// The depth from which nodes are shared: PROFONDEUR_PARTAGE while a search
// runs on several threads, else JAMAIS_PARTAGE (one test per node either way).
extern int PARTAGE_DES;

// What a node knows while it searches its lists.
struct noeud {
    int depth, alpha, beta, best, legaux;
    variation* pv;
    legalite legal;
    bool feuilles_preparees;  // the leaves' evaluation has taken this position in
};

// A move of a node and the capture extension its child gets.
struct coup_etendu {
    coup m;
    int extension;
};

// Searches the moves of the node the thread stands on, across the threads,
// and updates n (best, legal moves, line) and the thread's counts exactly as
// searching them in order would. Its own thread searches them until one is
// legal; then every thread free may take the others.
void chercher_en_parallele(noeud& n, const std::vector<coup_etendu>& coups);
