#include <cassert>
#include <memory>
#include <vector>

#include "globals.h"
#include "movegen.h"
#include "search.h"

variation P_VARIATION;
int EXTENSION;
int LONGEST;

namespace {

// Nodes come from a free list refilled by whole blocks: one node per legal
// move searched would otherwise cost a heap allocation each.
constexpr int NOEUDS_PAR_BLOC = 4096;
variation* libres = nullptr;
std::vector<std::unique_ptr<variation[]>> blocs;

variation* nouvelle_variation(coup m) {
    if (libres == nullptr) {
        blocs.push_back(std::make_unique<variation[]>(NOEUDS_PAR_BLOC));
        variation* bloc = blocs.back().get();
        for (int i = 0; i < NOEUDS_PAR_BLOC; ++i) bloc[i].suivant = i + 1 < NOEUDS_PAR_BLOC ? &bloc[i + 1] : nullptr;
        libres = bloc;
    }
    variation* v = libres;
    libres = v->suivant;
    *v = {m.depart, m.arrivee, nullptr};
    return v;
}

// A leaf scored without being made must, made, be legal, bring no third
// repetition and evaluate the same.
[[maybe_unused]] bool feuille_conforme(coup m) {
    const int attendu = evaluation_apres(m.depart, m.arrivee);
    const int r = ajoute_coup_partie(m.depart, m.arrivee);
    const bool legal = !roi_du_trait_attaque();
    inverse_trait();
    const int obtenu = evaluation();
    inverse_trait();
    retire_coup_partie();
    return legal && r != DRAW && obtenu == attendu;
}

[[maybe_unused]] bool illegal_une_fois_joue(coup m) {
    ajoute_coup_partie(m.depart, m.arrivee);
    const bool illegal = roi_du_trait_attaque();
    retire_coup_partie();
    return illegal;
}

// A leaf's line is its move alone: the node of the best line so far is reused
// when that line is a single move too.
void noter_feuille(variation* pv, coup m) {
    variation* v = pv->suivant;
    if (v != nullptr && v->suivant == nullptr) {
        v->depart = m.depart;
        v->arrivee = m.arrivee;
        return;
    }
    libere_variation(v);
    pv->suivant = nouvelle_variation(m);
}

// Searches one list of a node, in order, until a move reaches beta. The
// node's alpha, best score and count of legal moves are kept here while the
// list is searched.
void chercher_liste(const liste_coups& liste, const legalite& legal, int extension, int depth, int& alpha_noeud,
                    int beta, variation* pv, int& best_noeud, int& legaux_noeud) {
    int alpha = alpha_noeud, best = best_noeud, legaux = legaux_noeud;
    // A child with no depth left, reached by a quiet move or past the capture
    // extension, is a leaf: alphabeta would only test STOP and evaluate it.
    const bool feuilles = depth - 1 < 0 || (depth - 1 == 0 && extension == 0);
    const bool sans_jouer = feuilles && depth != PROFONDEUR;
    bool feuilles_preparees = false;
    for (int i = 0; i < liste.nb_coups && best < beta; ++i) {
        const coup m = liste.coups[i];
        const bool a_tester = coup_a_tester(legal, m);
        // Leaves reached by a move that moves one piece and cannot repeat a
        // position are scored without making the move.
        if (sans_jouer && m.arrivee < PREMIER_CODE_PROMOTION &&
            !(a_tester && roque_ou_en_passant(m))) {
            if (a_tester && roi_attaque_apres(m)) {
                assert(illegal_une_fois_joue(m));
                continue;
            }
            if (!repetition_possible_apres(m.depart, m.arrivee)) {
                if (!feuilles_preparees) {
                    preparer_feuilles(liste.nb_coups - i);
                    feuilles_preparees = true;
                }
                ++legaux;
                if (best > alpha) alpha = best;
                assert(feuille_conforme(m));
                const int score = STOP == 1 ? -SCORE_ARRET : -eval_apres(m.depart, m.arrivee);
                if (score > best) {
                    noter_feuille(pv, m);
                    best = score;
                }
                continue;
            }
        }
        const int r = ajoute_coup_partie(m.depart, m.arrivee);
        assert(a_tester || !roi_du_trait_attaque());
        if (a_tester && roi_du_trait_attaque()) {
            retire_coup_partie();
            continue;
        }
        ++legaux;
        variation* noeud = nouvelle_variation(m);
        EXTENSION = extension;
        // The root's line always starts with a legal move.
        if (depth == PROFONDEUR && pv->suivant == nullptr) pv->suivant = noeud;
        if (best > alpha) alpha = best;
        int score;
        if (r == DRAW) {
            score = -r * TRAIT;
        } else {
            inverse_trait();
            if (feuilles) score = STOP == 1 ? -SCORE_ARRET : -eval();
            else score = -alphabeta(depth - 1, -beta, -alpha, noeud);
            inverse_trait();
        }
        retire_coup_partie();
        if (score > best) {
            if (pv->suivant != noeud) libere_variation(pv->suivant);
            pv->suivant = noeud;
            best = score;
        } else if (pv->suivant != noeud) {
            libere_variation(noeud);
        }
    }
    alpha_noeud = alpha;
    best_noeud = best;
    legaux_noeud = legaux;
}

}  // namespace

void libere_variation(variation* v) {
    while (v != nullptr) {
        variation* suivant = v->suivant;
        v->suivant = libres;
        libres = v;
        v = suivant;
    }
}

void init_variation() {
    POSITIONS = 0;
    P_VARIATION.depart = 0;
    P_VARIATION.arrivee = 0;
    libere_variation(P_VARIATION.suivant);
    P_VARIATION.suivant = nullptr;
    LONGEST = 0;
}

int alphabeta(int depth, int alpha, int beta, variation* pv) {
    if (STOP == 1) return SCORE_ARRET;
    if (depth == 0 && (EXTENSION == 0 || pv == nullptr)) return eval();
    if (depth < 0) return eval();

    int best = -MAT;
    int legaux = 0;
    liste_coups liste;
    init_liste(&liste);
    generer_prises(&liste);
    const legalite legal = preparer_legalite();
    chercher_liste(liste, legal, 1, depth, alpha, beta, pv, best, legaux);

    // Quiet moves after the captures; at the capture extension only when no
    // capture was legal, so that mate and stalemate are still seen there. They
    // are generated only when they will be searched.
    if (best < beta && (depth > 0 || (depth == 0 && EXTENSION == 1 && legaux == 0))) {
        init_liste(&liste);
        generer_calmes(&liste);
        chercher_liste(liste, legal, 0, depth, alpha, beta, pv, best, legaux);
    }

    if (best != -MAT) return best;
    if (legaux == 0 && !roi_du_trait_attaque()) return -DRAW;
    const int ply = PROFONDEUR - depth;
    if (ply > LONGEST) LONGEST = ply;
    return -MAT;
}
