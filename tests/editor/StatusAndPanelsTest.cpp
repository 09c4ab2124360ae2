// The status line's hints, the box info and settings panels and the
// key-area solo, driven through the editor as the window host drives it.
#include "EditorFixture.h"
#include "editor/InfoControl.h"
#include "editor/SettingsControl.h"
#include "engine/ParameterIndex.h"
#include "persistence/SettingsFile.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kInfoButtonSkin = 140;
constexpr int kSettingsButtonSkin = 141;
constexpr int kAreaSwitchSkin = 9;

class StatusAndPanelsTest : public PersistenceEditorTest {
public:
    PluginPersistence& Persistence() { return builtPersistence->Persistence(); }
    // What a control does when the user moves it to `plain`.
    void ChangeFromEditor(int index, double plain) {
        editor->SetParameterFromGUI(index, vardo->Params().Get(index)->ToNormalized(plain));
    }
    template <class Panel>
    Panel* Shown(int skin) const {
        return dynamic_cast<Panel*>(editor->ControlAt(Skin(skin).L + 2, Skin(skin).T + 2));
    }
    SettingsControl* Settings() const { return Shown<SettingsControl>(163); }
    InfoControl* Info() const { return Shown<InfoControl>(157); }
};

TEST_F(StatusAndPanelsTest, EachHintShowsWhatItsControlShows) {
    const struct { int index; double plain; const char* hint; } kRows[] = {
        {kSwing, 0.125, "Swing: 12.5"},
        {kPatternStepMode, 8, "Mode: Sequence"},
        {kHoldSync + 1, 0, "Hold sync: Immediate"},
        {kHoldSync, 3, "Hold sync: 4"},
        {kPatternSteps + 5, 15, "Pattern length: 16"},
        {kMidiInChannel + 2, 0, "MIDI in: 1"},
        {kMidiOutChannel, 15, "MIDI out: 16"},
        {kArpOnNoteCount + 3, 2, "Arp on note count: 3"},
        {kKeyAreaPatterns + 1, 11, "Pattern: 12"},
        {kCcTeachSelection, 0, "Teach CC : disabled"},
        {kCcTeachSelection, 8, "Teach CC : 7"},
        {kRate + 7, 12, "Rate: 1/16"},
        {kRateFreeMode, 2.5, "Rate: 2.50"},
        {kSortOrder, 2, "Play order: As played"},
        {kOctaves, 3, "Octaves: 3"},
        {kTranspose, -7, "Transpose: -7"},
        {kVelocityMode, 4, "Velocity mode: Average"},
        {kResetOnNewNote, 1, "Reset on new note: On"},
        {PerStep(kStepLength, 1, 2, 3), 4, "Length: 4"},
        {PerStep(kStepGate, 0, 0, 0), 50, "Gate: 50"},
        {PerStep(kStepAccent, 0, 0, 0), -20, "Accent: -20"},
        {PerStep(kStepTranspose, 0, 0, 9), 12, "Transpose: 12"},
        {PerStep(kStepDiv, 0, 0, 0), 2, "Div: 3"},
        {PerStep(kStepShift, 0, 0, 0), -5, "Shift: -5"},
        {PerStep(kStepNoteList, 0, 0, 31), 5, "Order: High"},
        {PerStep(kStepSource, 0, 0, 0), 5, "Chord memory slot: 5"},
        {CcLaneValue(0, 0, 12, 4), 64, "CC edit: 64"},
        {PerStep(kStepOnOff, 0, 0, 4), 0, "Pattern step: Off"},
        {LaneSwitch(0, 0, 3, 4), 1, "Pattern step: On"},
        {LaneSwitch(0, 0, 9, 4), 0, "Pattern step: On"},
        {LaneSwitch(0, 0, 9, 4), 1, "Pattern step: Off"},
        {kSceneStepLength, 7, "Step length: 8"},
        {kSceneStepPattern + 17, 0, "Pattern: 1"},
        {kSceneStepRepeat, 3, "Repeat: 4 times"},
        {kKeyAreaOnOff + 1, 0, "Track: Off"},
        {kKeyAreaSelection, 2, "Track: 3"},
        {PerPatternLane(kResetLaneOnPatternReset, 0, 0, 2), 1, "Reset note list: On"},
        {kRateFreeToggle, 1, "Free mode: On"},
        {kAreaVolume, 0.5, "Key area Volume: 63"},
        {kGlobalVolume, 100, "Global Volume: 100"},
        {kGate, -10, "Gate: -10.0"},
        {kHoldTranspose, 1, "Hold Transpose: On"},
        {kHoldBypass, 0, "Hold bypass: Off"},
        {kNoteRelease, 1, "Note release: On"},
        {PerPatternLane(kDirection, 0, 0, 0), 1, "Loop direction: Down"},
        {kCcTeach, 0, "CC teach: Off"},
        {kScale, 0, "Scale: Off"},
        {kScaleKey, 1, "Scale key: C#"},
        {kScaleMode, 0, "Scale mode: 1"},
        {kHold, 1, "Hold: On"},
        {kLockGate, 1, "Hold: On"},  // no hint: the last one stays
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.hint);
        ChangeFromEditor(row.index, row.plain);
        EXPECT_EQ(Status(), row.hint);
    }
    ChangeFromEditor(kGateLengthInSteps, 1);
    for (const auto& [gate, hint] : {std::pair{100.0, "Gate: 32"}, {50.0, "Gate: 16"}, {-30.0, "Gate: -30"}}) {
        ChangeFromEditor(PerStep(kStepGate, 0, 0, 1), gate);
        EXPECT_EQ(Status(), hint);
    }
}

