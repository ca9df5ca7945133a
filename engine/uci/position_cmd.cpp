// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "globals.h"
#include "movegen.h"
#include "sortie.h"
#include "uci.h"

etat_partie PARTIE_UCI;

namespace {

int code_piece(char c) {
    switch (c) {
        case 'P': return PION_P;
        case 'N': return CAVALIER_P;
        case 'B': return FOU_P;
        case 'R': return TOUR_P;
        case 'Q': return REINE;
        case 'K': return ROI;
        case 'p': return -PION_P;
        case 'n': return -CAVALIER_P;
        case 'b': return -FOU_P;
        case 'r': return -TOUR_P;
        case 'q': return -REINE;
        case 'k': return -ROI;
        default: return 0;
    }
}

// The piece placement field, checked whole before the board is touched.
bool lire_placement(const char* champ, std::string* erreur) {
    int cases[8][8] = {};
    int rangee = 0, colonne = 0;
    for (const char* p = champ; *p != '\0'; ++p) {
        char c = *p;
        if (c == '/') {
            if (colonne != 8) {
                *erreur = format_texte("rank %d of the FEN describes %d squares, not 8", 8 - rangee, colonne);
                return false;
            }
            if (++rangee > 7) {
                *erreur = "the FEN has more than 8 ranks";
                return false;
            }
            colonne = 0;
        } else if (c >= '1' && c <= '8') {
            colonne += c - '0';
        } else if (code_piece(c) != 0) {
            if (colonne < 8) cases[rangee][colonne] = code_piece(c);
            ++colonne;
        } else {
            *erreur = format_texte("character '%c' is not allowed in a FEN piece placement", c);
            return false;
        }
        if (colonne > 8) {
            *erreur = format_texte("rank %d of the FEN describes more than 8 squares", 8 - rangee);
            return false;
        }
    }
    if (colonne != 8) {
        *erreur = format_texte("rank %d of the FEN describes %d squares, not 8", 8 - rangee, colonne);
        return false;
    }
    if (rangee != 7) {
        *erreur = format_texte("the FEN has %d ranks, not 8", rangee + 1);
        return false;
    }
    int rois[2] = {0, 0};
    for (auto& r : cases)
        for (int v : r)
            if (v == ROI || v == -ROI) ++rois[v == ROI ? 0 : 1];
    if (rois[0] != 1 || rois[1] != 1) {
        *erreur = "the FEN must have one white king and one black king";
        return false;
    }
    vide_echiquier();
    for (int r = 0; r < 8; ++r) {
        for (int f = 0; f < 8; ++f) {
            int c = case_de(f + 1, 8 - r);
            JEU.ECHIQUIER[c] = cases[r][f];
            if (cases[r][f] == ROI) JEU.ROI_BLANC = c;
            if (cases[r][f] == -ROI) JEU.ROI_NOIR = c;
        }
    }
    return true;
}

// The rights in FEN order: White's king side and queen side, then Black's.
std::array<int*, 4> droits_de_roque_fen() {
    return {&JEU.PETIT_ROQUE_BLANC, &JEU.GRAND_ROQUE_BLANC, &JEU.PETIT_ROQUE_NOIR, &JEU.GRAND_ROQUE_NOIR};
}

// In Chess960, X-FEN's K and Q: the rook of that side of the king furthest from it.
int tour_exterieure(int camp, int sens) {
    const int rangee = camp == BLANC ? 20 : 90, roi = camp == BLANC ? JEU.ROI_BLANC : JEU.ROI_NOIR;
    for (int c = rangee + (sens > 0 ? 8 : 1); c != roi && c > rangee && c <= rangee + 8; c -= sens)
        if (JEU.ECHIQUIER[c] == TOUR_P * camp) return c;
    return 0;
}

// The castling field: K, Q, k and q; in Chess960 also the rooks' files
// (Shredder-FEN and X-FEN). A right in Chess960 whose king or rook is not
// where it says is dropped with a notice; ecrire_position_initiale drops the
// others as standard chess always did.
void lire_roques(const char* champ, std::vector<std::string>* avis) {
    const std::array<int*, 4> droits = droits_de_roque_fen();
    for (int* d : droits) *d = 0;
    for (const char* p = champ; *p != '\0'; ++p) {
        const int camp = std::isupper(static_cast<unsigned char>(*p)) ? BLANC : NOIR;
        const char lettre = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
        const int premier = camp == BLANC ? 0 : 2;
        int i, tour;
        if (lettre == 'k' || lettre == 'q') {
            i = premier + (lettre == 'q');
            tour = JEU.CHESS960 ? tour_exterieure(camp, lettre == 'k' ? 1 : -1)
                                : (camp == BLANC ? 20 : 90) + (lettre == 'k' ? 8 : 1);
        } else if (JEU.CHESS960 && lettre >= 'a' && lettre <= 'h') {
            tour = (camp == BLANC ? 20 : 90) + (lettre - 'a' + 1);
            i = premier + (tour < (camp == BLANC ? JEU.ROI_BLANC : JEU.ROI_NOIR));
        } else {
            continue;
        }
        if (JEU.CHESS960 && !roque_en_place(i, tour)) {
            if (avis != nullptr)
                avis->push_back(format_texte("castling right %c dropped: no king and rook in place for it", *p));
            continue;
        }
        *droits[i] = tour;
    }
}

int lire_en_passant(const char* champ) {
    if (std::strlen(champ) != 2 || champ[0] < 'a' || champ[0] > 'h' || (champ[1] != '3' && champ[1] != '6')) return 0;
    return case_de(champ[0] - 'a' + 1, champ[1] - '0');
}

// A right needs its king and rook at home: without them castling would move
// a piece that is not there.
void ecrire_position_initiale() {
    const std::array<int*, 4> droits = droits_de_roque_fen();
    for (int i = 0; i < 4; ++i)
        if (*droits[i] != 0 && !roque_en_place(i, *droits[i])) *droits[i] = 0;
    sauve_position_initiale();
}

// A king that the side to move could take is no chess position.
bool verifier_position(std::string* erreur) {
    if (is_roi_echec(JEU.TRAIT == BLANC ? JEU.ROI_NOIR : JEU.ROI_BLANC) == 0) return true;
    *erreur = "the side not to move is in check";
    return false;
}

int piece_de_lettre(char c) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'Q': return REINE;
        case 'R': return TOUR_P;
        case 'B': return FOU_P;
        case 'N': return CAVALIER_P;
        default: return 0;
    }
}

