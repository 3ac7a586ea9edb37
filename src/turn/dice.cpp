#include "dice.h"

#include <cstdlib>

namespace {

// The plain remainder, without rejection: the same seed must give the same
// throws, and the tiny bias it leaves is part of the game as played.
int throwDie() { return std::rand() % 6 + 1; }

} // namespace

void rollDice(int &die1, int &die2, int &die3, int &die4, int &die5) {
    die1 = throwDie();
    die2 = throwDie();
    die3 = throwDie();
    die4 = throwDie();
    die5 = throwDie();
}
