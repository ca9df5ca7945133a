// SPDX-License-Identifier: GPL-3.0-or-later
// The parallel search, private to the search library. A node with depth
// enough searches its first legal move alone; the threads of its team free to
// help then take its other moves as jobs. A move's result counts only when it
// was searched with the window the one-thread search gives that move (its
// node's alpha raised by the moves before it), so that every score, count and
// line is the one-thread one; other results are searched again or thrown away.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "noeud.h"
#include "search.h"

// A child's line, capture extension included.
constexpr int LIGNE_MAX = PROFONDEUR_MAX + 2;
// The deepest a thread's work can nest: one job per ply.
constexpr int MAX_TACHES_IMBRIQUEES = 64;

struct partage;
class equipe;

// A budget that ends the thread's work at its next node: a job is called back
// through its worker's BUDGET_ITERATION, which every node reads anyway.
constexpr int64_t RAPPEL = -1;
inline bool rappele() { return budget() < 0; }

enum class etat_tache { libre, en_cours, finie };

// One move of a shared node, and what searching it gave.
struct tache {
    partage* noeud;
    coup_etendu coup_cherche;
    etat_tache etat = etat_tache::libre;
    bool annulee = false;                    // its worker must give it up
    std::atomic<int64_t>* budget = nullptr;  // its worker's
    int alpha = 0;                           // the window it was searched with
    bool fenetre = false;                    // the score depends on that window
    bool legal = false;
    int score = 0;
    int64_t positions = 0;
    int longest = 0;
    int longueur_ligne = 0;
    coup ligne[LIGNE_MAX];  // the child's line
    journal_table journal;  // the best moves its search noted, written once it is counted
};

// A node whose moves the threads share, on its owner's stack for as long as
// anyone works on it. Everything but `position` is guarded by the team's lock.
struct partage {
    etat_noeud position;
    partage* parent;  // the node whose job its owner was doing; nullptr at the top
    journal_table* journal;  // where its owner notes best moves: its counted jobs' go there too
    int depth, alpha, beta;
    std::vector<tache> taches;
    size_t suivante = 0;  // the first job not yet counted, in order
    int travailleurs = 0;
    bool coupee = false;  // a cut-off (or a stop): no more moves
    // The counted jobs: best score and which job gave it, legal moves, positions, mate length.
    int best;
    int meilleure = -1;
    bool ligne_racine;  // its first legal move starts the root's line
    // At the root of an iteration asked for k > 1 lines: the counted moves
    // ranked, whose k-th score is the next move's window.
    int k = 1;
    classement rang{1};
    int legaux = 0;
    int64_t positions = 0;
    int longest = 0;
};

// A thread's place in its team: the jobs it is inside, outermost first.
struct equipier {
    equipe& equipe_;
    tache* taches[MAX_TACHES_IMBRIQUEES];
    int nb_taches = 0;
};

// The threads of one search and what they share, for the search's lifetime:
// the searching thread and fils - 1 helpers, none when fils is 1. One lock
// guards every shared node: jobs are whole subtrees, taken far less often
// than the lock could be contended.
class equipe {
public:
    explicit equipe(int fils);
    ~equipe();
    equipe(const equipe&) = delete;
    equipe& operator=(const equipe&) = delete;

    // Ends the helpers; the positions they and the searching thread evaluated
    // for results thrown away.
    int64_t terminer();

    int racine() const { return racine_; }  // the record's end at the search's root

    // What the shared nodes call under the lock held by `verrou`.
    void ouvrir(partage& p);  // its jobs may be taken once its first legal move is counted
    void fermer(partage& p);
    // A job of `sous` or below it (of any node when nullptr) free to take,
    // and the alpha it would be searched with.
    tache* trouver_tache(const partage* sous, int* alpha);
    // Does the job, the lock released meanwhile.
    void faire(tache& t, int alpha, std::unique_lock<std::mutex>& verrou);
    void attendre(std::unique_lock<std::mutex>& verrou);  // for a job, a result or the end
    void compter(partage& p);  // counts the jobs finished, in order
    void couper(partage& p);   // no more moves: the jobs under way are called back

    std::mutex verrou;

private:
    void signaler();
    void jeter(tache& t);
    void aider();
    void fil_aide();

    std::condition_variable travail_;  // a job was offered, finished or given back
    std::vector<partage*> ouverts_;
    bool fin_ = false;
    int racine_ = -1;
    etat_partie partie_;  // the game at the root, where every helper starts
    int64_t perdues_ = 0;
    equipier principal_{*this, {}, 0};
    std::vector<std::thread> aides_;
};

// Searches the move of t from its node, as the one-thread loop would, without
// counting anything in the thread's own totals.
void chercher_tache(tache& t);
