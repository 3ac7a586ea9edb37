#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace {

[[gnu::noinline]] void throwFromAFrameOfItsOwn() { throw std::runtime_error("thrown"); }

// The C library calls this back, so the exception passes through its frames,
// whose unwind tables are the C library's, not the game's.
int throwFromACallback(const void * /*left*/, const void * /*right*/) {
    throw std::runtime_error("thrown");
}

} // namespace

// The tests are linked as the game is, with the C++ runtime's unwinder in
// them, which finds its tables through the game's own lookup.
TEST(LinkedRuntime, CatchesAnExceptionThrownInAnotherFrame) {
    EXPECT_THROW(throwFromAFrameOfItsOwn(), std::runtime_error);
    int values[] = {2, 1};
    EXPECT_THROW(std::qsort(values, 2, sizeof(int), throwFromACallback), std::runtime_error);
}
