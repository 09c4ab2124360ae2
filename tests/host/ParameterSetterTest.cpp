#include "ParameterSetter.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>

namespace sorel::host::test {
namespace {

// The echo plug-in names its parameters "Gain", "Transpose", "Twin", "Twin";
// only "Transpose" takes text, as a whole number from -48 to 48.
class ParameterSetterTest : public ::testing::Test {
protected:
    void SetUp() override {
        echoLog() = EchoPluginLog{};
        std::string error;
        plugin = HostedPlugin::load(echoPluginPath(), error);
        ASSERT_TRUE(plugin) << error;
    }
    std::unique_ptr<HostedPlugin> plugin;
};

TEST_F(ParameterSetterTest, FindsParametersByNameIndexOrAnyCase) {
    ParameterSetter setter(*plugin, plugin->namedParameterCount());
    std::string error;
    EXPECT_EQ(setter.findIndex("Transpose", error), 1);
    EXPECT_EQ(setter.findIndex("  gain ", error), 0);
    EXPECT_EQ(setter.findIndex("3", error), 3);
    EXPECT_FALSE(setter.findIndex("4", error));
    EXPECT_NE(error.find("out of range"), std::string::npos);
    EXPECT_FALSE(setter.findIndex("Volume", error));
    EXPECT_NE(error.find("unknown parameter name \"Volume\""), std::string::npos);
    EXPECT_FALSE(setter.findIndex("Twin", error));
    EXPECT_NE(error.find("ambiguous: indices 2, 3"), std::string::npos);
}

TEST_F(ParameterSetterTest, TextValuesGoThroughThePlugInsOwnParser) {
    ParameterSetter setter(*plugin, plugin->namedParameterCount());
    std::string shown;
    std::string error;
    ASSERT_TRUE(setter.apply(*ParameterAssignment::parse("Transpose=-7", false), shown, error)) << error;
    EXPECT_EQ(echoLog().transpose, -7);
    EXPECT_EQ(shown, "-7");
    EXPECT_FALSE(setter.apply(*ParameterAssignment::parse("Transpose=high", false), shown, error));
    EXPECT_NE(error.find("did not take \"high\""), std::string::npos);
    EXPECT_EQ(echoLog().transpose, -7);
}

TEST_F(ParameterSetterTest, NormalisedValuesGoThroughSetParameter) {
    ParameterSetter setter(*plugin, plugin->namedParameterCount());
    std::string shown;
    std::string error;
    ASSERT_TRUE(setter.apply(*ParameterAssignment::parse("Gain=0.25", true), shown, error)) << error;
    EXPECT_FLOAT_EQ(echoLog().gain, 0.25f);
    for (const char* bad : {"Gain=1.5", "Gain=-0.1", "Gain=loud", "Gain="}) {
        EXPECT_FALSE(setter.apply(*ParameterAssignment::parse(bad, true), shown, error)) << bad;
        EXPECT_FLOAT_EQ(echoLog().gain, 0.25f) << bad;
    }
}

TEST(ParameterAssignmentTest, SplitsAtTheLastEqualsSign) {
    const auto a = ParameterAssignment::parse("Rate T1 P1=9", false);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->name, "Rate T1 P1");
    EXPECT_EQ(a->value, "9");
    const auto b = ParameterAssignment::parse("a=b=c", false);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->name, "a=b");
    EXPECT_FALSE(ParameterAssignment::parse("no equals", false));
    EXPECT_FALSE(ParameterAssignment::parse("=5", false));
}

}  // namespace
}  // namespace sorel::host::test