TEST_F(StatusAndPanelsTest, AMovedKnobWritesItsHintAndARightClickOnlyShowsIt) {
    EXPECT_EQ(Status(), "-- WELCOME --");
    const uint64_t welcome = Pixels(Skin(kStatusSkin));
    Drag(4, 0, -35);  // the swing knob: 280 px is the range
    EXPECT_EQ(Status(), "Swing: 12.5");
    Redraw();
    EXPECT_NE(Pixels(Skin(kStatusSkin)), welcome);
    SetFromHost(kGate, 20);
    Redraw();
    ClickSkin(0, kRight);
    EXPECT_EQ(Status(), "Gate: 20.0");
    EXPECT_FLOAT_EQ(host->GetParameter(kGate), static_cast<float>(vardo->Params().Get(kGate)->ToNormalized(20)));
    SetFromHost(kResetOnNewNote, 1);
    Redraw();
    ClickSkin(14, kRight);  // a switch shows its hint without switching
    EXPECT_EQ(Status(), "Reset on new note: On");
    EXPECT_EQ(host->GetParameter(kResetOnNewNote), 1.0f);
}

TEST_F(StatusAndPanelsTest, TheSettingsPanelsSwitchesARowApartWriteTheSettingsFileAndAClickBesideThemCloses) {
    ClickSkin(kSettingsButtonSkin);
    Redraw();
    SettingsControl* panel = Settings();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Text(), "GLOBAL SETTINGS");
    constexpr int kRows = 8;  // the seven settings and the editor's size
    ASSERT_EQ(panel->ItemCount(), kRows);
    constexpr int kTitleHeight = 17;  // one line of the 12 px font
    const IRECT r = panel->GetRECT();
    EXPECT_EQ(r.B - r.T, kTitleHeight + kRows * 30 + 10);
    const auto rowAt = [&](int row) { return editor->ControlAt(r.L + 6, r.T + 30 * row + 1); };
    for (int row = 1; row <= kRows; ++row) {
        ASSERT_NE(rowAt(row), nullptr) << row;
        EXPECT_NE(rowAt(row), panel) << row;
        EXPECT_EQ(rowAt(row)->ParamIdx(), row <= kGlobalSettingCount ? kGlobalSettingTable[row - 1].parameter : -1);
    }
    EXPECT_EQ(editor->Canvas().PixelAt(r.L, r.T), COLOR_WHITE) << "outlined in white";
    EXPECT_EQ(editor->Canvas().PixelAt(r.R - 1, r.B - 1), COLOR_WHITE);

    const auto clickRow = [&](int row) { Click(r.L + 6, r.T + 30 * row + 1); };
    clickRow(3);  // "Use only ORDER on/off"
    clickRow(7);  // "Gate length in steps"
    clickRow(8);  // "Double size editor"
    ASSERT_NE(Settings(), nullptr) << "still open";
    EXPECT_EQ(host->GetParameter(kUseOnlyOrderOnOff), 1.0f);
    EXPECT_EQ(host->GetParameter(kGateLengthInSteps), 1.0f);
    EXPECT_EQ(vardo->GuiScale(), 2);
    Persistence().WaitUntilIdle();
    GlobalSettings expected;
    expected.useOnlyOrderOnOff = expected.gateLengthInSteps = true;
    expected.guiScale = 2;
    EXPECT_EQ(ReadSettingsFile(), expected);
    clickRow(3);
    EXPECT_EQ(host->GetParameter(kUseOnlyOrderOnOff), 0.0f);
    Click(r.L + 100, r.T + 30 * 2 + 26);  // between rows 2 and 3
    EXPECT_EQ(Settings(), nullptr);
    EXPECT_TRUE(std::none_of(editor->Controls().begin(), editor->Controls().end(), [&](const auto& c) {
        return !c->IsHidden() && c->GetRECT().L == r.L + 5 && c->GetRECT().T == r.T + 30;
    })) << "the switches close with the panel";
}

