// The command-line tools that stand beside the UCI engine.
#pragma once

constexpr int BENCH_PROFONDEUR_DEFAUT = 7;

int outil_bench(int profondeur);
int outil_perft(int profondeur, const char* fen);  // fen null for the start position
