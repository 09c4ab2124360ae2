#include <gtest/gtest.h>

#include "engine/ControlZone.h"

namespace sorel {
namespace {

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

}  // namespace
}  // namespace sorel
