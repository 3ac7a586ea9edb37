#include "screens.h"

#include "console.h"

#include <iostream>

void showWelcome() {
    std::cout << "****************************************************************" << std::endl;
    std::cout << "Welcome to Single Roll Tolvane!\n\n";
    std::cout << "Players alternate turns by rolling the dice once. " << std::endl;
    std::cout << "If it is near the end of the game, and a roll results in not" << std::endl;
    std::cout << "being able to fill in any square, a square must be crossed out." << std::endl;
    std::cout << "The player with the highest score wins!" << std::endl;
    std::cout << "Good luck..." << std::endl;
    std::cout << "****************************************************************\n\n";
    waitForKey();
    clearConsole();
}
