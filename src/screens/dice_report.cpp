#include "screens.h"

#include <iostream>

void showDice(const int &die1, const int &die2, const int &die3, const int &die4, const int &die5) {
    std::cout << "\nFirst die: " << die1 << "\nSecond die: " << die2 << "\nThird die: " << die3
              << "\nFourth die: " << die4 << "\nFifth die: " << die5 << std::endl;
}
