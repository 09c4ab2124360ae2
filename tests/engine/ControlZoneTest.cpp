#include <gtest/gtest.h>

#include <set>

#include "engine/ControlZone.h"

namespace sorel {
namespace {

// --- Key assignment ----------------------------------------------------------

TEST(ControlZoneAssignment, KeywordsMatchExactly) {
    EXPECT_EQ(ControlZone::FunctionFromKeyword("pattern12"), 26);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("pattern16"), 30);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("holdbypass"), 13);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("panic"), 14);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("seq"), 9);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("shift"), 0);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("Hold"), 0);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("hold "), 0);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("pattern17"), 0);
    EXPECT_EQ(ControlZone::FunctionFromKeyword(""), 0);
    EXPECT_EQ(ControlZone::FunctionFromKeyword("n/a"), 0);

    // Every function with a keyword reads back from it.
    for (int number = 0; number <= ControlZone::kLastPattern; ++number) {
        const auto keyword = ControlZone::KeywordOf(number);
        if (keyword != "n/a") {
            EXPECT_EQ(ControlZone::FunctionFromKeyword(keyword), number);
        }
    }
    EXPECT_EQ(ControlZone::KeywordOf(8), "n/a");
    EXPECT_EQ(ControlZone::KeywordOf(31), "n/a");
    EXPECT_EQ(ControlZone::KeywordOf(-1), "n/a");
}

TEST(ControlZoneAssignment, BadKeysAndNumbersAreRefused) {
    ControlZone zone;
    zone.SetKeyFunction(20, ControlZone::kPanic);
    EXPECT_EQ(zone.KeyFunction(20), ControlZone::kPanic);
    zone.SetKeyFunction(20, 31);
    zone.SetKeyFunction(20, -2);
    EXPECT_EQ(zone.KeyFunction(20), ControlZone::kPanic);
    zone.SetKeyFunction(11, 5);
    zone.SetKeyFunction(36, 5);
    EXPECT_EQ(zone.KeyFunction(36), 0);

    ControlZone::Assignment parsed{};
    parsed.fill(ControlZone::kHold);
    parsed[3] = 26;
    parsed[4] = 999;
    parsed[5] = -1;
    zone.SetAssignment(parsed);
    EXPECT_EQ(zone.KeyFunction(15), 26);
    EXPECT_EQ(zone.KeyFunction(16), 0);
    EXPECT_EQ(zone.KeyFunction(17), 0);
    EXPECT_EQ(zone.KeyFunction(35), ControlZone::kHold);
}

// --- Which notes the zone takes ---------------------------------------------------

TEST(ControlZoneKeys, TheZoneCoversEverythingUpToItsTopKeyWhileEnabled) {
    ControlZone zone;
    EXPECT_TRUE(zone.Enabled());
    EXPECT_TRUE(zone.Covers(0));
    EXPECT_TRUE(zone.Covers(11));
    EXPECT_TRUE(zone.Covers(35));
    EXPECT_FALSE(zone.Covers(36));
    EXPECT_TRUE(zone.Handle(11, 1)) << "below the low key: swallowed";
    EXPECT_FALSE(zone.Handle(36, 1)) << "an ordinary note";

    zone.SetEnabled(false);
    for (int note = 0; note <= 35; ++note) {
        EXPECT_FALSE(zone.Covers(note));
        EXPECT_FALSE(zone.Handle(note, 1));
    }
}

TEST(ControlZoneKeys, SyncParameterCountsNextOrFourEightSixteenSteps) {
    ControlZone zone;
    EXPECT_EQ(zone.Sync(), 0);
    const std::pair<int, int> expected[] = {{0, 0}, {1, 4}, {2, 8}, {3, 16}, {7, 16}, {-3, 0}};
    for (auto [value, steps] : expected) {
        zone.SetSyncParameter(value);
        EXPECT_EQ(zone.Sync(), steps) << "value " << value;
    }
}

}  // namespace
}  // namespace sorel