TEST_F(StatusAndPanelsTest, OpeningOnePanelClosesTheOther) {
    const struct { int button; bool info, settings; } kSteps[] = {
        {kInfoButtonSkin, true, false},   {kSettingsButtonSkin, false, true}, {kInfoButtonSkin, true, false},
        {kInfoButtonSkin, false, false},  {kSettingsButtonSkin, false, true}, {kSettingsButtonSkin, false, false},
    };
    for (const auto& step : kSteps) {
        ClickSkin(step.button);
        EXPECT_EQ(Info() != nullptr, step.info) << step.button;
        EXPECT_EQ(Settings() != nullptr, step.settings) << step.button;
    }
}

TEST_F(StatusAndPanelsTest, TheInfoPanelShowsThePresetsTextsOrNoInfo) {
    ClickSkin(kInfoButtonSkin);
    ASSERT_NE(Info(), nullptr);
    ASSERT_EQ(Info()->Lines().size(), 1u);
    EXPECT_EQ(Info()->Lines()[0].text, "NO INFO");
    EXPECT_EQ(Info()->Height(), 17 + 10);
    ClickSkin(kInfoButtonSkin);

    BoxInfo info;
    info.Set("Walking bass", "Ann", "A long description of this preset that cannot fit on one line of the panel",
             "Hold a chord");
    const auto path = Persistence().SaveUserPreset("Walking bass", 0, info);
    ASSERT_TRUE(path);
    ASSERT_TRUE(Persistence().LoadPresetFile(*path));
    ClickSkin(kInfoButtonSkin);
    Redraw();
    const InfoControl* panel = Info();
    ASSERT_NE(panel, nullptr);
    std::vector<std::string> texts;
    for (const TextLine& line : panel->Lines()) texts.push_back(line.text);
    ASSERT_GE(texts.size(), 8u);
    using Texts = std::vector<std::string>;
    EXPECT_EQ(Texts(texts.begin(), texts.begin() + 5), (Texts{"NAME:", "Walking bass", "AUTHOR:", "Ann", "DESCRIPTION:"}));
    EXPECT_EQ(Texts(texts.end() - 2, texts.end()), (Texts{"USAGE:", "Hold a chord"}));
    std::string description;
    for (std::size_t i = 5; i + 2 < texts.size(); ++i) description += (i > 5 ? " " : "") + texts[i];
    EXPECT_EQ(description, info.description) << "broken between words, nothing lost";
    EXPECT_GT(texts.size(), 8u) << "the description takes more than one line";
    EXPECT_EQ(panel->Height(), static_cast<int>(17 * texts.size() + 10));
    EXPECT_EQ(panel->GetRECT().B, Skin(157).T + panel->Height());
    EXPECT_EQ(editor->Canvas().PixelAt(panel->GetRECT().L, panel->GetRECT().B - 1), COLOR_WHITE);
}

// Clicks on the switch of key area 2.
TEST_F(StatusAndPanelsTest, CtrlClickOnAKeyAreaSwitchSolosIt) {
    using Areas = std::array<float, kKeyAreas>;
    const struct { Areas before; IMouseMod mod; Areas after; } kRows[] = {
        {{1, 0, 1, 1}, kLeftCtrl, {0, 1, 0, 0}},
        {{1, 0, 1, 1}, kLeft, {1, 1, 1, 1}},
        {{0, 1, 0, 0}, kLeftCtrl, {1, 0, 1, 1}},
        {{0, 1, 1, 0}, kLeft, {0, 0, 1, 0}},
    };
    SetFromHost(kKeyAreaSelection, 1);
    for (const auto& row : kRows) {
        for (int area = 0; area < kKeyAreas; ++area) SetFromHost(kKeyAreaOnOff + area, row.before[area]);
        Redraw();
        ClickSkin(kAreaSwitchSkin, row.mod);
        for (int area = 0; area < kKeyAreas; ++area)
            EXPECT_EQ(host->GetParameter(kKeyAreaOnOff + area), row.after[area]) << "key area " << area + 1;
    }
}

}  // namespace
}  // namespace sorel::test
