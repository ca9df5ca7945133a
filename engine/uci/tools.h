// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tools that stand beside the UCI engine.
#pragma once

constexpr int BENCH_PROFONDEUR_DEFAUT = 7;
constexpr int PERFT_MAX = 20;
// The deepest "go perft" runs: it holds the input thread until it is done.
extern int PERFT_GO_MAX;

int outil_bench(int profondeur, int fils, int hash);
int outil_perft(int profondeur, const char* fen, bool chess960);  // fen null for the start position
