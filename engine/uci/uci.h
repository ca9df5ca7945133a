// SPDX-License-Identifier: GPL-3.0-or-later
// The UCI front end: the token reader, the command handlers, the time budget
// and the three threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "position.h"
#include "search.h"

// Token reader. COMMANDE holds the last word read; CR is 1 when it ended its line.
constexpr int TAILLE_COMMANDE = 256;
extern char COMMANDE[TAILLE_COMMANDE];
extern int CR;
extern int FIN_ENTREE;  // 1 once standard input has ended

void lire_mot();       // the next word of the stream, whether or not the line ended
int extract_param();   // the next word of the current line; 0 at its end or for an empty word

// Reads from this text instead of standard input (tools and tests).
void lecture_depuis_texte(std::string_view texte);

#ifdef __EMSCRIPTEN__
// The WebAssembly build's standard input: text the page appends (whole lines,
// with their line feeds), then the end of input, which ends the engine as the
// end of a pipe would.
extern "C" void solvane_commande(const char* texte);
extern "C" void solvane_fin_entree();
#endif

void uci_main();
void uci_identification();
void uci_options();
void uci_debug();
void uci_position();
void uci_go();
void uci_ponderhit();
void uci_setoption();
void uci_d();
void uci_ucinewgame();  // a new seed for a limited strength's choices, an empty table

// The words of a "go" line as read; a later word overrides what an earlier
// one set.
constexpr int COUPS_RESTANTS_DEFAUT = 30;
struct parametres_go {
    int temps[2] = {0, 0};  // White's and Black's, milliseconds
    int increment[2] = {0, 0};
    bool par_movetime[2] = {false, false};  // the time is "movetime", not the side's clock
    int coups_restants = COUPS_RESTANTS_DEFAUT;
    int profondeur = PROFONDEUR_DEFAUT;
    bool fixe = false;  // "depth": one search straight at that depth
    int64_t noeuds = 0;
    int mat = 0;
    bool sans_horloge = false;  // "ponder" or "infinite"
    int perft = -1;             // "perft": the depth to count, instead of a search
    std::vector<std::string> coups_racine;
    bool operator==(const parametres_go&) const = default;
};
parametres_go lire_go();  // the rest of the line

// What a search may do, from its "go" and the options: a mate in N is found
// within 2N - 1 plies, "searchmoves" keeps the words that are legal moves
// (the others get a notice), and a limited strength adds its level.
limites_recherche limites_de_go(const parametres_go& go);
bool profondeur_fixe(const parametres_go& go);

// The time a search may take: the budget in milliseconds (LAST_TIME), the
// whole seconds the clock is given (TEMPS_HORLOGE), and when the clock stops
// the search, within the side's own clock less Move Overhead (and with an
// increment, within a tenth of that clock).
struct budget_temps {
    bool arme;  // false: no clock
    int ms;
    int secondes;
    int limite_ms;
    bool operator==(const budget_temps&) const = default;
};
// The budget of a "go" for the side to move (trait).
budget_temps budget_de_go(const parametres_go& go, int trait, int move_overhead);
void set_temps_de_calcul(int ms);

// Sets up a position from "startpos" or a FEN, as "position" would; false with
// the reason when it is refused, the previous position left untouched.
bool position_depuis_texte(std::string_view description, std::string* erreur);

// The generated move a token such as "e2e4" or "e7e8q" names, when it is a
// legal move of the side to move.
bool coup_de_texte(const std::string& texte, coup* coup_trouve);

// The game "position" set up. The input thread plays it out on its own board;
// the thread that searches starts from this copy, and so does the input thread.
extern etat_partie PARTIE_UCI;
void noter_partie();  // takes the copy of the position on the board

// "position" and "setoption" never change the state under a search: they stop
// a requested or running search and wait until its bestmove line is out.
void attendre_fin_recherche();

// "go perft" runs on the main thread, as a search does, so that "quit" and
// "stop" are read meanwhile and give it up; every other command waits for it.
extern std::atomic<int> PERFT;  // the depth requested or under way, -1 for none
void attendre_fin_perft();

// Runs what CALCUL requests, a search or a perft, from the game "position"
// set up (the main thread; tools that drive the engine without its threads).
void executer_calcul();

// Arms the clock for a fresh count of limite_ms, or disarms it, and clears
// STOP, both at once for the clock thread, so that neither a stop left over
// from an earlier search nor an earlier deadline can end the new search.
void horloge_lancer(bool armer, int limite_ms);

// atoi that saturates instead of overflowing.
int atoi_borne(const char* texte);

int ThreadIO();
int ThreadClock();
int boucle_principale();  // runs the engine on standard input; the exit status
