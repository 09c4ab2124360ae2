#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "persistence/StateChunk.h"

namespace sorel {
namespace {

TEST(StateChunk, ShortReadFailsAndPoisonsLaterReads) {
    StateChunk chunk;
    chunk.PutInt32(5);
    chunk.PutByte(1);
    double d = 42.0;
    int pos = chunk.GetDouble(d, 0);  // only 5 bytes
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(d, 42.0) << "a failed read leaves the destination alone";
    int32_t i = 99;
    EXPECT_EQ(chunk.GetInt32(i, pos), -1) << "a negative position fails even with data left";
    EXPECT_EQ(i, 99);
    EXPECT_EQ(chunk.GetInt32(i, 2), -1) << "reads past the end fail";
    EXPECT_EQ(chunk.GetInt32(i, 5), -1);
    EXPECT_EQ(chunk.GetInt32(i, 1 << 30), -1);
}

TEST(StateChunk, TextFieldsAreZeroPaddedAndCutToKeepTheirTerminator) {
    StateChunk chunk;
    chunk.PutText("abc", 6);
    chunk.PutText("abcdefgh", 6);
    ASSERT_EQ(chunk.Size(), 12u);
    EXPECT_EQ(chunk.Data()[3], 0);
    EXPECT_EQ(chunk.Data()[5], 0);
    EXPECT_EQ(chunk.Data()[6 + 4], 'e');
    EXPECT_EQ(chunk.Data()[6 + 5], 0);
    std::string first;
    std::string second;
    int pos = chunk.GetText(first, 6, 0);
    pos = chunk.GetText(second, 6, pos);
    EXPECT_EQ(pos, 12);
    EXPECT_EQ(first, "abc");
    EXPECT_EQ(second, "abcde");
}

TEST(StateChunk, TextWithoutTerminatorEndsAtTheFieldsLastByte) {
    const uint8_t raw[] = {'w', 'x', 'y', 'z', 'Q'};
    StateChunk chunk(raw);
    std::string text;
    EXPECT_EQ(chunk.GetText(text, 4, 0), 4);
    EXPECT_EQ(text, "wxy");
    EXPECT_EQ(chunk.GetText(text, 6, 0), -1);
    EXPECT_EQ(text, "wxy");
}

}  // namespace
}  // namespace sorel
