// The soak's own oracle and generators: the MIDI checker must catch every
// kind of bad output, the generators must really produce the hostile input
// they claim, and on the real module the comparison with a fresh instance
// must be able to fail.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ParameterIndex.h"
#include "persistence/TempDataHome.h"
#include "soak/HostileMidi.h"
#include "soak/HostileTransport.h"
#include "support/TestHost.h"
#include "soak/SoakRun.h"
#include "soak/StateStorm.h"

namespace sorel::soak {
namespace {

// --- the checker -------------------------------------------------------------

using test::MidiOutChecker;
using test::SentMidi;
using test::TestHost;

TEST(MidiOutChecker, FlagsEveryBadByteOffsetAndTiming) {
    const struct {
        int frames;  // -1: outside any block
        int offset;
        uint8_t status, data1, data2;
        uint64_t faults;
    } cases[] = {
        {64, 0, 0x90, 60, 100, 0}, {64, 63, 0x80, 60, 127, 0}, {64, 10, 0xEF, 127, 127, 0}, {0, 0, 0xB0, 123, 0, 0},
        {64, 0, 0x7F, 1, 1, 1},    {64, 0, 0xF8, 0, 0, 1},     {64, 0, 0x90, 128, 1, 1},    {64, 0, 0x90, 1, 200, 1},
        {64, -1, 0x90, 60, 1, 1},  {64, 64, 0x80, 60, 0, 1},   {0, 1, 0xB0, 123, 0, 1},     {-1, 0, 0x90, 60, 100, 1},
    };
    for (const auto& c : cases) {
        MidiOutChecker checker;
        if (c.frames >= 0) checker.BeginBlock(c.frames);
        checker.InspectMidi(c.offset, c.status, c.data1, c.data2);
        EXPECT_EQ(checker.FaultCount(), c.faults) << std::hex << int(c.status) << " " << int(c.data1) << " "
                                                  << int(c.data2) << std::dec << " at " << c.offset;
    }
    MidiOutChecker noisy;
    noisy.InspectSilence(false);
    EXPECT_EQ(noisy.FaultCount(), 1u);
}

// --- on the real module ------------------------------------------------------

class OnTheModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dataHome_ = std::make_unique<test::TempDataHome>();
        entry_ = test::LoadModuleEntry(test::ModulePathFromEnvironment(), error_);
    }
    static void TearDownTestSuite() { dataHome_.reset(); }
    void SetUp() override { ASSERT_NE(entry_, nullptr) << error_; }
    static std::unique_ptr<TestHost> Open() {
        auto host = std::make_unique<TestHost>(entry_);
        EXPECT_TRUE(host->CreateAndOpen());
        return host;
    }

    static inline std::unique_ptr<test::TempDataHome> dataHome_;
    static inline std::string error_;
    static inline VSTPluginMainProc entry_ = nullptr;
};

TEST_F(OnTheModule, TheComparisonSeesAChangedSetting) {
    const auto changed = Open(), fresh = Open();
    // One octave up through the host's text entry: the first area's notes move.
    ASSERT_TRUE(changed->SetParameterText(param::kTranspose, "12"));
    const auto a = PlayKnownPassage(*changed);
    const auto b = PlayKnownPassage(*fresh);
    ASSERT_GT(test::NoteOns(a).size(), 0u);
    EXPECT_NE(a, b);
}

}  // namespace
}  // namespace sorel::soak
