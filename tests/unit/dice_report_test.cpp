#include "captured_output.h"
#include "screens.h"

#include <gtest/gtest.h>

namespace {

TEST(ShowDice, WritesFiveLabelledLinesAndFlushesThem) {
    CapturedOutput output;
    showDice(3, 1, 6, 2, 5);
    EXPECT_EQ(output.flushed(), "\nFirst die: 3\nSecond die: 1\nThird die: 6"
                                "\nFourth die: 2\nFifth die: 5\n");
    EXPECT_EQ(output.written(), output.flushed()) << "part of the report is still buffered";
}

TEST(ShowDice, EqualValuesKeepTheirOwnLines) {
    CapturedOutput output;
    showDice(4, 4, 4, 4, 4);
    EXPECT_EQ(output.written(), "\nFirst die: 4\nSecond die: 4\nThird die: 4"
                                "\nFourth die: 4\nFifth die: 4\n");
}

} // namespace
