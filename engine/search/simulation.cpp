// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulation.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

// How far, in positions, a thread at work may run ahead of the slowest one:
// small beside a shared job, large beside the cost of the lock. Clocks are
// published every PUBLICATION positions.
constexpr int64_t AVANCE_MAX = 1000;
constexpr int64_t PUBLICATION = 250;

struct horloge {
    int64_t temps = 0;
    bool au_travail = false;
};

std::mutex SIM;
std::condition_variable AVANCE;
std::vector<horloge*> HORLOGES;
int64_t TOTAL = 0;

thread_local horloge MIENNE;
thread_local int64_t COMPTE = 0;  // the thread's clock, ahead of MIENNE.temps by less than PUBLICATION
thread_local int64_t ECHEANCE = 0;

int64_t plus_lent() {
    int64_t t = INT64_MAX;
    for (const horloge* h : HORLOGES)
        if (h->au_travail) t = std::min(t, h->temps);
    return t;
}

void publier() {
    MIENNE.temps = COMPTE;
    ECHEANCE = COMPTE + PUBLICATION;
    AVANCE.notify_all();
}

}  // namespace

void horloge_position() {
    if (++COMPTE < ECHEANCE) return;
    std::unique_lock<std::mutex> verrou(SIM);
    publier();
    AVANCE.wait(verrou, [] { return MIENNE.temps - AVANCE_MAX <= plus_lent(); });
}

void horloge_debut(bool racine) {
    const std::lock_guard<std::mutex> garde(SIM);
    const int64_t maintenant = plus_lent();
    COMPTE = racine || maintenant == INT64_MAX ? 0 : maintenant;
    MIENNE.au_travail = true;
    HORLOGES.push_back(&MIENNE);
    publier();
}

void horloge_fin(bool racine) {
    const std::lock_guard<std::mutex> garde(SIM);
    if (racine) TOTAL += COMPTE;
    HORLOGES.erase(std::find(HORLOGES.begin(), HORLOGES.end(), &MIENNE));
    AVANCE.notify_all();
}

void horloge_attente() {
    const std::lock_guard<std::mutex> garde(SIM);
    MIENNE.au_travail = false;
    publier();
}

void horloge_reprise() {
    const std::lock_guard<std::mutex> garde(SIM);
    COMPTE = std::max(COMPTE, MIENNE.temps);
    MIENNE.au_travail = true;
    publier();
}

// The threads waiting wake at the time of the signal: until each has looked for
// work, none of the others may run on more than a quantum beyond it, however
// late the real machine lets it run.
void horloge_signal() {
    const std::lock_guard<std::mutex> garde(SIM);
    for (horloge* h : HORLOGES)
        if (!h->au_travail) {
            h->au_travail = true;
            h->temps = COMPTE;
        }
}

int64_t horloge_totale() {
    const std::lock_guard<std::mutex> garde(SIM);
    return TOTAL;
}

void horloge_remise_a_zero() {
    const std::lock_guard<std::mutex> garde(SIM);
    TOTAL = 0;
}
