#include "console.h"

#include <cstdlib>
#include <iostream>

// The command interpreter has both effects built in; its own "pause" prompt
// and its handling of redirected input are what Windows users know.

void clearConsole() {
    if (std::cout.flush()) {
        std::system("cls");
    }
}

void waitForKey() {
    if (std::cout.flush()) {
        std::system("pause");
    }
}
