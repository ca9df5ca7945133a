// Development tools: the board as text and the perft move-tree count.
#pragma once

#include <cstdint>
#include <string>

// Text of one cell with French initials ("R " white king ... "p " black pawn).
std::string piece(int valeur);
void affiche_echiquier();
std::string texte_echiquier();

// Leaves of the legal move tree to the given depth, counted with the engine's
// own generator, make, legality test and take-back.
uint64_t perft(int profondeur);

// Prints one "<move>: <count>" line per legal root move in generation order,
// then an empty line and "Nodes searched: N"; returns N.
uint64_t perft_division(int profondeur);
