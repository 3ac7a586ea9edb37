#pragma once

// Throws all five dice: each die gets a fresh value from 1 to 6 from the
// standard generator, first die to fifth. What the dice held before is never
// read.
void rollDice(int &die1, int &die2, int &die3, int &die4, int &die5);
