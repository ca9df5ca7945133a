// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <string>

#include "uci.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>

#include <condition_variable>
#include <mutex>
#endif

char COMMANDE[TAILLE_COMMANDE];
int CR;
int FIN_ENTREE;

namespace {

std::string texte_source;
size_t position_source = 0;
bool depuis_texte = false;

#ifdef __EMSCRIPTEN__
// A browser has no standard input: the page (or the Node launcher) posts its
// text here, and the input thread waits for it as it would on a pipe.
std::mutex verrou_file;
std::condition_variable file_remplie;
std::string file_entree;
size_t position_file = 0;
bool file_fermee = false;

int caractere_de_la_file() {
    std::unique_lock<std::mutex> garde(verrou_file);
    file_remplie.wait(garde, [] { return position_file < file_entree.size() || file_fermee; });
    if (position_file == file_entree.size()) return EOF;
    int c = static_cast<unsigned char>(file_entree[position_file++]);
    if (position_file == file_entree.size()) {
        file_entree.clear();
        position_file = 0;
    }
    return c;
}
#endif

int lire_caractere() {
#ifdef __EMSCRIPTEN__
    if (!depuis_texte) return caractere_de_la_file();
#else
    if (!depuis_texte) return std::getchar();
#endif
    if (position_source >= texte_source.size()) return EOF;
    return static_cast<unsigned char>(texte_source[position_source++]);
}

// Reads up to a blank or a line feed. Characters beyond the buffer are read
// and dropped; the end of input ends the word and the line.
int lire_jusqu_au_separateur() {
    int n = 0;
    for (;;) {
        int c = FIN_ENTREE ? EOF : lire_caractere();
        if (c == EOF) {
            FIN_ENTREE = 1;
            CR = 1;
            break;
        }
        if (c == ' ') break;
        if (c == '\n') {
            CR = 1;
            // Text mode: a carriage return before the line feed is not part of the word.
            if (n > 0 && n < TAILLE_COMMANDE && COMMANDE[n - 1] == '\r') --n;
            break;
        }
        if (n < TAILLE_COMMANDE - 1) COMMANDE[n] = static_cast<char>(c);
        ++n;
    }
    if (n > TAILLE_COMMANDE - 1) n = TAILLE_COMMANDE - 1;
    COMMANDE[n] = '\0';
    return n;
}

}  // namespace

void lire_mot() {
    CR = 0;
    lire_jusqu_au_separateur();
}

int extract_param() {
    if (CR == 1) {
        CR = 0;
        return 0;
    }
    return lire_jusqu_au_separateur();
}

void lecture_depuis_texte(std::string_view texte) {
    texte_source = texte;
    position_source = 0;
    depuis_texte = true;
    FIN_ENTREE = 0;
    CR = 0;
}

#ifdef __EMSCRIPTEN__
extern "C" EMSCRIPTEN_KEEPALIVE void solvane_commande(const char* texte) {
    {
        std::lock_guard<std::mutex> garde(verrou_file);
        file_entree += texte;
    }
    file_remplie.notify_one();
}

extern "C" EMSCRIPTEN_KEEPALIVE void solvane_fin_entree() {
    {
        std::lock_guard<std::mutex> garde(verrou_file);
        file_fermee = true;
    }
    file_remplie.notify_one();
}
#endif
