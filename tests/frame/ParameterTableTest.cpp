// The parameter table as the engine, the editor and the state see it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/ChordShapeList.h"
#include "engine/ParameterIndex.h"
#include "frame/HostIdentity.h"
#include "frame/ParameterTable.h"

namespace sorel {
namespace {

using namespace param;

class ParameterTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        table = std::make_unique<ParameterTable>(ParameterLayout::Shared(kHostUnknown, ChordShapeList{}));
    }
    static void TearDownTestSuite() { table.reset(); }
    static const Parameter& P(int index) { return *table->Get(index); }
    static std::unique_ptr<ParameterTable> table;
};
std::unique_ptr<ParameterTable> ParameterTableTest::table;

TEST_F(ParameterTableTest, IndicesOutsideTheTableYieldNoParameter) {
    EXPECT_EQ(table->Get(-1), nullptr);
    EXPECT_EQ(table->Get(56738), nullptr);
    EXPECT_NE(table->Get(56737), nullptr);
    EXPECT_NE(table->Get(0), nullptr);
    EXPECT_EQ(ParameterTable::Size(), 56738);
    EXPECT_EQ(table->Value(100000), 0.0);
}

TEST_F(ParameterTableTest, ChangesFromIndex17080OnAreNeverReportedToTheHost) {
    EXPECT_FALSE(P(0).NoHostReport());
    EXPECT_FALSE(P(17079).NoHostReport());
    EXPECT_TRUE(P(17080).NoHostReport());
    EXPECT_TRUE(P(kDrawTool).NoHostReport());
    EXPECT_TRUE(P(56737).NoHostReport());
}

TEST_F(ParameterTableTest, GlobalAndPerAreaParametersHaveTheirNamesRangesAndDefaults) {
    EXPECT_EQ(P(kGlobalVolume).Name(), "Global volume");
    EXPECT_EQ(P(kGlobalVolume).Kind(), ParamKind::Double);
    EXPECT_EQ(P(kGlobalVolume).Value(), 64.0);
    EXPECT_EQ(P(kGlobalVolume).Maximum(), 127.0);
    EXPECT_EQ(P(kHold + 2).Name(), "Hold T3");
    EXPECT_EQ(P(kKeyAreaOnOff + 0).Default(), 1.0);
    EXPECT_EQ(P(kKeyAreaOnOff + 1).Default(), 0.0);
    EXPECT_EQ(P(kVelocityMode + 3).Default(), 1.0);
    EXPECT_EQ(P(kVelocityMode + 3).DisplayText(), "Note");
    EXPECT_EQ(P(kArpOnNoteCount).DisplayText(3), "4");
    EXPECT_EQ(P(kSceneEnd + 1).Default(), 15.0);
    EXPECT_EQ(P(kSceneEnd + 1).Maximum(), 16.0);
    const double starts[] = {24, 48, 60, 72}, ends[] = {46, 58, 70, 94};
    for (int a = 0; a < 4; ++a) {
        EXPECT_EQ(P(kKeyAreaStartNote + a).Default(), starts[a]) << a;
        EXPECT_EQ(P(kKeyAreaBaseNote + a).Default(), starts[a]) << a;
        EXPECT_EQ(P(kKeyAreaEndNote + a).Default(), ends[a]) << a;
        EXPECT_EQ(P(kKeyAreaEndNote + a).Maximum(), 119.0) << a;
    }
    EXPECT_EQ(P(kHoldSync).DisplayText(0), "Next");
    EXPECT_EQ(P(kHoldSync).DisplayText(5), "6");
}

