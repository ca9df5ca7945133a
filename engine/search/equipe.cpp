// SPDX-License-Identifier: GPL-3.0-or-later
// The team of a parallel search: its helper threads, the lock and the
// condition variable they meet through, and the loop of a thread that takes
// jobs.
#include <algorithm>
#include <cassert>

#include "equipe.h"
#include "globals.h"
#include "simulation.h"

namespace {

// The budget of a thread whose job was given up: called back again while it is
// still inside a job given up further out.
void reprendre_budget() {
    const equipier& e = *RECHERCHE.EQUIPIER;
    const bool rappel = std::any_of(e.taches, e.taches + e.nb_taches, [](const tache* t) { return t->annulee; });
    RECHERCHE.BUDGET_ITERATION.store(rappel ? RAPPEL : INT64_MAX, std::memory_order_relaxed);
}

}  // namespace

equipe::equipe(int fils) {
    horloge_debut(true);
#ifdef SOLVANE_UN_FIL
    // No thread can start in this build: the team is the one thread, whose lines every team prints.
    fils = 1;
#endif
    if (fils <= 1) return;
    // A node limit counts positions in the one-thread order, which only one
    // thread keeps; the call-back of a job also borrows the node budget.
    assert(LIMITES.noeuds == 0);
    partie_ = sauver_partie();
    racine_ = JEU.FIN_LISTE_PARTIE;
    RECHERCHE.EQUIPIER = &principal_;
    RECHERCHE.PARTAGE_DES = LIMITES.partage_des;
    for (int i = 1; i < fils; ++i) aides_.emplace_back(&equipe::fil_aide, this);
}

int64_t equipe::terminer() {
    if (!aides_.empty()) {
        {
            std::lock_guard<std::mutex> garde(verrou);
            fin_ = true;
        }
        travail_.notify_all();
        for (std::thread& t : aides_) t.join();
        aides_.clear();
        RECHERCHE.EQUIPIER = nullptr;
        RECHERCHE.PARTAGE_DES = JAMAIS_PARTAGE;
    }
    const int64_t perdues = perdues_;
    perdues_ = 0;
    return perdues;
}

equipe::~equipe() {
    terminer();
    horloge_fin(true);
}

void equipe::fil_aide() {
    horloge_debut(false);
    restaurer_partie(partie_);
    const instantanes_differes differes;
    preparer_valeurs();
    equipier moi{*this, {}, 0};
    RECHERCHE.EQUIPIER = &moi;
    RECHERCHE.PARTAGE_DES = LIMITES.partage_des;
    RECHERCHE.TABLE = table_utilisee(LIMITES);
    RECHERCHE.TUEURS_DES = LIMITES.partage_des - 1;
    aider();
    liberer_variations();
    horloge_fin(false);
}

void equipe::aider() {
    std::unique_lock<std::mutex> verrou_(verrou);
    while (!fin_) {
        int alpha;
        if (tache* t = trouver_tache(nullptr, &alpha)) faire(*t, alpha, verrou_);
        else attendre(verrou_);
    }
}

void equipe::attendre(std::unique_lock<std::mutex>& verrou_) {
    horloge_attente();
    travail_.wait(verrou_);
    horloge_reprise();
}

void equipe::signaler() {
    horloge_signal();
    travail_.notify_all();
}

void equipe::ouvrir(partage& p) {
    const equipier& e = *RECHERCHE.EQUIPIER;
    p.parent = e.nb_taches > 0 ? e.taches[e.nb_taches - 1]->noeud : nullptr;
    ouverts_.push_back(&p);
}

void equipe::fermer(partage& p) { ouverts_.erase(std::find(ouverts_.begin(), ouverts_.end(), &p)); }

// A result the counts cannot keep: the job is free again, its positions and
// the moves it noted thrown away.
void equipe::jeter(tache& t) {
    t.etat = etat_tache::libre;
    perdues_ += t.positions;
    t.journal.clear();
}

void equipe::faire(tache& t, int alpha, std::unique_lock<std::mutex>& verrou_) {
    partage& p = *t.noeud;
    equipier& e = *RECHERCHE.EQUIPIER;
    t.etat = etat_tache::en_cours;
    t.annulee = false;
    t.alpha = alpha;
    t.budget = &RECHERCHE.BUDGET_ITERATION;
    ++p.travailleurs;
    assert(e.nb_taches < MAX_TACHES_IMBRIQUEES);
    e.taches[e.nb_taches++] = &t;
    journal_table* const journal = RECHERCHE.JOURNAL;
    RECHERCHE.JOURNAL = &t.journal;
    verrou_.unlock();
    chercher_tache(t);
    verrou_.lock();
    RECHERCHE.JOURNAL = journal;
    --e.nb_taches;
    // Kept unless the job was given up, or the work it belongs to was: the
    // job is then free again.
    if (t.annulee || rappele() || p.coupee) {
        jeter(t);
    } else {
        t.etat = etat_tache::finie;
        compter(p);
    }
    --p.travailleurs;
    reprendre_budget();
    signaler();
}
