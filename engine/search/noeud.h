// SPDX-License-Identifier: GPL-3.0-or-later
// A node of the search and the step that searches one of its moves: private
// to the search library, shared by the one-thread search and the jobs of a
// parallel one.
#pragma once

#include <algorithm>
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
    coup prefere;             // the table's move, tried first when the node lists it; {0, 0} for none
};

// The root's line starts with its first legal move, whatever it scores, so
// that bestmove has a move even when every move loses.
inline bool commence_la_ligne(const noeud& n) { return n.racine && n.pv->suivant == nullptr; }

// A child with no depth left, reached by a quiet move or past the capture
// extension, is a leaf: alphabeta would only test STOP and evaluate it.
inline bool enfants_feuilles(int depth, int extension) { return depth - 1 < 0 || (depth - 1 == 0 && extension == 0); }

// The k best exact scores of the moves searched so far, best first, the
// earlier move first among equals. Once there are k, a move that does not
// beat the k-th is not among them: its search needed no lower bound but the
// k-th, and a score at or below it is a bound, not exact.
class classement {
public:
    struct entree {
        int score;
        int indice;  // the move's, in the order searched
    };
    explicit classement(int k) : k_(k) {}
    int alpha() const { return pleine() ? entrees_.back().score : -MAT; }
    bool retient(int score) const { return !pleine() || score > entrees_.back().score; }
    // Places a move retained; the index of the move it pushes out of the k, or -1.
    int placer(int score, int indice) {
        const auto apres = std::find_if(entrees_.begin(), entrees_.end(), [score](const entree& e) { return e.score < score; });
        entrees_.insert(apres, {score, indice});
        if (static_cast<int>(entrees_.size()) <= k_) return -1;
        const int sortie = entrees_.back().indice;
        entrees_.pop_back();
        return sortie;
    }
    const std::vector<entree>& entrees() const { return entrees_; }

private:
    bool pleine() const { return static_cast<int>(entrees_.size()) >= k_; }
    std::vector<entree> entrees_;
    int k_;
};

// A move of a node and the capture extension its child gets.
struct coup_etendu {
    coup m;
    int extension;
};

// The search is stopped, or past its node limit (or called back): its nodes
// end at once, their scores meaningless.
inline bool arretee() { return STOP == 1 || RECHERCHE.POSITIONS > budget(); }

// alphabeta, with the table's order of moves or without: each keeps to its own.
template <bool TABLE>
int alphabeta_noeud(int depth, int alpha, int beta, variation* pv);

// The node's moves in the order the one-thread search tries them, all at
// once; false when a list was full, some moves then missing.
bool coups_du_noeud(const noeud& n, std::vector<coup_etendu>* coups);

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
template <bool TABLE>
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
        else j.score = -alphabeta_noeud<TABLE>(depth - 1, -beta, -alpha, j.noeud);
        inverse_trait();
    }
    retire_coup_partie();
    return j;
}

// Searches the moves of the node the thread stands on, across the threads of
// its team, and updates n (best, legal moves, line) and the thread's counts
// exactly as searching them in order would. At the root of an iteration
// asked for k > 1 lines, the moves are ranked as chercher_lignes ranks them
// and the lines go to LIGNES.
void chercher_en_parallele(noeud& n, const std::vector<coup_etendu>& coups, int k = 1);
