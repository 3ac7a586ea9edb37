#include "console.h"
#include "dice.h"
#include "screens.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string_view>

namespace {

// Ends a run whose output cannot be written. A reader that has gone away
// ends it as it ends any filter, without a word (where SIGPIPE has not
// already done so); any other failure is told, since the output is lost.
int endOnWriteError() {
    const int error = errno;
    if (error != EPIPE) {
        std::cerr << "tolvane: write error: " << std::strerror(error) << '\n';
    }
    return 1;
}

constexpr std::string_view usage =
    "Usage: tolvane [--help | --version]\n"
    "Throws five six-sided dice a turn for Single Roll Tolvane, a dice game for\n"
    "players who share one console; its welcome screen shows the rules.\n"
    "\n"
    "Keys: any key at the welcome screen starts the first turn. At the end of a\n"
    "turn, y and Enter plays another; any other non-blank character and Enter\n"
    "ends the game.\n"
    "\n"
    "Exit status: 0 when the game ends on an answer or at the end of input,\n"
    "1 when its output cannot be written.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "More in the manual page, tolvane(6), or in README.txt beside tolvane.exe.\n";

// The first --help or --version among the arguments is answered instead of
// playing; any other argument is ignored, as it always was.
std::string_view helpOrVersionAsked(int argc, const char *const *argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i]; // NOLINT(*-pointer-arithmetic)
        if (argument == "--help" || argument == "--version") {
            return argument;
        }
    }
    return {};
}

int showHelpOrVersion(std::string_view option) {
    if (option == "--help") {
        std::cout << usage << std::flush;
    } else {
        std::cout << "tolvane " TOLVANE_VERSION << std::endl;
    }
    return std::cout ? 0 : endOnWriteError();
}

} // namespace

int main(int argc, char **argv) {
    if (const std::string_view option = helpOrVersionAsked(argc, argv); !option.empty()) {
        return showHelpOrVersion(option);
    }

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
            return endOnWriteError();
        }
        if (!(std::cin >> moreRolls)) {
            // No answer will ever come: end the run rather than play on
            // unasked, with the shell's prompt on a line of its own.
            std::cout << std::endl;
            return std::cout ? 0 : endOnWriteError();
        }
    }
    return 0;
}
