#include "console.h"
#include "dice.h"
#include "screens.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

int main() {
    char moreRolls = 'y';
    int die1;
    int die2;
    int die3;
    int die4;
    int die5;

    // The standard streams' own buffers instead of C stdio's: every insertion
    // and extraction would otherwise go through a C call of its own. cin stays
    // tied to cout, so the question is still flushed before the answer is read.
    std::ios::sync_with_stdio(false);
    prepareConsole();

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    showWelcome();

    while (moreRolls == 'y') {
        clearConsole();
        std::cout << "A new turn has begun.\n";
        rollDice(die1, die2, die3, die4, die5);
        showDice(die1, die2, die3, die4, die5);
        std::cout << "\nAre there any dice-rolls remaining? (y/n): ";
        if (!(std::cin >> moreRolls)) {
            // No answer will ever come: end the run rather than play on
            // unasked, with the shell's prompt on a line of its own.
            std::cout << std::endl;
            return 0;
        }
    }
    return 0;
}
