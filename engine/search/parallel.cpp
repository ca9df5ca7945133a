// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "globals.h"
#include "movegen.h"
#include "partage.h"
#include "search.h"
#include "simulation.h"

int PARTAGE_DES = JAMAIS_PARTAGE;
std::atomic<int64_t> POSITIONS_PERDUES{0};

namespace {

constexpr int64_t RAPPEL = -1;  // a budget that ends the thread's work at its next node
constexpr int LIGNE_MAX = PROFONDEUR_MAX + 2;  // a child's line, capture extension included

struct partage;

enum etat_tache { LIBRE, EN_COURS, FINIE };

}  // namespace

// One move of a shared node, and what searching it gave.
struct tache {
    partage* noeud;
    coup_etendu coup_cherche;
    etat_tache etat = LIBRE;
    bool annulee = false;                   // its worker must give it up
    std::atomic<int64_t>* budget = nullptr;  // its worker's
    int alpha = 0;                          // the window it was searched with
    bool fenetre = false;                   // the score depends on that window
    bool legal = false;
    int score = 0;
    int64_t positions = 0;
    int longest = 0;
    int longueur_ligne = 0;
    coup ligne[LIGNE_MAX];  // the child's line
};

namespace {

// A node whose moves the threads share, on its owner's stack for as long as
// anyone works on it. Everything but `position` is guarded by VERROU.
struct partage {
    etat_noeud position;
    partage* parent;  // the node whose job its owner was doing; nullptr at the top
    int depth, alpha, beta;
    std::vector<tache> taches;
    size_t suivante = 0;  // the first job not yet counted, in order
    int travailleurs = 0;
    bool coupee = false;  // a cut-off (or a stop): no more moves
    // The counted jobs: best score and which job gave it, legal moves, positions, mate length.
    int best;
    int meilleure = -1;
    bool ligne_racine;  // the root with no line yet: its first legal move starts one
    int legaux = 0;
    int64_t positions = 0;
    int longest = 0;
};

// One lock for every shared node: jobs are whole subtrees, taken far less
// often than the lock could be contended.
std::mutex VERROU;
std::condition_variable TRAVAIL;  // a job was offered, finished or given back
std::vector<partage*> OUVERTS;
bool FIN_EQUIPE = false;
int RACINE_EQUIPE = -1;  // the record's end at the search's root

// Waits under the lock for a job, a result or the end of the search.
void attendre(std::unique_lock<std::mutex>& verrou) {
    horloge_attente();
    TRAVAIL.wait(verrou);
    horloge_reprise();
}

void signaler() {
    horloge_signal();
    TRAVAIL.notify_all();
}

void rappeler(tache& t) {
    t.annulee = true;
    t.budget->store(RAPPEL, std::memory_order_relaxed);
}

// The budget of a thread whose job was given up: called back again while it is
// still inside a job given up further out.
void reprendre_budget() {
    bool rappel = false;
    for (int i = 0; i < RECHERCHE.NB_TACHES; ++i) rappel = rappel || RECHERCHE.TACHES[i]->annulee;
    RECHERCHE.BUDGET_ITERATION.store(rappel ? RAPPEL : INT64_MAX, std::memory_order_relaxed);
}

bool rappele() { return budget() < 0; }

// A result the counts cannot keep: the job is free again, its positions thrown away.
void jeter(tache& t) {
    t.etat = LIBRE;
    POSITIONS_PERDUES += t.positions;
}

void couper(partage& p) {
    p.coupee = true;
    for (tache& t : p.taches)
        if (t.etat == EN_COURS && !t.annulee) rappeler(t);
}

// Counts the finished jobs in order, as the one-thread search meets them. A
// job searched with another window than alpha raised by the moves before it
// goes back to be searched again; so do jobs under way with a window it can
// no longer have.
void compter(partage& p) {
    if (STOP == 1) couper(p);
    while (!p.coupee && p.suivante < p.taches.size()) {
        tache& t = p.taches[p.suivante];
        if (t.etat != FINIE) break;
        const int alpha = std::max(p.alpha, p.best);
        if (t.fenetre && t.alpha != alpha) {
            jeter(t);
            break;
        }
        ++p.suivante;
        if (!t.legal) continue;
        ++p.legaux;
        p.positions += t.positions;
        p.longest = std::max(p.longest, t.longest);
        if (t.score > p.best || (p.ligne_racine && p.meilleure < 0)) {
            p.best = std::max(p.best, t.score);
            p.meilleure = static_cast<int>(&t - p.taches.data());
        }
        if (p.best >= p.beta) couper(p);
    }
    const int alpha = std::max(p.alpha, p.best);
    for (tache& t : p.taches)
        if (t.etat == EN_COURS && !t.annulee && t.alpha < alpha) rappeler(t);
}

// The window a job would be given, and how likely it is to stand.
struct fenetre {
    int alpha;
    // Sure when the window cannot change any more: every move before the
    // job is in, or none of them raised alpha so far and none is likely to
    // (the node fails low).
    bool sure;
    // Else the first move before it still under way: the later that move in
    // its list, the less likely it is to raise alpha (it must beat the best
    // of more moves).
    size_t en_cours;
};

// Alpha raised by the counted moves and by the results already in for the
// moves before job j. False when one of those results reaches beta: the job
// would most likely be cut off.
bool fenetre_probable(const partage& p, size_t j, fenetre* f) {
    f->alpha = std::max(p.alpha, p.best);
    f->sure = true;
    f->en_cours = j;
    for (size_t i = p.suivante; i < j; ++i) {
        const tache& t = p.taches[i];
        if (t.etat == FINIE && t.legal) f->alpha = std::max(f->alpha, t.score);
        if (t.etat != FINIE && p.best > p.alpha && f->sure) {
            f->sure = false;
            f->en_cours = i;
        }
    }
    return f->alpha < p.beta;
}

// The first job of p free to take, or nullptr. Until a legal move is counted
// only the owner searches, one move at a time.
tache* premiere_libre(partage& p, bool proprietaire, fenetre* f) {
    if (p.coupee || (p.legaux == 0 && !proprietaire)) return nullptr;
    const size_t fin = p.legaux == 0 ? std::min(p.suivante + 1, p.taches.size()) : p.taches.size();
    for (size_t j = p.suivante; j < fin; ++j)
        if (p.taches[j].etat == LIBRE) return fenetre_probable(p, j, f) ? &p.taches[j] : nullptr;
    return nullptr;
}

bool descend_de(const partage* p, const partage* ancetre) {
    for (; p != nullptr; p = p->parent)
        if (p == ancetre) return true;
    return false;
}

// A job under `sous` (any node when nullptr): a sure one first, the one of
// the node with the most depth left (the biggest piece of work); else the one
// whose window is the least likely to change, then the biggest.
tache* trouver_tache(const partage* sous, int* alpha) {
    tache* choisie = nullptr;
    int64_t rang = -1;
    for (partage* p : OUVERTS) {
        if (sous != nullptr && !descend_de(p, sous)) continue;
        fenetre f{};
        tache* t = premiere_libre(*p, p == sous, &f);
        const int64_t r = (f.sure ? int64_t{2 * MAX_COUPS} : static_cast<int64_t>(f.en_cours)) * (PROFONDEUR_MAX + 1) + p->depth;
        if (t != nullptr && r > rang) {
            choisie = t;
            *alpha = f.alpha;
            rang = r;
        }
    }
    return choisie;
}

void copier_ligne(tache& t, const variation* v) {
    t.longueur_ligne = 0;
    for (; v != nullptr && t.longueur_ligne < LIGNE_MAX; v = v->suivant) t.ligne[t.longueur_ligne++] = {v->depart, v->arrivee};
}

// Searches the move of t from its node, as chercher_liste would, without
// counting anything in the thread's own totals.
void chercher_tache(tache& t) {
    const partage& p = *t.noeud;
    restaurer_noeud(p.position);
    const int64_t positions = RECHERCHE.POSITIONS;
    const int longest = RECHERCHE.LONGEST;
    RECHERCHE.POSITIONS = 0;
    RECHERCHE.LONGEST = 0;
    const coup m = t.coup_cherche.m;
    const int r = ajoute_coup_partie(m.depart, m.arrivee);
    t.legal = !roi_du_trait_attaque();
    t.fenetre = false;
    t.longueur_ligne = 0;
    if (t.legal && r == DRAW) {
        t.score = -r * JEU.TRAIT;
    } else if (t.legal) {
        variation* noeud = nouvelle_variation(m);
        RECHERCHE.EXTENSION = t.coup_cherche.extension;
        inverse_trait();
        t.score = -alphabeta(p.depth - 1, -p.beta, -t.alpha, noeud);
        inverse_trait();
        t.fenetre = true;
        copier_ligne(t, noeud->suivant);
        libere_variation(noeud);
    }
    retire_coup_partie();
    t.positions = RECHERCHE.POSITIONS;
    t.longest = RECHERCHE.LONGEST;
    RECHERCHE.POSITIONS = positions;
    RECHERCHE.LONGEST = longest;
}

// Does job t, found free under the lock held by `verrou`, which is released
// meanwhile. The result is kept unless the job was given up, or the work it
// belongs to was: the job is then free again.
void faire(tache& t, int alpha, std::unique_lock<std::mutex>& verrou) {
    partage& p = *t.noeud;
    t.etat = EN_COURS;
    t.annulee = false;
    t.alpha = alpha;
    t.budget = &RECHERCHE.BUDGET_ITERATION;
    ++p.travailleurs;
    assert(RECHERCHE.NB_TACHES < MAX_TACHES_IMBRIQUEES);
    RECHERCHE.TACHES[RECHERCHE.NB_TACHES++] = &t;
    verrou.unlock();
    chercher_tache(t);
    verrou.lock();
    --RECHERCHE.NB_TACHES;
    if (t.annulee || rappele() || p.coupee) {
        jeter(t);
    } else {
        t.etat = FINIE;
        compter(p);
    }
    --p.travailleurs;
    reprendre_budget();
    signaler();
}

void aider() {
    std::unique_lock<std::mutex> verrou(VERROU);
    while (!FIN_EQUIPE) {
        int alpha;
        if (tache* t = trouver_tache(nullptr, &alpha)) faire(*t, alpha, verrou);
        else attendre(verrou);
    }
}

void fil_aide(const etat_partie& racine) {
    horloge_debut(false);
    restaurer_partie(racine);
    const instantanes_differes differes;
    preparer_valeurs();
    aider();
    liberer_variations();
    horloge_fin(false);
}

std::vector<std::thread> AIDES;
std::unique_ptr<etat_partie> RACINE;

}  // namespace

