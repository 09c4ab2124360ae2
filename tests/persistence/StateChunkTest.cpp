#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "persistence/StateChunk.h"

namespace sorel {
namespace {

TEST(StateChunk, NumbersAreStoredLittleEndian) {
    StateChunk chunk;
    chunk.PutInt32(0x01020304);
    chunk.PutDouble(1.0);  // 0x3FF0000000000000
    ASSERT_EQ(chunk.Size(), 12u);
    EXPECT_EQ(chunk.Data()[0], 0x04);
    EXPECT_EQ(chunk.Data()[3], 0x01);
    EXPECT_EQ(chunk.Data()[4 + 6], 0xF0);
    EXPECT_EQ(chunk.Data()[4 + 7], 0x3F);
}

TEST(StateChunk, ValuesReadBackAtTheirPositions) {
    StateChunk chunk;
    chunk.PutInt32(-7);
    chunk.PutDouble(-0.125);
    chunk.PutByte(200);
    chunk.PutDouble(std::numeric_limits<double>::infinity());
    int32_t i = 0;
    double d = 0.0;
    uint8_t b = 0;
    double inf = 0.0;
    int pos = chunk.GetInt32(i, 0);
    pos = chunk.GetDouble(d, pos);
    pos = chunk.GetByte(b, pos);
    pos = chunk.GetDouble(inf, pos);
    EXPECT_EQ(pos, 21);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(d, -0.125);
    EXPECT_EQ(b, 200);
    EXPECT_TRUE(std::isinf(inf));
}

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

TEST(StateChunk, GrowsInWholeSteps) {
    StateChunk chunk;
    chunk.PutByte(1);
    EXPECT_EQ(chunk.Bytes().capacity() % StateChunk::kGrowthStep, 0u);
    std::vector<uint8_t> block(StateChunk::kGrowthStep + 10, 7);
    chunk.PutBytes(block.data(), block.size());
    EXPECT_EQ(chunk.Size(), block.size() + 1);
    EXPECT_EQ(chunk.Bytes().capacity() % StateChunk::kGrowthStep, 0u);
    EXPECT_EQ(chunk.BytesLeft(1), block.size());
    EXPECT_EQ(chunk.BytesLeft(-1), 0u);
}

}  // namespace
}  // namespace sorel
