// Recipes as their writers use them: settings land on the named parameters,
// lane lines on the right lane, and every mistake is reported with its file
// and line instead of being built into a preset.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "FactoryFixture.h"
#include "PresetBuilder.h"
#include "engine/ParameterIndex.h"
#include "frame/Vardo.h"
#include "persistence/VardoStateTarget.h"

namespace sorel::factory::test {
namespace {

using namespace sorel::param;

constexpr const char* kInfo =
    "name = Test\nauthor = Vardo\ndescription = A test preset.\nusage = Run the tests.\n";

struct Built {
    std::unique_ptr<PresetBuilder> builder;
    PluginState state;
    double Value(int index) const { return state.parameters.at(static_cast<size_t>(index)); }
};

Built Build(const std::string& body) {
    Built built{std::make_unique<PresetBuilder>(), {}};
    built.builder->ApplyPreset(Recipe::Parse(std::string(kInfo) + body, "test.recipe"));
    built.state = built.builder->CapturePreset();
    return built;
}

// The line and message of the error that building `body` raises.
std::pair<int, std::string> ErrorOf(const std::string& body) {
    try {
        Build(body);
    } catch (const RecipeError& error) {
        return {error.Line(), error.what()};
    }
    return {-1, "no error"};
}

constexpr int kBodyLine = 5;  // the first line after the four box info lines

TEST(RecipeTest, ParametersAreSetByTheirNames) {
    const Built b = Build(
        "Rate T2 P3 = 1/8T\n"
        "Sort order T1 P1 = Reversed alt\n"
        "Swing T1 P4 = 0.25\n"
        "Octaves T3 P12 = 4\n"
        "Step gate 1/1/3 = -40\n"
        "Pattern steps T1 P1 = 16\n"
        "Scene step repeat T2 S5 = 3\n"
        "Scale key = F#\n");
    EXPECT_EQ(b.Value(kRate + PatternIndex(1, 2)), 11);         // the eleventh entry of the rate table
    EXPECT_EQ(b.Value(kSortOrder + PatternIndex(0, 0)), 7);
    EXPECT_DOUBLE_EQ(b.Value(kSwing + PatternIndex(0, 3)), 0.25);
    EXPECT_EQ(b.Value(kOctaves + PatternIndex(2, 11)), 4);
    EXPECT_EQ(b.Value(PerStep(kStepGate, 0, 0, 2)), -40);
    EXPECT_EQ(b.Value(PerStep(kStepGate, 0, 0, 1)), 0);         // its neighbour untouched
    EXPECT_EQ(b.Value(kPatternSteps + PatternIndex(0, 0)), 15); // the text "16" is value 15
    EXPECT_EQ(b.Value(kSceneStepRepeat + 16 + 4), 2);           // three passes
    EXPECT_EQ(b.Value(kScaleKey), 6);
    EXPECT_EQ(b.state.boxInfo.name, "Test");
    EXPECT_EQ(b.state.boxInfo.usage, "Run the tests.");
}

TEST(RecipeTest, LaneLinesAddressTheirLaneOnly) {
    const Built b = Build(
        "steps T2 P4 ACCENT = 10, -20, 30*3\n"
        "steps T1 P2 CC3 = 5, 6\n"
        "steps T1 P1 CHRDMEM = Chord memory 2\n"
        "switches T1 P1 ORDER = on, off\n"
        "switches T1 P1 GATE = off*2\n"
        "direction T1 P1 SHIFT = Down Alt\n"
        "reset T4 P1 CC8 = on\n"
        "loop T1 P5 DIV = 3 7\n"
        "lane T1 P5 LENGTH = off\n");
    const int accent[] = {10, -20, 30, 30, 30, 0};
    for (int step = 0; step < 6; ++step) EXPECT_EQ(b.Value(PerStep(kStepAccent, 1, 3, step)), accent[step]) << step;
    EXPECT_EQ(b.Value(CcLaneValue(0, 1, 11, 0)), 5);
    EXPECT_EQ(b.Value(CcLaneValue(0, 1, 11, 1)), 6);
    EXPECT_EQ(b.Value(CcLaneValue(0, 1, 10, 0)), 0);  // CC2 shares the names but not the values
    EXPECT_EQ(b.Value(PerStep(kStepSource, 0, 0, 0)), 2);
    // The ORDER lane's switch lives in two families; both say off.
    EXPECT_EQ(b.Value(PerStep(kStepOnOff, 0, 0, 1)), 0);
    EXPECT_EQ(b.Value(LaneSwitch(0, 0, 0, 1)), 0);
    EXPECT_EQ(b.Value(LaneSwitch(0, 0, 0, 0)), 1);
    EXPECT_EQ(b.Value(LaneSwitch(0, 0, 3, 0)), 0);
    EXPECT_EQ(b.Value(LaneSwitch(0, 0, 3, 2)), 1);
    EXPECT_EQ(b.Value(PerStep(kStepOnOff, 0, 0, 2)), 1);
    EXPECT_EQ(b.Value(PerPatternLane(kDirection, 0, 0, 7)), 3);
    EXPECT_EQ(b.Value(PerPatternLane(kDirection, 0, 0, 6)), 0);
    EXPECT_EQ(b.Value(PerPatternLane(kResetLaneOnPatternReset, 3, 0, 16)), 1);
    const LaneLoop div = b.state.laneLoops[LaneLoopIndex(0, 4, 6)];
    EXPECT_EQ(div.start, 2);
    EXPECT_EQ(div.end, 7);
    EXPECT_TRUE(div.enabled);
    EXPECT_FALSE(b.state.laneLoops[LaneLoopIndex(0, 4, 2)].enabled);
    EXPECT_EQ(b.state.laneLoops[LaneLoopIndex(0, 4, 2)].end, kSteps);
}

TEST(RecipeTest, ChordsAndControllerNumbersLiveBesideTheTable) {
    const Built b = Build(
        "chord 3 = 12, 15, 19\n"
        "chord 3 base = 14\n"
        "chord 16 = 0 7 35\n"
        "cc T2 8 = 11\n"
        "cc T1 1 = none\n");
    EXPECT_EQ(b.state.chords.slots[2].notes, (std::vector<int32_t>{12, 15, 19}));
    EXPECT_EQ(b.state.chords.slots[2].baseNote, 14);
    EXPECT_EQ(b.state.chords.slots[15].notes, (std::vector<int32_t>{0, 7, 35}));
    EXPECT_TRUE(b.state.chords.slots[0].notes.empty());
    EXPECT_EQ(b.state.stepCcNumbers[1 * 8 + 7], 11);
    EXPECT_EQ(b.state.stepCcNumbers[0], kNoController);
}

TEST(RecipeTest, MistakesNameTheirLine) {
    const struct {
        const char* body;
        int line;
        const char* says;
    } cases[] = {
        {"Rate T1 P1 = 1/16\nRate T1 P13 = 1/16\n", kBodyLine + 1, "unknown parameter \"Rate T1 P13\""},
        {"Octaves T1 P1 = 6\n", kBodyLine, "outside the range 1..5"},
        {"Octaves T1 P1 = 2.5\n", kBodyLine, "steps of 1"},
        {"Sort order T1 P1 = Sideways\n", kBodyLine, "is no value of \"Sort order T1 P1\""},
        {"Rate T1 P1 = 1/5\n", kBodyLine, "note value"},
        {"\n# comment\nGate T1 P1 -20\n", kBodyLine + 2, "expected \"key = value\""},
        {"Gate T1 P1 =\n", kBodyLine, "is missing"},
        {"Direction T1 P1 = Up\n", kBodyLine, "names 17 parameters"},
        {"Panic tool = 1\n", kBodyLine, "no preset setting"},
        {"Lock gate = 1\n", kBodyLine, "no preset setting"},
        {"steps T5 P1 GATE = 1\n", kBodyLine, "expected \"steps T<1-4> P<1-12> <lane>\""},
        {"steps T1 P1 PITCH = 1\n", kBodyLine, "expected \"steps"},
        {"steps T1 P1 GATE = 0*33\n", kBodyLine, "repeat count"},
        {"steps T1 P1 GATE = 0*30, 1, 2, 3\n", kBodyLine, "33 values"},
        {"steps T1 P1 DIV = 0, 8\n", kBodyLine, "outside the range 0..7"},
        {"switches T1 P1 GATE = on, maybe\n", kBodyLine, "neither on nor off"},
        {"loop T1 P1 GATE = 5 4\n", kBodyLine, "a loop is"},
        {"loop T1 P1 GATE = 0 4\n", kBodyLine, "a loop is"},
        {"chord 17 = 12\n", kBodyLine, "expected \"chord <1-16>\""},
        {"chord 1 = 12, 36\n", kBodyLine, "\"36\" is no chord note"},
        {"chord 1 = 12, 12\n", kBodyLine, "appears twice"},
        {"chord 1 = 0 1 2 3 4 5 6 7 8\n", kBodyLine, "at most 8"},
        {"cc T1 9 = 74\n", kBodyLine, "expected \"cc T<1-4>"},
        {"cc T1 1 = 128\n", kBodyLine, "no controller number"},
        {"name = A name far longer than the thirty-two characters\n", kBodyLine, "at most 32 fit"},
    };
    for (const auto& c : cases) {
        const auto [line, message] = ErrorOf(c.body);
        EXPECT_EQ(line, c.line) << c.body << " -> " << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << c.body << " -> " << message;
        EXPECT_EQ(message.rfind("test.recipe:" + std::to_string(c.line) + ": ", 0), 0u) << message;
    }
}

TEST(RecipeTest, EveryBoxInfoTextIsRequired) {
    for (const char* key : {"name", "author", "description", "usage"}) {
        std::string text = kInfo;
        const size_t at = text.find(std::string(key) + " = ");
        text.erase(at, text.find('\n', at) + 1 - at);
        PresetBuilder builder;
        try {
            builder.ApplyPreset(Recipe::Parse(text, "x.recipe"));
            ADD_FAILURE() << key << " was not asked for";
        } catch (const RecipeError& error) {
            EXPECT_NE(std::string(error.what()).find(std::string("\"") + key + "\" is missing"), std::string::npos) << error.what();
        }
    }
}

TEST(RecipeTest, BanksHoldChordsOnly) {
    PresetBuilder builder;
    builder.ApplyBank(Recipe::Parse("# a bank\nchord 1 = 12, 16, 19\nchord 2 = 0, 12\n", "bank.recipe"));
    const ChordBankData bank = builder.ChordMemory();
    EXPECT_EQ(bank.slots[0].notes, (std::vector<int32_t>{12, 16, 19}));
    EXPECT_EQ(bank.slots[1].notes, (std::vector<int32_t>{0, 12}));
    PresetBuilder other;
    try {
        other.ApplyBank(Recipe::Parse("chord 1 = 12\nRate T1 P1 = 1/8\n", "bank.recipe"));
        ADD_FAILURE() << "a parameter was taken in a bank";
    } catch (const RecipeError& error) {
        EXPECT_EQ(error.Line(), 2);
    }
}

// The tool as the install script runs it: a faulty recipe stops it with the
// place of the mistake, a non-zero exit and nothing written.
TEST(RecipeTest, TheToolStopsAtAFaultyRecipeAndWritesNothing) {
    TempFolder recipes;
    TempFolder data;
    fs::create_directories(recipes.Path() / "presets" / "2 lead");
    std::ofstream(recipes.Path() / "presets" / "2 lead" / "Good.recipe") << kInfo;
    std::ofstream(recipes.Path() / "presets" / "2 lead" / "Typo.recipe") << kInfo << "Rate T1 P1 = 1/16\nSwnig T1 P1 = 0.2\n";
    const std::string command = "XDG_DATA_HOME='" + data.Path().string() + "' '" SOREL_FACTORY_TOOL "' --recipes '" +
                                recipes.Path().string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = pclose(pipe);
    EXPECT_NE(status, 0);
    EXPECT_NE(output.find("Typo.recipe:6: unknown parameter \"Swnig T1 P1\""), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(data.SorelFolder() / "presets" / "Factory" / "2 lead" / "Good.v2z"));
}

}  // namespace
}  // namespace sorel::factory::test
