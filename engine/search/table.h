// SPDX-License-Identifier: GPL-3.0-or-later
// The table of best moves (the Hash option): a node tries first the move that
// was best in its position at an earlier iteration. It only orders moves:
// it never cuts a search short nor gives a score, so that every depth's
// score is the one searched without it.
//
// An iteration reads only what earlier iterations wrote. A slot keeps the
// last entry of an earlier iteration beside the one the iteration under way
// is writing, the deepest of those written to the slot: what a node reads
// does not depend on the order in which the nodes of its own iteration, on
// any number of threads, were searched.
#pragma once

#include <cstdint>
#include <vector>

#include "position.h"

// An entry as a job of a parallel search notes it, to be written once the
// job's result is counted: a job given up writes nothing.
struct ecriture_table {
    uint64_t cle;
    coup m;
    int depth;
};
using journal_table = std::vector<ecriture_table>;

// Sizes the table to mb megabytes, emptied; 0 gives it up. Only while no
// search runs.
void table_dimensionner(int mb);
void table_vider();
bool table_presente();

// A new iteration: what the last ones wrote becomes what nodes read.
void table_nouvelle_iteration();

// The move noted for the position before this iteration, or {0, 0}.
coup table_coup(uint64_t cle);
// Notes the best move of a node searched to depth: into the table, or into
// the journal of the job the thread is doing.
void table_noter(uint64_t cle, int depth, coup m);
// Writes a counted job's entries: into the table, or into the journal of
// the job that holds its node.
void table_reporter(journal_table& depuis, journal_table* vers);
