// SPDX-License-Identifier: GPL-3.0-or-later
// A node of the search and the step that searches one of its moves: private
// to the search library, shared by the one-thread search and the jobs of a
// parallel one.
#pragma once

#include <cassert>
#include <vector>

#include "globals.h"
#include "search.h"

// What a node knows while it searches its lists.
struct noeud {
    int depth, alpha, beta, best, legaux;
    variation* pv;
    legalite legal;
    bool racine;
    bool feuilles_preparees;  // the leaves' evaluation has taken this position in
};

// The root's line starts with its first legal move, whatever it scores, so
// that bestmove has a move even when every move loses.
inline bool commence_la_ligne(const noeud& n) { return n.racine && n.pv->suivant == nullptr; }

// A move of a node and the capture extension its child gets.
struct coup_etendu {
    coup m;
    int extension;
};

// What searching one move gave: whether it was legal, whether its score came
// from a search below it (and so depends on the window), the score for the
// node's side, and the move's line node, which owns the child's line.
struct coup_cherche {
    bool legal;
    bool cherche;
    int score;
    variation* noeud;
};

// Plays the move from the node the thread stands on, searches it with the
// window (alpha, beta) of the node's side and takes it back. The move is
// tested for legality only when a_tester; a third repetition is scored
// without a search; a child with no depth left (feuille) is evaluated.
// Inlined by force: the one-thread loop keeps its registers across it.
[[gnu::always_inline]] inline coup_cherche chercher_coup(coup_etendu c, bool a_tester, bool feuille, int depth,
                                                         int alpha, int beta) {
    const int r = ajoute_coup_partie(c.m.depart, c.m.arrivee);
    assert(a_tester || !roi_du_trait_attaque());
    if (a_tester && roi_du_trait_attaque()) {
        retire_coup_partie();
        return {false, false, 0, nullptr};
    }
    coup_cherche j{true, r != DRAW, 0, nouvelle_variation(c.m)};
    RECHERCHE.EXTENSION = c.extension;
    if (r == DRAW) {
        j.score = -r * JEU.TRAIT;
    } else {
        inverse_trait();
        if (feuille) j.score = STOP == 1 ? -SCORE_ARRET : -eval();
        else j.score = -alphabeta(depth - 1, -beta, -alpha, j.noeud);
        inverse_trait();
    }
    retire_coup_partie();
    return j;
}

// Searches the moves of the node the thread stands on, across the threads of
// its team, and updates n (best, legal moves, line) and the thread's counts
// exactly as searching them in order would.
void chercher_en_parallele(noeud& n, const std::vector<coup_etendu>& coups);