bool est_case(char colonne, char rangee) { return colonne >= 'a' && colonne <= 'h' && rangee >= '1' && rangee <= '8'; }

}  // namespace

bool coup_de_texte(const std::string& texte, coup* coup_trouve) {
    size_t n = texte.size();
    if ((n != 4 && n != 5) || !est_case(texte[0], texte[1]) || !est_case(texte[2], texte[3]) ||
        (n == 5 && !std::isalpha(static_cast<unsigned char>(texte[4]))))
        return false;
    int depart = case_de(texte[0] - 'a' + 1, texte[1] - '0');
    int arrivee = case_de(texte[2] - 'a' + 1, texte[3] - '0');
    int promue = n == 5 ? piece_de_lettre(texte[4]) : 0;

    // The token must name a generated move, a promotion with its letter.
    JEU.ADVERSAIRE = -JEU.TRAIT;
    coups_ordonnes coups;
    generer_dans_l_ordre(&coups);
    for (const coup m : coups) {
        const bool nomme = m.arrivee < PREMIER_CODE_PROMOTION
                               ? m.depart == depart && m.arrivee == arrivee && n == 4
                           : m.arrivee >= PREMIER_CODE_ROQUE
                               ? m.depart == depart && tour_du_roque(m.arrivee) == arrivee && n == 4
                               : m.depart == depart && promotion_cible(m.arrivee) == arrivee &&
                                     promue * JEU.TRAIT == promotion_piece(m.arrivee);
        if (!nomme) continue;
        const bool legal = legal_une_fois_joue(m);
        if (legal) *coup_trouve = m;
        return legal;
    }
    return false;
}

