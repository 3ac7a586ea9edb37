#include <gtest/gtest.h>

#include <stdexcept>

namespace {

[[gnu::noinline]] void throwFromAFrameOfItsOwn() { throw std::runtime_error("thrown"); }

} // namespace

// The tests are linked as the game is, with the C++ runtime's unwinder in
// them, which finds its tables through the game's own lookup.
TEST(LinkedRuntime, CatchesAnExceptionThrownInAnotherFrame) {
    EXPECT_THROW(throwFromAFrameOfItsOwn(), std::runtime_error);
}
