// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "diagnostics.h"
#include "globals.h"
#include "search.h"
#include "sortie.h"
#include "uci.h"

namespace {

using horloge_monotone = std::chrono::steady_clock;
constexpr auto PAUSE = std::chrono::milliseconds(10);

// The clock's own state; the lock makes "arm and clear STOP" one step for the
// clock thread.
std::mutex verrou_horloge;
horloge_monotone::time_point debut_horloge;
int limite_horloge_ms = 0;

// 1 while the main thread is inside a search, bestmove line included.
std::atomic<int> RECHERCHE_ACTIVE{0};

}  // namespace

void horloge_lancer(bool armer, int limite_ms) {
    std::lock_guard<std::mutex> garde(verrou_horloge);
    if (armer) {
        debut_horloge = horloge_monotone::now();
        limite_horloge_ms = limite_ms;
    }
    LANCE_HORLOGE = armer ? 1 : 0;
    STOP = 0;
}

void attendre_fin_perft() {
    while (PERFT >= 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void attendre_fin_recherche() {
    if (CALCUL == 0 && RECHERCHE_ACTIVE == 0) return;
    STOP = 1;
    while (CALCUL == 1 || RECHERCHE_ACTIVE == 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

int ThreadIO() {
    restaurer_partie(PARTIE_UCI);
    while (FIN == 0) {
        lire_mot();
        uci_main();
        // The end of input ends the engine as "quit" would.
        if (FIN_ENTREE == 1) {
            STOP = 1;
            FIN = 1;
        }
        std::this_thread::sleep_for(PAUSE);
    }
    return 0;
}

int ThreadClock() {
    while (FIN == 0) {
        {
            std::lock_guard<std::mutex> garde(verrou_horloge);
            if (LANCE_HORLOGE == 1) {
                auto ecoule = std::chrono::duration_cast<std::chrono::milliseconds>(horloge_monotone::now() -
                                                                                    debut_horloge);
                if (ecoule.count() >= limite_horloge_ms && PROFONDEUR_ATTEINTE == 1) STOP = 1;
                if (STOP == 1) LANCE_HORLOGE = 0;
            }
        }
        // An interface that closed our output has gone: end as "quit" would.
        if (sortie_fermee()) {
            STOP = 1;
            FIN = 1;
        }
        std::this_thread::sleep_for(PAUSE);
    }
    return 0;
}

namespace {

void chercher() {
    RECHERCHE_ACTIVE = 1;
    executer_calcul();
    RECHERCHE_ACTIVE = 0;
}

void repondre_isready() {
    if (ISREADY == 1) {
        ISREADY = 0;
        sortie_ligne("readyok");
    }
}

}  // namespace

int boucle_principale() {
    std::thread entree(ThreadIO);
    std::thread horloge(ThreadClock);
    while (FIN == 0) {
        if (CALCUL == 1) chercher();
        std::this_thread::sleep_for(PAUSE);
        repondre_isready();
    }
    // A search requested just before "quit" or the end of input still answers.
    if (CALCUL == 1) chercher();
    repondre_isready();
    horloge.join();
    // The input thread may wait for a line that never comes from a gone interface.
    if (sortie_fermee()) std::_Exit(0);
    entree.join();
    return 0;
}