TEST_F(ParameterTableTest, PerPatternNamesCarryAreaAndPattern) {
    const int p = PatternIndex(2, 7);
    EXPECT_EQ(P(kGate + p).Name(), "Gate T3 P8");
    EXPECT_EQ(P(kGate + p).Default(), -10.0);
    EXPECT_EQ(P(kRate + p).Default(), 12.0);
    EXPECT_EQ(P(kRate + p).Maximum(), 22.0);
    EXPECT_EQ(P(kSortOrder + p).DisplayText(6), "As played alt");
    EXPECT_EQ(P(kPatternSteps + p).Default(), 31.0);
    EXPECT_EQ(P(kPatternSteps + p).DisplayText(), "32");
    EXPECT_EQ(P(kDirection + p * kLanes + 16).DisplayText(3), "Down Alt");
    EXPECT_EQ(P(kRateFreeMode + p).DisplayPrecision(), 1);
    EXPECT_EQ(P(kSwing + p).DisplayPrecision(), 2);
}

TEST_F(ParameterTableTest, StepFamiliesCoverEveryPatternAndStep) {
    EXPECT_EQ(P(PerStep(kStepLength, 0, 0, 0)).Name(), "Step length 1/1/1");
    EXPECT_EQ(P(PerStep(kStepLength, 3, 11, 31)).Name(), "Step length 4/12/32");
    EXPECT_EQ(P(PerStep(kStepLength, 3, 11, 31)).Minimum(), 1.0);
    EXPECT_EQ(P(PerStep(kStepTranspose, 1, 2, 3)).Minimum(), -24.0);
    EXPECT_EQ(P(PerStep(kStepNoteList, 1, 2, 3)).DisplayText(7), "Random");
    EXPECT_EQ(P(PerStep(kStepSource, 0, 0, 5)).DisplayText(15), "Chord memory 15");
    EXPECT_EQ(P(PerStep(kStepOnOff, 0, 0, 4)).Name(), "Step on/off 5");
    EXPECT_EQ(P(PerStep(kStepOnOff, 0, 0, 4)).Default(), 1.0);
    // The last step family ends right before the chord memory selection.
    EXPECT_EQ(PerStep(kStepSource, 3, 11, 31) + 1, kChordMemorySelection);
}

TEST_F(ParameterTableTest, LaneSwitchFamiliesDoNotOverlap) {
    EXPECT_EQ(LaneSwitch(0, 0, 0, 0), 30613);
    EXPECT_EQ(LaneSwitch(0, 0, 9, 0), 44437);
    EXPECT_NE(LaneSwitch(0, 0, 9, 0), LaneSwitch(0, 1, 0, 0));
    EXPECT_EQ(LaneSwitch(3, 11, 16, 31), 56724);
    for (int index = 30613; index <= 56724; ++index) {
        // The note lanes' switches default to on (1); the controller lanes' say "off" and default to 0.
        EXPECT_EQ(P(index).Default(), index < 44437 ? 1.0 : 0.0) << index;
        EXPECT_EQ(P(index).Kind(), ParamKind::Integer) << index;
    }
    EXPECT_EQ(P(LaneSwitch(1, 3, 12, 7)).Name(), "Step on/off 8");
}

TEST_F(ParameterTableTest, ControllerLaneValuesAndTheControllerMap) {
    EXPECT_EQ(CcLaneValue(0, 0, 9, 0), 18173);
    EXPECT_EQ(CcLaneValue(3, 11, 16, 31), 30460);
    EXPECT_EQ(P(18173).Name(), "Step CC  1/1/1");
    EXPECT_EQ(P(30460).Maximum(), 127.0);
    for (int c = 0; c < 128; ++c) {
        EXPECT_EQ(P(kControllerMap + c).Value(), -1.0) << c;
        EXPECT_EQ(P(kControllerMap + c).Maximum(), 100000.0) << c;
    }
    EXPECT_EQ(P(kCcTeachSelection).DisplayText(0), "-----");
    EXPECT_EQ(P(kCcTeachSelection).DisplayText(1), "0");
    EXPECT_EQ(P(kCcTeachSelection).DisplayText(128), "127");
}

