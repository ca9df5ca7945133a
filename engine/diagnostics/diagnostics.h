// SPDX-License-Identifier: GPL-3.0-or-later
// Development tools: the board as text and the perft move-tree count.
#pragma once

#include <cstdint>
#include <string>

// Text of one cell with French initials ("R " white king ... "p " black pawn).
std::string piece(int valeur);
void affiche_echiquier();
std::string texte_echiquier();

// The position in Forsyth-Edwards Notation: the en passant square after any
// double step, the counters from the last FEN and the moves played since.
std::string texte_fen();
// What "d" prints: the board, then "Fen: ..." and "Side to move: white|black".
std::string texte_position();

// Leaves of the legal move tree to the given depth, counted with the engine's
// own generator, make, legality test and take-back.
uint64_t perft(int profondeur);

// Prints one "<move>: <count>" line per legal root move in generation order,
// then an empty line and "Nodes searched: N"; returns N. Once STOP rises it
// gives up and prints nothing.
uint64_t perft_division(int profondeur);
