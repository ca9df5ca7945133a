#include "globals.h"

int PION = 100;
int CAVALIER = 300;
int FOU = 300;
int TOUR = 500;
int DAME = 900;
int MOBILITY = 1;
int DRAW = 200;
int PROMOTEINUPPERCASE = 1;

std::atomic<int> FIN{0};
std::atomic<int> CALCUL{0};
std::atomic<int> ISREADY{0};
std::atomic<int> STOP{0};
std::atomic<int> LANCE_HORLOGE{0};
std::atomic<int> TEMPS_HORLOGE{0};
std::atomic<int> LAST_TIME{0};
