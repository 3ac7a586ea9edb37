#include "console.h"

#include <iostream>

// Marks each console action in standard output itself, so a test sees where
// it came among the texts.
void clearConsole() { std::cout << "[clear]"; }
void waitForKey() { std::cout << "[pause]"; }
