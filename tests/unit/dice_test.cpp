#include "dice.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>

namespace {

using Throw = std::array<int, 5>;

Throw throwFrom(Throw dice) {
    rollDice(dice[0], dice[1], dice[2], dice[3], dice[4]);
    return dice;
}

TEST(RollDice, FollowsTheGeneratorDrawByDraw) {
    constexpr unsigned seed = 20261208;
    std::srand(seed);
    std::array<int, 10> draws{};
    for (int &draw : draws) {
        draw = std::rand();
    }

    std::srand(seed);
    const Throw first = throwFrom({});
    const Throw second = throwFrom({});
    for (int die = 0; die < 5; ++die) {
        EXPECT_EQ(first[die], draws[die] % 6 + 1) << "die " << die + 1 << " of the first throw";
        EXPECT_EQ(second[die], draws[die + 5] % 6 + 1) << "die " << die + 1 << " of the second";
    }
}

TEST(RollDice, SameSeedGivesSameThrows) {
    std::srand(7);
    const Throw once = throwFrom({});
    std::srand(7);
    EXPECT_EQ(throwFrom({}), once);
}

TEST(RollDice, EveryDieShowsEachFaceAndNothingElse) {
    std::srand(1);
    std::array<std::array<int, 7>, 5> seen{};
    for (int round = 0; round < 2000; ++round) {
        const Throw dice = throwFrom({INT_MIN, -1, 0, 7, INT_MAX});
        for (int die = 0; die < 5; ++die) {
            ASSERT_GE(dice[die], 1) << "die " << die + 1;
            ASSERT_LE(dice[die], 6) << "die " << die + 1;
            ++seen[die][dice[die]];
        }
    }
    for (int die = 0; die < 5; ++die) {
        for (int face = 1; face <= 6; ++face) {
            EXPECT_GT(seen[die][face], 0) << "die " << die + 1 << " never showed " << face;
        }
    }
}

} // namespace