equipe::equipe(int fils) {
    horloge_debut(true);
    if (fils <= 1) return;
    RACINE = std::make_unique<etat_partie>(sauver_partie());
    RACINE_EQUIPE = JEU.FIN_LISTE_PARTIE;
    FIN_EQUIPE = false;
    PARTAGE_DES = PROFONDEUR_PARTAGE;
    for (int i = 1; i < fils; ++i) AIDES.emplace_back(fil_aide, std::cref(*RACINE));
}

equipe::~equipe() {
    if (!AIDES.empty()) {
        {
            std::lock_guard<std::mutex> garde(VERROU);
            FIN_EQUIPE = true;
        }
        TRAVAIL.notify_all();
        for (std::thread& t : AIDES) t.join();
        AIDES.clear();
        RACINE.reset();
        PARTAGE_DES = JAMAIS_PARTAGE;
    }
    horloge_fin(true);
}

void chercher_en_parallele(noeud& n, const std::vector<coup_etendu>& coups) {
    partage p;
    sauver_noeud(p.position, RACINE_EQUIPE);
    p.depth = n.depth;
    p.alpha = n.alpha;
    p.beta = n.beta;
    p.best = n.best;
    p.ligne_racine = n.depth == PROFONDEUR && n.pv->suivant == nullptr;
    p.taches.resize(coups.size());
    for (size_t i = 0; i < coups.size(); ++i) p.taches[i].coup_cherche = coups[i];
    for (tache& t : p.taches) t.noeud = &p;

    std::unique_lock<std::mutex> verrou(VERROU);
    p.parent = RECHERCHE.NB_TACHES > 0 ? RECHERCHE.TACHES[RECHERCHE.NB_TACHES - 1]->noeud : nullptr;
    // Nobody else may take a job before the first legal move is counted: the
    // threads waiting hear of the node then.
    OUVERTS.push_back(&p);
    // The owner takes the node's jobs too, then helps below it until the
    // last job is in.
    for (;;) {
        if (rappele() || STOP == 1) couper(p);
        if ((p.coupee || p.suivante == p.taches.size()) && p.travailleurs == 0) break;
        int alpha;
        tache* t = p.coupee ? nullptr : trouver_tache(&p, &alpha);
        if (t != nullptr) {
            faire(*t, alpha, verrou);
            if (t->noeud != &p) restaurer_noeud(p.position);
        } else {
            attendre(verrou);
        }
    }
    OUVERTS.erase(std::find(OUVERTS.begin(), OUVERTS.end(), &p));
    verrou.unlock();

    n.legaux += p.legaux;

    RECHERCHE.POSITIONS += p.positions;
    RECHERCHE.LONGEST = std::max(RECHERCHE.LONGEST, p.longest);
    if (p.meilleure >= 0) {
        const tache& t = p.taches[p.meilleure];
        libere_variation(n.pv->suivant);
        variation* v = n.pv->suivant = nouvelle_variation(t.coup_cherche.m);
        for (int i = 0; i < t.longueur_ligne; ++i) v = v->suivant = nouvelle_variation(t.ligne[i]);
    }
    n.best = p.best;
}
