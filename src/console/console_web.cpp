#include "console.h"

#include <emscripten.h>

#include <iostream>
#include <streambuf>

// The console of a web page (web/console.js): the page shows what the game
// writes, clears itself, and hands over one key at the pause and the lines
// typed at its prompt. A page cannot block, so every wait is a promise that
// the game awaits through Asyncify: the game's own code reads std::cin and
// waits for the page as it waits for a terminal.

// The page's side of each call, in JavaScript.
EM_JS(void, clearPage, (), { Module.gameConsole.clear(); });
EM_ASYNC_JS(void, awaitPageKey, (), { await Module.gameConsole.key(); });
// The next byte of the lines sent from the page, or -1 once its input has
// ended (Ctrl-D on an empty line).
EM_ASYNC_JS(int, awaitPageByte, (), { return await Module.gameConsole.byte(); });

namespace {

constexpr const char *prompt = "Press any key to continue . . . ";

// Standard input, byte by byte from the page: one byte at a time, so that
// whatever the game has not read yet stays in the page's line queue.
class PageInput : public std::streambuf {
  protected:
    int_type underflow() override {
        const int byte = awaitPageByte();
        if (byte < 0) {
            return traits_type::eof();
        }
        current = traits_type::to_char_type(byte);
        setg(&current, &current, &current + 1);
        return byte;
    }

  private:
    char current = 0;
};

// std::cin reads from the page from the first time the game pauses, which
// is before it reads anything. The buffer lives as long as std::cin may use
// it, to the end of the run; a function-local static is the one place that
// lives so long without the heap or a global.
void readInputFromPage() {
    static PageInput input;
    if (std::cin.rdbuf() != &input) {
        std::cin.rdbuf(&input);
    }
}

} // namespace

void clearConsole() {
    if (std::cout.flush()) {
        clearPage();
    }
}

void waitForKey() {
    readInputFromPage();
    if (!(std::cout << prompt << std::flush)) {
        return;
    }
    awaitPageKey();
    std::cout << '\n';
}