TEST_F(ParameterTableTest, ScaleAndMenus) {
    EXPECT_EQ(P(kScale).Maximum(), 40.0);
    EXPECT_EQ(P(kScale).DisplayText(0), "Off");
    EXPECT_EQ(P(kScale).DisplayText(1), "Major");
    EXPECT_EQ(P(kScale).DisplayText(24), "Neopolitan Minor");
    EXPECT_EQ(P(kScale).DisplayText(40), "Dominant 7th");
    EXPECT_EQ(P(kScaleKey).Name(), "Scale key ");
    EXPECT_EQ(P(kScaleKey).DisplayText(10), "A#");
    EXPECT_EQ(P(kPatternStepMode).DisplayText(8), "SEQ");
    EXPECT_EQ(P(kResetStepsMenu).DisplayText(3), "Copy to all");
    // An enumeration of no values still spans 0..1.
    EXPECT_EQ(P(kMidiOutput).Maximum(), 1.0);
    EXPECT_EQ(P(kDrawTool).Default(), 1.0);
    EXPECT_TRUE(table->KeepOnPresetLoad(kLockRate));
    EXPECT_FALSE(table->KeepOnPresetLoad(kRate));
}

TEST(ParameterChordShapes, TheApplyChordChoiceOffersEveryShapeByName) {
    ParameterLayout layout;
    DefineSorelParameters(layout, kHostUnknown);
    const ParameterInfo& choice = *layout.Get(kChordMemoryApplyChordSelection);
    const std::string name = choice.Name();
    ChordShapeList shapes;
    DefineChordShapeChoices(layout, shapes);  // no chord table: the empty entry stays
    EXPECT_EQ(choice.Maximum(), 1.0);
    EXPECT_FALSE(choice.HasDisplayTexts());

    ASSERT_EQ(shapes.Load("Major, 0, 12, 16, 19\nSus 4, 12, 17, 19\nbroken line\nMinor, 12, 15, 19\n"), 3);
    DefineChordShapeChoices(layout, shapes);
    EXPECT_EQ(choice.Name(), name);
    EXPECT_EQ(choice.Kind(), ParamKind::Enumeration);
    EXPECT_EQ(choice.Maximum(), 2.0);
    EXPECT_EQ(choice.DisplayText(0), "Major");
    EXPECT_EQ(choice.DisplayText(1), "Sus 4");
    EXPECT_EQ(choice.DisplayText(2), "Minor");
}

TEST_F(ParameterTableTest, UnusedSlotsKeepDefaultContents) {
    for (int index : {2, 3, 4, 2869, 3252, 17081, 17108, 18155, 30464, 30467}) {
        EXPECT_EQ(P(index).Kind(), ParamKind::None) << index;
        EXPECT_EQ(P(index).Minimum(), 0.0) << index;
        EXPECT_EQ(P(index).Maximum(), 1.0) << index;
        EXPECT_TRUE(P(index).Name().empty()) << index;
    }
}

TEST(ParameterNoteNames, OctaveNumberingFollowsTheHost) {
    ParameterLayout plain, cubase;
    DefineSorelParameters(plain, kHostUnknown);
    DefineSorelParameters(cubase, kHostCubase);
    EXPECT_EQ(plain.Get(kKeyAreaStartNote)->DisplayText(24), "C 2");
    EXPECT_EQ(cubase.Get(kKeyAreaStartNote)->DisplayText(24), "C 1");
    // The end note shows the note above its value.
    EXPECT_EQ(plain.Get(kKeyAreaEndNote)->DisplayText(46), "B 3");
    EXPECT_EQ(plain.Get(kKeyAreaBaseNote + 2)->DisplayText(61), "C# 5");
}

// What a slot is, is built once per process and host numbering; values and
// flags belong to each instance.
TEST(ParameterLayoutSharing, InstancesShareDescriptionsAndKeepTheirOwnValues) {
    const ChordShapeList shapes;
    ParameterTable first(ParameterLayout::Shared(kHostUnknown, shapes));
    ParameterTable second(ParameterLayout::Shared(kHostUnknown, shapes));
    EXPECT_EQ(&first.Layout(), &second.Layout());
    EXPECT_EQ(&first.Get(kGate)->Info(), &second.Get(kGate)->Info());
    EXPECT_NE(ParameterLayout::Shared(kHostCubase, shapes).get(), &first.Layout()) << "octaves are numbered apart";
    first.Get(kGate)->SetValue(40);
    first.SetKeepOnPresetLoad(kGate, true);
    first.SetKeepOnPresetLoad(kLockGate, false);
    EXPECT_EQ(second.Value(kGate), -10.0);
    EXPECT_FALSE(second.KeepOnPresetLoad(kGate));
    EXPECT_TRUE(second.KeepOnPresetLoad(kLockGate));
    EXPECT_FALSE(ParameterTable().Get(0)) << "no slot before a layout is given";
}

