// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics.h"
#include "globals.h"
#include "position.h"
#include "search.h"
#include "tools.h"
#include "uci.h"
#include "version.h"

namespace {

const char* const AIDE =
    "Solvane %s, a UCI chess engine.\n"
    "\n"
    "Usage:\n"
    "  solvane                    run the UCI engine on standard input and output\n"
    "  solvane perft [--chess960] DEPTH [FEN]\n"
    "                             count the legal move tree (start position without FEN); with\n"
    "                             --chess960 in Chess960 (castling fields such as HAha or KQkq)\n"
    "  solvane bench [DEPTH [THREADS [HASH]]]\n"
    "                             search fixed positions and print the node total (default depth %d,\n"
    "                             one thread, no table of best moves; HASH in MB)\n"
    "  solvane --help             print this help\n"
    "  solvane --version          print the version\n";

int erreur(const std::string& message) {
    std::fprintf(stderr, "solvane: %s\n", message.c_str());
    return 2;
}

// A whole decimal number within [min, max], or false.
bool lire_entier(const char* texte, int min, int max, int* valeur) {
    char* fin = nullptr;
    long v = std::strtol(texte, &fin, 10);
    if (fin == texte || *fin != '\0' || v < min || v > max) return false;
    *valeur = static_cast<int>(v);
    return true;
}

}  // namespace

int outil_perft(int profondeur, const char* fen, bool chess960) {
    UCI_CHESS960 = chess960 ? 1 : 0;
    std::string description = fen == nullptr ? "startpos" : std::string("fen ") + fen;
    std::string raison;
    if (!position_depuis_texte(description, &raison)) return erreur("invalid FEN: " + raison);
    perft_division(profondeur);
    return 0;
}

int main(int argc, char** argv) {
    std::setbuf(stdout, nullptr);
    init();
    JEU.TRAIT = BLANC;
    JEU.ADVERSAIRE = NOIR;
    noter_partie();

    if (argc == 1) return boucle_principale();
    std::string outil = argv[1];
    if (outil == "--help" || outil == "-h") {
        std::printf(AIDE, VERSION, BENCH_PROFONDEUR_DEFAUT);
        return 0;
    }
    if (outil == "--version") {
        std::printf("%s\n", VERSION);
        return 0;
    }
    if (outil == "perft") {
        const bool chess960 = argc > 2 && std::strcmp(argv[2], "--chess960") == 0;
        const int premier = chess960 ? 3 : 2;  // the depth's argument
        int profondeur = 0;
        if (argc <= premier || !lire_entier(argv[premier], 1, PERFT_MAX, &profondeur))
            return erreur("perft needs a depth from 1 to " + std::to_string(PERFT_MAX) +
                          ": solvane perft [--chess960] DEPTH [FEN]");
        std::string fen;
        for (int i = premier + 1; i < argc; ++i) {
            if (i > premier + 1) fen += ' ';
            fen += argv[i];
        }
        return outil_perft(profondeur, argc > premier + 1 ? fen.c_str() : nullptr, chess960);
    }
    if (outil == "bench") {
        int profondeur = BENCH_PROFONDEUR_DEFAUT, fils = 1, hash = 0;
        if (argc > 5 || (argc >= 3 && !lire_entier(argv[2], 1, PROFONDEUR_MAX, &profondeur)) ||
            (argc >= 4 && !lire_entier(argv[3], 1, THREADS_MAX, &fils)) ||
            (argc == 5 && !lire_entier(argv[4], 0, HASH_MAX, &hash)))
            return erreur("bench takes an optional depth from 1 to " + std::to_string(PROFONDEUR_MAX) +
                          ", thread count from 1 to " + std::to_string(THREADS_MAX) + " and table size from 0 to " +
                          std::to_string(HASH_MAX) + " MB");
        return outil_bench(profondeur, fils, hash);
    }
    return erreur("unknown argument '" + outil + "' (see solvane --help)");
}

#if defined(__EMSCRIPTEN__) && __clang_major__ >= 15
// Clang names main(argc, argv) __main_argc_argv on WebAssembly since version
// 15; the Emscripten runtime of Debian 12 still starts "main".
extern "C" int __main_argc_argv(int argc, char** argv);
extern "C" int main_pour_emscripten(int argc, char** argv) __asm__("main");
int main_pour_emscripten(int argc, char** argv) { return __main_argc_argv(argc, argv); }
#endif
