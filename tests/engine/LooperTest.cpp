// Loops over step indices in their four directions.
#include <gtest/gtest.h>

#include "engine/Looper.h"

namespace sorel {
namespace {

std::vector<int> Walk(int direction, int start, int end, int count, int limit = 32) {
    Looper l(32);
    l.SetLoop(start, end);
    l.SetLimit(limit);
    l.SetDirection(direction);
    l.Reset();
    std::vector<int> r{l.Position()};
    for (int i = 1; i < count; ++i) {
        l.Advance();
        r.push_back(l.Position());
    }
    return r;
}

TEST(Looper, DirectionsOverAFourStepLoop) {
    EXPECT_EQ(Walk(loop::kUp, 0, 4, 9), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0}));
    EXPECT_EQ(Walk(loop::kDown, 0, 4, 9), (std::vector<int>{3, 2, 1, 0, 3, 2, 1, 0, 3}));
    EXPECT_EQ(Walk(loop::kUpAlt, 0, 4, 9), (std::vector<int>{0, 1, 2, 3, 2, 1, 0, 1, 2}));
    EXPECT_EQ(Walk(loop::kDownAlt, 0, 4, 9), (std::vector<int>{3, 2, 1, 0, 1, 2, 3, 2, 1}));
    EXPECT_EQ(Walk(loop::kUp, 5, 8, 5), (std::vector<int>{5, 6, 7, 5, 6}));
}

TEST(Looper, OneStepLoopStaysAndPeekDoesNotMove) {
    EXPECT_EQ(Walk(loop::kUpAlt, 6, 7, 4), (std::vector<int>{6, 6, 6, 6}));
    Looper l(32);
    l.SetLoop(0, 3);
    EXPECT_EQ(l.PeekNext(), 1);
    EXPECT_EQ(l.Position(), 0);
    l.Advance();
    l.Advance();
    EXPECT_TRUE(l.WrapsNext());
    EXPECT_TRUE(l.Advance());
    EXPECT_EQ(l.Position(), 0);
}

TEST(Looper, LimitWrapsLoopsThatReachPastThePattern) {
    EXPECT_EQ(Walk(loop::kUp, 0, 32, 8, 3), (std::vector<int>{0, 1, 2, 0, 1, 2, 0, 1}));
    EXPECT_EQ(Walk(loop::kUp, 10, 20, 3, 4), (std::vector<int>{3, 3, 3}));  // the loop starts past the end
}

TEST(Looper, BadBoundsAreKeptInside) {
    Looper l(32);
    l.SetLoop(40, -3);
    EXPECT_GE(l.LoopStart(), 0);
    EXPECT_LE(l.LoopEnd(), 32);
    EXPECT_LT(l.LoopStart(), l.LoopEnd());
    l.SetDirection(99);
    l.Reset();
    for (int i = 0; i < 10; ++i) {
        l.Advance();
        EXPECT_GE(l.Position(), l.LoopStart());
        EXPECT_LT(l.Position(), l.LoopEnd());
    }
}

}  // namespace
}  // namespace sorel
