#pragma once

// Writes the five labelled dice of a throw and flushes, so the whole report
// is on screen before the question that follows it.
void showDice(const int &die1, const int &die2, const int &die3, const int &die4, const int &die5);

// Shows the game's name and rules, waits for a key press and clears the
// console.
void showWelcome();
