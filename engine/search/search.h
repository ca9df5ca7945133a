// SPDX-License-Identifier: GPL-3.0-or-later
// Evaluation, the alpha-beta search with its principal variation, and the
// iterative-deepening driver that prints the info and bestmove lines.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "globals.h"
#include "movegen.h"
#include "position.h"
#include "table.h"

constexpr int MAT = 50000;            // score of a mated side, negated for the mating one
constexpr int SCORE_ARRET = 65000;    // returned by every node once STOP is up
constexpr int PROFONDEUR_DEFAUT = 30; // depth limit of an untimed or timed "go" without "depth"
constexpr int PROFONDEUR_SANS_GO = 7; // depth limit of a search "ponderhit" starts before any "go"
// Deepest limit a search may have: the game plus the line (and its capture
// extension) must fit in the record's reserve.
constexpr int PROFONDEUR_MAX = RESERVE_RECHERCHE - 4;

struct variation {
    uint8_t depart;
    uint8_t arrivee;
    variation* suivant;
};
struct bloc_variations;
struct equipier;

// One of the best lines of a search asked for several (MultiPV): its score,
// the deepest ply at which its first move's tree found a mated side, and the
// line, whose first node owns the rest.
struct ligne_racine {
    int score;
    int longest;
    variation* pv;
};

// A depth no node reaches: the thread shares no node's moves.
constexpr int JAMAIS_PARTAGE = 1 << 30;
// Below this depth a node's moves are too little work to share.
constexpr int PROFONDEUR_PARTAGE = 4;

// What a search thread keeps beside its position (JEU): its line, its
// counters, the node pool of its lines, its place in a parallel search and
// what its leaves' evaluation takes from their parent. One per thread
// (RECHERCHE), like JEU.
constexpr int NB_TUEURS = 2;  // killers a ply keeps

struct etat_recherche {
    variation P_VARIATION;
    int EXTENSION;
    int LONGEST;
    int64_t POSITIONS;
    // The positions the iteration in progress may still count under a node
    // limit. In a parallel search, which never has one, another thread sets
    // it below zero to call back the work in hand.
    std::atomic<int64_t> BUDGET_ITERATION{INT64_MAX};
    // The depth from which the thread shares a node's moves with its team
    // (one test per node); out of reach when it searches alone.
    int PARTAGE_DES = JAMAIS_PARTAGE;
    equipier* EQUIPIER;  // the thread's place in its team; none when it searches alone
    bool TABLE;            // the search orders its moves by the table of best moves, and by killers
    // The quiet moves that last cut a node off at each ply, the latest first.
    // A node of depth TUEURS_DES or more starts its plies with none: what its
    // children learn from each other then never crosses from one job of a
    // parallel search to another.
    coup TUEURS[PROFONDEUR_MAX + 1][NB_TUEURS];
    int TUEURS_DES;
    journal_table* JOURNAL;  // where the thread notes best moves: the job's it does, else none (the table)

    variation* libres;
    bloc_variations* blocs;

    int MATERIEL_PARENT;
    int VALEURS[13];       // by code + 6, Black's negative: what taking the piece removes
    int PLAFOND_MOBILITE;  // the most the mobility term can add for the side that moves
};
extern thread_local constinit etat_recherche RECHERCHE;
inline int64_t budget() { return RECHERCHE.BUDGET_ITERATION.load(std::memory_order_relaxed); }

// A strength level (UCI_LimitStrength): the search it may do, and how freely
// it chooses among the best lines that search finds.
struct niveau {
    int elo;
    int64_t noeuds;   // positions the search may count past depth 2; 0: no limit
    int lignes;       // lines searched, among which it chooses
    int temperature;  // centipawns: a line that much below the best is e times less likely
    int perte_max;    // centipawns: a line further below the best is never chosen
};
niveau niveau_de(int elo);
// The line a level plays from the lines of a depth, best first: drawn from
// `tirage`, a uniform 64-bit number.
size_t ligne_du_niveau(const std::vector<ligne_racine>& lignes, const niveau& n, uint64_t tirage);

// What the search requested may do: "go" sets it before it raises CALCUL,
// and the search reads it.
struct limites_recherche {
    int profondeur = PROFONDEUR_SANS_GO;  // the deepest iteration
    int64_t noeuds = 0;                   // positions the whole search may count; 0: no limit
    liste_coups coups_racine{};           // the moves the root may play; none: every move
    bool sans_horloge = false;            // "go ponder" or "go infinite"
    int partage_des = PROFONDEUR_PARTAGE; // on several threads, nodes of this depth and more are shared
    // A limited strength: its level, the seed of its choices and the draw for this position.
    bool force_limitee = false;
    niveau niveau_joue{};
    int graine = 0;
    uint64_t tirage = 0;
};
extern limites_recherche LIMITES;
// The lines of an iteration asked for several, best first, on the thread
// that runs the search; the first is also the principal variation's.
extern std::vector<ligne_racine> LIGNES;
// Whether a search with these limits uses the table: a strength level plays
// the search it was calibrated with.
bool table_utilisee(const limites_recherche& limites);
// The depth of the iteration under way (the root is the node at this depth).
extern int PROFONDEUR;
// Read at every iteration; "ponderhit" may clear it while the search runs.
extern std::atomic<int> PROFONDEUR_FIXE;
extern coup BEST_COUP;
extern coup PONDER_COUP;

// Material and mobility for the side to move. eval() also counts the
// position and gives SCORE_ARRET once STOP is up.
int evaluation();
int eval();

// The same for the position after a move of the side to move, scored without
// making it (the moves difference_de_mobilite_apres takes), from material and
// attack sets that preparer_feuilles() takes once in the current position;
// standard chess only, its castling terms on their fixed squares.
void preparer_feuilles(int enfants);  // how many children may follow
// Takes the piece values in for the thread's leaves: once per search, the
// options being fixed while it runs.
void preparer_valeurs();
int evaluation_apres(int depart, int arrivee);
// The leaf's score for the side that moves, counted as a position like
// eval(); when it cannot exceed `best`, any score no higher than best.
int score_feuille(int depart, int arrivee, int best);

int alphabeta(int depth, int alpha, int beta, variation* pv);
// The root of an iteration asked for k lines: each legal move searched with
// the k-th best exact score so far as its lower bound, so that the k best
// come out exact; their score and line in LIGNES. The best score, as
// alphabeta gives it.
int chercher_lignes(int depth, int k);
// Whether the root may play the move, and a list cut to those moves, in order.
bool coup_de_la_racine(coup m);
void restreindre_racine(liste_coups* liste);

// The thread's pool of line nodes.
variation* nouvelle_variation(coup m);
void libere_variation(variation* v);  // the node and every node after it
void init_variation();                // empties the line before an iteration
void liberer_variations();            // gives the pool's blocks back, when the thread ends

// Runs one whole search of the current position and prints its lines; the
// search request CALCUL is cleared just before the bestmove line goes out.
void joue();

void affiche_info(int score);
void affiche_lignes(int score);  // the lines of LIGNES, or the position's score without a legal move
void affiche_case(std::string& texte, int c);
std::string texte_coup(coup c);
void affiche_coup();

// Totals since the last reset: the node counts of the info lines printed,
// and the positions the threads of parallel searches evaluated for results
// they threw away.
extern int64_t NOEUDS_AFFICHES;
extern int64_t POSITIONS_PERDUES;