namespace {

// Plays one move token if it is a legal move of the side to move.
bool jouer_coup(const std::string& texte) {
    coup m;
    if (!coup_de_texte(texte, &m)) return false;
    ajoute_coup_partie(m.depart, m.arrivee);
    JEU.TRAIT = -JEU.TRAIT;
    JEU.ADVERSAIRE = -JEU.TRAIT;
    return true;
}

enum etat_lecture { MOT_CLE, PLACEMENT, TRAIT_FEN, ROQUES, EN_PASSANT, DEMI_COUPS, NUMERO, COUPS };

// The start position, in the variant UCI_Chess960 names now.
void nouvelle_partie() {
    JEU.CHESS960 = UCI_CHESS960 != 0;
    init();
}

// Runs the command over its tokens; false with the reason when it is refused.
// The move list ends at its first bad token, with a notice.
bool executer(const std::vector<std::string>& mots, std::string* erreur, std::vector<std::string>* avis) {
    etat_lecture etat = MOT_CLE;
    bool fen_a_verifier = false;
    auto verifier = [&]() {
        if (!fen_a_verifier) return true;
        fen_a_verifier = false;
        return verifier_position(erreur);
    };
    for (const std::string& mot : mots) {
        const char* m = mot.c_str();
        etat_lecture suivant = MOT_CLE;
        switch (etat) {
            case COUPS:
                if (JEU.FIN_LISTE_PARTIE + 1 >= MAX_COUPS_PARTIE) {
                    avis->push_back(format_texte("the game record is full: moves from %s on are not played", m));
                    return true;
                }
                if (!jouer_coup(mot)) {
                    avis->push_back(format_texte("illegal or malformed move %s: the moves from it on are ignored", m));
                    return true;
                }
                continue;
            case PLACEMENT:
                if (!lire_placement(m, erreur)) return false;
                // Without a castling field, every right that its king and rook allow.
                lire_roques("KQkq", nullptr);
                ecrire_position_initiale();
                fen_a_verifier = true;
                suivant = TRAIT_FEN;
                break;
            case TRAIT_FEN:
                if (m[0] == 'w') JEU.TRAIT = BLANC;
                if (m[0] == 'b') JEU.TRAIT = NOIR;
                suivant = ROQUES;
                break;
            case ROQUES:
                lire_roques(m, avis);
                ecrire_position_initiale();
                suivant = EN_PASSANT;
                break;
            case EN_PASSANT:
                JEU.EN_PASSANT_FEN = lire_en_passant(m);
                suivant = DEMI_COUPS;
                break;
            case DEMI_COUPS:
                JEU.DEMI_COUPS_FEN = std::max(atoi_borne(m), 0);
                suivant = NUMERO;
                break;
            case NUMERO:
                JEU.NUMERO_FEN = std::max(atoi_borne(m), 1);
                break;
            case MOT_CLE:
                break;
        }
        // Every FEN field is also read as a keyword, so "moves" ends a short FEN.
        if (mot == "fen") {
            if (!verifier()) return false;
            nouvelle_partie();
            suivant = PLACEMENT;
        } else if (mot == "startpos") {
            if (!verifier()) return false;
            nouvelle_partie();
            JEU.TRAIT = BLANC;
            suivant = MOT_CLE;
        } else if (mot == "moves") {
            if (!verifier()) return false;
            JEU.ADVERSAIRE = -JEU.TRAIT;
            suivant = COUPS;
        }
        etat = suivant;
    }
    if (etat == PLACEMENT) {
        *erreur = "the FEN has no piece placement";
        return false;
    }
    return verifier();
}

std::vector<std::string> lire_mots_de_la_ligne() {
    std::vector<std::string> mots;
    while (extract_param() != 0) mots.emplace_back(COMMANDE);
    return mots;
}

bool position_depuis_mots(const std::vector<std::string>& mots, std::string* erreur) {
    const etat_partie avant = sauver_partie();
    std::vector<std::string> avis;
    if (!executer(mots, erreur, &avis)) {
        restaurer_partie(avant);
        return false;
    }
    JEU.ADVERSAIRE = -JEU.TRAIT;
    noter_partie();
    for (const std::string& a : avis) sortie_ligne("info string " + a);
    return true;
}

}  // namespace

void uci_position() {
    std::string erreur;
    if (!position_depuis_mots(lire_mots_de_la_ligne(), &erreur))
        sortie_ligne("info string position refused: " + erreur);
}

void noter_partie() { PARTIE_UCI = sauver_partie(); }

void uci_d() { sortie_texte(texte_position()); }

bool position_depuis_texte(std::string_view description, std::string* erreur) {
    std::string ligne(description);
    ligne += '\n';
    lecture_depuis_texte(ligne);
    return position_depuis_mots(lire_mots_de_la_ligne(), erreur);
}