TEST(ParameterValues, NormalisedValuesRoundForEveryKindButDouble) {
    ParameterInfo transposeInfo;
    transposeInfo.InitInteger("Step transpose", 0, -24, 24);
    Parameter transpose;
    transpose.Describe(transposeInfo);
    transpose.SetNormalized(0.51);
    EXPECT_EQ(transpose.Value(), 0.0);
    transpose.SetNormalized(0.99);
    EXPECT_EQ(transpose.Value(), 24.0);  // 23.52 rounds to 24
    ParameterInfo swingInfo;
    swingInfo.InitDouble("Swing", 0, 0, 1, 0.01);
    Parameter swing;
    swing.Describe(swingInfo);
    swing.SetNormalized(0.125);
    EXPECT_DOUBLE_EQ(swing.Value(), 0.125);
    EXPECT_EQ(swing.DisplayText(0.3), "0.30");
}

TEST(ParameterValues, HostileValuesStayInRange) {
    ParameterInfo pInfo;
    pInfo.InitDouble("Gate", -10, -100, 100, 1);
    Parameter p;
    p.Describe(pInfo);
    p.SetNormalized(7.0);
    EXPECT_EQ(p.Value(), 100.0);
    p.SetNormalized(-3.0);
    EXPECT_EQ(p.Value(), -100.0);
    p.SetNormalized(std::nan(""));
    EXPECT_EQ(p.Value(), -100.0);
    p.SetValue(1e300);
    EXPECT_EQ(p.Value(), 100.0);
    EXPECT_DOUBLE_EQ(p.ToNormalized(0.0), 0.5);
    EXPECT_EQ(p.ToNormalized(500.0), 1.0);
}

TEST(ParameterValues, RangeIsAtLeastOneStepWide) {
    ParameterInfo pInfo;
    pInfo.InitDouble("flat", 3, 3, 3, 2);
    Parameter p;
    p.Describe(pInfo);
    EXPECT_EQ(p.Maximum(), 5.0);
    ParameterInfo zeroStepInfo;
    zeroStepInfo.InitDouble("Volume", 0, -1, 1, 0);
    Parameter zeroStep;
    zeroStep.Describe(zeroStepInfo);
    EXPECT_EQ(zeroStep.Maximum(), 1.0);
    zeroStep.SetNormalized(0.25);
    EXPECT_DOUBLE_EQ(zeroStep.Value(), -0.5);
    EXPECT_EQ(zeroStep.DisplayText(), "0");  // precision 0 shows the truncated whole number
}

TEST(ParameterValues, DisplayTextsAndTheirReverse) {
    ParameterInfo pInfo;
    pInfo.InitEnumeration("Sort", 0, 3);
    pInfo.AddDisplayText(0, "Lo-Hi");
    pInfo.AddDisplayText(1, "");
    Parameter p;
    p.Describe(pInfo);
    double value = -1;
    EXPECT_TRUE(p.ValueForText("Lo-Hi", value));
    EXPECT_EQ(value, 0.0);
    EXPECT_FALSE(p.ValueForText("nothing", value));
    EXPECT_EQ(p.DisplayText(0.4), "Lo-Hi");  // the nearest whole number, as the engine reads it
    EXPECT_EQ(p.DisplayText(0.7), "1");
    EXPECT_EQ(p.DisplayText(1), "1");        // an empty text shows the number
    EXPECT_EQ(p.DisplayText(2), "2");
}

}  // namespace
}  // namespace sorel
