#include "console.h"
#include "dice.h"
#include "screens.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

namespace {

// Ends a run whose output cannot be written. A reader that has gone away
// ends it as it ends any filter, without a word (where SIGPIPE has not
// already done so); any other failure is told, since the output is lost.
int outputFailed() {
    const int error = errno;
    if (error != EPIPE) {
        std::cerr << "tolvane: write error: " << std::strerror(error) << '\n';
    }
    return 1;
}

} // namespace

int main() {
    char moreRolls = 'y';
    int die1;
    int die2;
    int die3;
    int die4;
    int die5;

    // The standard streams' own buffers instead of C stdio's: every insertion
    // and extraction would otherwise go through a C call of its own.
    std::ios::sync_with_stdio(false);

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    showWelcome();

    while (moreRolls == 'y') {
        clearConsole();
        std::cout << "A new turn has begun.\n";
        rollDice(die1, die2, die3, die4, die5);
        showDice(die1, die2, die3, die4, die5);
        // Flushed here, not by the read, so that output nobody can see ends
        // the run before it waits for more input.
        std::cout << "\nAre there any dice-rolls remaining? (y/n): " << std::flush;
        if (!std::cout) {
            return outputFailed();
        }
        if (!(std::cin >> moreRolls)) {
            // No answer will ever come: end the run rather than play on
            // unasked, with the shell's prompt on a line of its own.
            std::cout << std::endl;
            return std::cout ? 0 : outputFailed();
        }
    }
    return 0;
}
