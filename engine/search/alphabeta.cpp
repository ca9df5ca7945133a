#include "globals.h"
#include "movegen.h"
#include "search.h"

variation P_VARIATION;
int EXTENSION;
int LONGEST;

void libere_variation(variation* v) {
    if (v == nullptr) return;
    libere_variation(v->suivant);
    delete v;
}

void init_variation() {
    POSITIONS = 0;
    P_VARIATION.depart = 0;
    P_VARIATION.arrivee = 0;
    libere_variation(P_VARIATION.suivant);
    P_VARIATION.suivant = nullptr;
    LONGEST = 0;
}

namespace {

// Searches one list; returns false once a cut-off ends the node.
void chercher_liste(const liste_coups& liste, int extension, int depth, int& alpha, int beta, variation* pv,
                    int& best, int& legaux) {
    for (int i = 0; i < liste.nb_coups && best < beta; ++i) {
        const coup m = liste.coups[i];
        int r = ajoute_coup_partie(m.depart, m.arrivee);
        if (roi_du_trait_attaque()) {
            retire_coup_partie();
            continue;
        }
        ++legaux;
        variation* noeud = new variation{m.depart, m.arrivee, nullptr};
        EXTENSION = extension;
        // The root's line always starts with a legal move.
        if (depth == PROFONDEUR && pv->suivant == nullptr) pv->suivant = noeud;
        if (best > alpha) alpha = best;
        int score;
        if (r == DRAW) {
            score = -r * TRAIT;
        } else {
            inverse_trait();
            score = -alphabeta(depth - 1, -beta, -alpha, noeud);
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
}

}  // namespace

int alphabeta(int depth, int alpha, int beta, variation* pv) {
    if (STOP == 1) return SCORE_ARRET;
    if (depth == 0 && (EXTENSION == 0 || pv == nullptr)) return eval();
    if (depth < 0) return eval();

    int best = -MAT;
    int legaux = 0;
    liste_coups calmes, prises;
    init_liste(&calmes);
    init_liste(&prises);
    generer_liste(&calmes, &prises);

    chercher_liste(prises, 1, depth, alpha, beta, pv, best, legaux);
    if (depth > 0 || (depth == 0 && EXTENSION == 1 && legaux == 0))
        chercher_liste(calmes, 0, depth, alpha, beta, pv, best, legaux);

    if (best != -MAT) return best;
    if (legaux == 0 && !roi_du_trait_attaque()) return -DRAW;
    int ply = PROFONDEUR - depth;
    if (ply > LONGEST) LONGEST = ply;
    return -MAT;
}
