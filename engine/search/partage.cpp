// SPDX-License-Identifier: GPL-3.0-or-later
// A node shared across the team: its moves offered as jobs, the job a free
// thread takes, and the results counted in the one-thread order.
#include <algorithm>
#include <cassert>
#include <tuple>

#include "equipe.h"
#include "globals.h"

namespace {

void rappeler(tache& t) {
    t.annulee = true;
    t.budget->store(RAPPEL, std::memory_order_relaxed);
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

// The window of the next job to count, as the one-thread search gives it.
int alpha_requis(const partage& p) { return p.k > 1 ? p.rang.alpha() : std::max(p.alpha, p.best); }

// With several lines, the k-th best score of the counted moves and of the
// results already in for the moves before job j; sure once all are in.
void fenetre_des_lignes(const partage& p, size_t j, fenetre* f) {
    classement rang = p.rang;
    f->sure = true;
    f->en_cours = j;
    for (size_t i = p.suivante; i < j; ++i) {
        const tache& t = p.taches[i];
        if (t.etat == etat_tache::finie && t.legal && rang.retient(t.score)) rang.placer(t.score, static_cast<int>(i));
        if (t.etat != etat_tache::finie && f->sure) {
            f->sure = false;
            f->en_cours = i;
        }
    }
    f->alpha = rang.alpha();
}

// Alpha raised by the counted moves and by the results already in for the
// moves before job j. False when one of those results reaches beta: the job
// would most likely be cut off.
bool fenetre_probable(const partage& p, size_t j, fenetre* f) {
    if (p.k > 1) {
        fenetre_des_lignes(p, j, f);
        return true;
    }
    f->alpha = std::max(p.alpha, p.best);
    f->sure = true;
    f->en_cours = j;
    for (size_t i = p.suivante; i < j; ++i) {
        const tache& t = p.taches[i];
        if (t.etat == etat_tache::finie && t.legal) f->alpha = std::max(f->alpha, t.score);
        if (t.etat != etat_tache::finie && p.best > p.alpha && f->sure) {
            f->sure = false;
            f->en_cours = i;
        }
    }
    return f->alpha < p.beta;
}

// The first job of p free to take, or nullptr. Until a legal move is counted
// only the owner searches, one move at a time; the first k of several lines
// all have the widest window.
tache* premiere_libre(partage& p, bool proprietaire, fenetre* f) {
    const bool seul = p.legaux == 0 && p.k == 1;
    if (p.coupee || (seul && !proprietaire)) return nullptr;
    const size_t fin = seul ? std::min(p.suivante + 1, p.taches.size()) : p.taches.size();
    for (size_t j = p.suivante; j < fin; ++j)
        if (p.taches[j].etat == etat_tache::libre) return fenetre_probable(p, j, f) ? &p.taches[j] : nullptr;
    return nullptr;
}

bool descend_de(const partage* p, const partage* ancetre) {
    for (; p != nullptr; p = p->parent)
        if (p == ancetre) return true;
    return false;
}

void copier_ligne(tache& t, const variation* v) {
    t.longueur_ligne = 0;
    for (; v != nullptr && t.longueur_ligne < LIGNE_MAX; v = v->suivant) t.ligne[t.longueur_ligne++] = {v->depart, v->arrivee};
}

}  // namespace

void equipe::couper(partage& p) {
    p.coupee = true;
    for (tache& t : p.taches)
        if (t.etat == etat_tache::en_cours && !t.annulee) rappeler(t);
}

// A job searched with another window than alpha raised by the moves before it
// goes back to be searched again; so do jobs under way with a window it can
// no longer have.
void equipe::compter(partage& p) {
    if (STOP == 1) couper(p);
    while (!p.coupee && p.suivante < p.taches.size()) {
        tache& t = p.taches[p.suivante];
        if (t.etat != etat_tache::finie) break;
        if (t.fenetre && t.alpha != alpha_requis(p)) {
            jeter(t);
            break;
        }
        ++p.suivante;
        if (!t.legal) continue;
        table_reporter(t.journal, p.journal);
        ++p.legaux;
        p.positions += t.positions;
        p.longest = std::max(p.longest, t.longest);
        const int indice = static_cast<int>(&t - p.taches.data());
        if (p.k > 1) {
            if (p.rang.retient(t.score)) p.rang.placer(t.score, indice);
            p.best = p.rang.entrees().front().score;
            continue;
        }
        if (t.score > p.best || (p.ligne_racine && p.meilleure < 0)) {
            p.best = std::max(p.best, t.score);
            p.meilleure = indice;
        }
        if (p.best >= p.beta) couper(p);
    }
    const int alpha = alpha_requis(p);
    for (tache& t : p.taches)
        if (t.etat == etat_tache::en_cours && !t.annulee && t.alpha < alpha) rappeler(t);
}

// A sure window first, the job of the node with the most depth left (the
// biggest piece of work); else the one whose window is the least likely to
// change, then the biggest.
tache* equipe::trouver_tache(const partage* sous, int* alpha) {
    tache* choisie = nullptr;
    std::tuple<bool, size_t, int> rang_choisi;
    for (partage* p : ouverts_) {
        if (sous != nullptr && !descend_de(p, sous)) continue;
        fenetre f{};
        tache* t = premiere_libre(*p, p == sous, &f);
        if (t == nullptr) continue;
        const std::tuple<bool, size_t, int> rang{f.sure, f.sure ? 0 : f.en_cours, p->depth};
        if (choisie == nullptr || rang > rang_choisi) {
            choisie = t;
            *alpha = f.alpha;
            rang_choisi = rang;
        }
    }
    return choisie;
}

void chercher_tache(tache& t) {
    const partage& p = *t.noeud;
    restaurer_noeud(p.position);
    const int64_t positions = RECHERCHE.POSITIONS;
    const int longest = RECHERCHE.LONGEST;
    RECHERCHE.POSITIONS = 0;
    RECHERCHE.LONGEST = 0;
    const coup_cherche j = RECHERCHE.TABLE ? chercher_coup<true>(t.coup_cherche, true, false, p.depth, t.alpha, p.beta)
                                           : chercher_coup<false>(t.coup_cherche, true, false, p.depth, t.alpha, p.beta);
    t.legal = j.legal;
    t.fenetre = j.cherche;
    t.score = j.score;
    t.longueur_ligne = 0;
    if (j.legal) {
        copier_ligne(t, j.noeud->suivant);
        libere_variation(j.noeud);
    }
    t.positions = RECHERCHE.POSITIONS;
    t.longest = RECHERCHE.LONGEST;
    RECHERCHE.POSITIONS = positions;
    RECHERCHE.LONGEST = longest;
}

namespace {

variation* ligne_de(const tache& t) {
    variation* premier = nouvelle_variation(t.coup_cherche.m);
    variation* v = premier;
    for (int i = 0; i < t.longueur_ligne; ++i) v = v->suivant = nouvelle_variation(t.ligne[i]);
    return premier;
}

}  // namespace

void chercher_en_parallele(noeud& n, const std::vector<coup_etendu>& coups, int k) {
    // Only a search without a node limit shares: its budget is a call-back
    // alone, which another thread may raise at any time.
    assert(budget() == INT64_MAX || budget() == RAPPEL);
    equipe& e = RECHERCHE.EQUIPIER->equipe_;
    partage p;
    sauver_noeud(p.position, e.racine());
    p.journal = RECHERCHE.JOURNAL;
    p.depth = n.depth;
    p.alpha = n.alpha;
    p.beta = n.beta;
    p.best = n.best;
    p.ligne_racine = commence_la_ligne(n);
    p.k = k;
    p.rang = classement(k);
    p.taches.resize(coups.size());
    for (size_t i = 0; i < coups.size(); ++i) {
        p.taches[i].noeud = &p;
        p.taches[i].coup_cherche = coups[i];
    }

    std::unique_lock<std::mutex> verrou(e.verrou);
    // Nobody else may take a job before the first legal move is counted: the
    // threads waiting hear of the node then.
    e.ouvrir(p);
    // The owner takes the node's jobs too, then helps below it until the
    // last job is in.
    for (;;) {
        if (rappele() || STOP == 1) e.couper(p);
        if ((p.coupee || p.suivante == p.taches.size()) && p.travailleurs == 0) break;
        int alpha;
        tache* t = p.coupee ? nullptr : e.trouver_tache(&p, &alpha);
        if (t != nullptr) {
            e.faire(*t, alpha, verrou);
            if (t->noeud != &p) restaurer_noeud(p.position);
        } else {
            e.attendre(verrou);
        }
    }
    e.fermer(p);
    verrou.unlock();

    n.legaux += p.legaux;
    RECHERCHE.POSITIONS += p.positions;
    RECHERCHE.LONGEST = std::max(RECHERCHE.LONGEST, p.longest);
    if (k > 1) {
        LIGNES.clear();
        for (const classement::entree& e : p.rang.entrees()) {
            const tache& t = p.taches[e.indice];
            LIGNES.push_back({t.score, t.longest, ligne_de(t)});
        }
    } else if (p.meilleure >= 0) {
        libere_variation(n.pv->suivant);
        n.pv->suivant = ligne_de(p.taches[p.meilleure]);
    }
    n.best = p.best;
}
