// SPDX-License-Identifier: GPL-3.0-or-later
// Strength levels: a smaller search, and a choice among its best lines that
// grows freer as the level falls, so that a weaker level misses deeper
// tactics and now and then prefers a worse move, as weaker players do.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "search.h"

namespace {

// Calibrated against a public rating scale (see the README): the levels in
// between are interpolated, the node counts geometrically.
constexpr niveau POINTS[] = {
    {ELO_MIN, 25000, 4, 45, 140},
    {1000, 42000, 3, 10, 35},
    {1200, 50000, 1, 0, 0},
    {1350, 120000, 1, 0, 0},
    {1500, 1000000, 1, 0, 0},
    {ELO_MAX, 0, 1, 0, 0},
};

int entre(int a, int b, double t) { return static_cast<int>(std::lround(a + (b - a) * t)); }

}  // namespace

niveau niveau_de(int elo) {
    elo = std::clamp(elo, ELO_MIN, ELO_MAX);
    const niveau* haut = std::find_if(std::begin(POINTS), std::end(POINTS), [elo](const niveau& p) { return p.elo >= elo; });
    if (haut == std::begin(POINTS) || haut->elo == elo) return *haut;
    const niveau& bas = haut[-1];
    const double t = static_cast<double>(elo - bas.elo) / (haut->elo - bas.elo);
    // The top level searches without a node limit: up to it, the count keeps
    // growing at the last step's rate.
    const double plafond = haut->noeuds > 0 ? haut->noeuds : bas.noeuds * 4.0;
    return {elo, static_cast<int64_t>(std::llround(bas.noeuds * std::pow(plafond / bas.noeuds, t))),
            entre(bas.lignes, haut->lignes, t), entre(bas.temperature, haut->temperature, t),
            entre(bas.perte_max, haut->perte_max, t)};
}

size_t ligne_du_niveau(const std::vector<ligne_racine>& lignes, const niveau& n, uint64_t tirage) {
    const int meilleur = lignes.front().score;
    std::vector<double> poids;
    for (const ligne_racine& l : lignes) {
        const int perte = meilleur - l.score;
        // Mates and lost lines are scores of ±MAT: never played by choice.
        const bool permise = perte <= n.perte_max && std::abs(l.score) < MAT && n.temperature > 0;
        poids.push_back(poids.empty() ? 1.0 : permise ? std::exp(-static_cast<double>(perte) / n.temperature) : 0.0);
    }
    double total = 0;
    for (double p : poids) total += p;
    double cible = static_cast<double>(tirage >> 11) * 0x1.0p-53 * total;
    for (size_t i = 0; i < poids.size(); ++i) {
        if (cible < poids[i]) return i;
        cible -= poids[i];
    }
    return 0;
}
