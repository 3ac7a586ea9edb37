#include "captured_output.h"
#include "screens.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShowWelcome, ShowsTheRulesThenPausesThenClears) {
    const std::string frame(64, '*');
    CapturedOutput output;
    showWelcome();
    EXPECT_EQ(output.written(),
              frame + "\n" +
                  "Welcome to Single Roll Tolvane!\n"
                  "\n"
                  "Players alternate turns by rolling the dice once. \n"
                  "If it is near the end of the game, and a roll results in not\n"
                  "being able to fill in any square, a square must be crossed out.\n"
                  "The player with the highest score wins!\n"
                  "Good luck...\n" +
                  frame + "\n\n[pause][clear]");
}

} // namespace
