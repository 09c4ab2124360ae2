// The editor's right-click menus, its preset and bank browsers and saving,
// driven as a user drives them: clicks in, menu items and typed texts
// chosen, parameters, MIDI and files out.
#include "EditorFixture.h"
#include "editor/ICustomTextControl.h"
#include "editor/IRadioButtonsControl.h"
#include "engine/ChordMemoryBank.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kKnobSkin = 0;  // "Gate"
constexpr int kAreaSkin = 17, kPatternSkin = 123, kStepsSkin = 36, kPresetBoxSkin = 138, kBankBoxSkin = 145;
constexpr int kAuthorSkin = 139;
constexpr int kGateLane = 3;

class MenuTest : public EditorTest {
public:
    void SetUp() override {
        EditorTest::SetUp();
        SetFromHost(kPatternStepMode, kGateLane);
        Redraw();
    }
    void RightClickButton(int skin, int button, const std::string& item) {
        const IRECT r = static_cast<IRadioButtonsControl*>(At(skin))->ButtonRect(button);
        ClickWith((r.L + r.R) / 2, (r.T + r.B) / 2, kRight, {item});
    }
    void RightClickStep(int step, const std::string& item) {
        ClickWith(Skin(kStepsSkin).L + 1 + 24 * step + 10, Skin(kStepsSkin).T + 50, kRight, {item});
    }
    // Whole values: the host's float normalisation leaves a little dust.
    long Plain(int index) const { return std::lround(vardo->Params().Value(index)); }
    void Bind(int controller, int parameter) { vardo->Params().Get(kControllerMap + controller)->SetValue(parameter); }
    int Bound(int controller) const { return vardo->Learn().BoundParameter(controller); }
    std::string Shown(int skin) const { return static_cast<ITextControl*>(At(skin))->Text(); }
    std::string UserPreset(const std::string& style, const std::string& name) const {
        return home.SorelFolder() + "presets/User/" + style + "/" + name + ".v2z";
    }
};

int GateStep(int area, int pattern, int step) { return StepValue(area, pattern, kGateLane, step); }

TEST_F(MenuTest, EveryMenuItemActsOnWhatItWasOpenedOn) {
    const struct { const char* name; std::function<void()> act, check; } rows[] = {
        {"knob: MIDI unlearn clears every binding",
         [&] { Bind(7, kSwing); Bind(9, GateStep(0, 0, 1)); RightClick(kKnobSkin, "MIDI unlearn"); },
         [&] { EXPECT_EQ(Bound(7) + Bound(9), -2); }},
        {"pattern: Copy, Paste",
         [&] { SetFromHost(GateStep(0, 2, 5), 77); RightClickButton(kPatternSkin, 2, "Copy"); RightClickButton(kPatternSkin, 7, "Paste"); },
         [&] { EXPECT_EQ(Plain(GateStep(0, 7, 5)), 77); }},
        {"key area: Paste to all",
         [&] { SetFromHost(GateStep(1, 0, 9), 44); RightClickButton(kAreaSkin, 1, "Copy"); RightClickButton(kAreaSkin, 1, "Paste to all"); },
         [&] { EXPECT_EQ(Plain(GateStep(0, 0, 9)) + Plain(GateStep(2, 0, 9)), 88); }},
        {"key area: toggles on the area clicked, though the host selects another meanwhile",
         [&] {
             whileOpen = [&] { SetFromHost(kKeyAreaSelection, 0); };
             RightClickButton(kAreaSkin, 2, "Toggle send only CC"); RightClickButton(kAreaSkin, 3, "Toggle trigger CM");
         },
         [&] { EXPECT_EQ(std::pair(Plain(kSendCc + 2) + Plain(kCmTrigger + 3), Plain(kSendCc) + Plain(kCmTrigger)), std::pair(2L, 0L)); }},
        {"step: Toggle On/Off in every pattern", [&] { RightClickStep(3, "Toggle On/Off"); },
         [&] {
             const PatternStepper& stepper = vardo->App().Area(0)->Stepper();
             for (int pattern = 0; pattern < kPatternsPerArea; ++pattern) EXPECT_FALSE(stepper.Lane(pattern, kGateLane).laneOn) << pattern;
             EXPECT_TRUE(stepper.Lane(0, kGateLane + 1).laneOn && vardo->App().Area(1)->Stepper().Lane(0, kGateLane).laneOn);
         }},
        {"step: MIDI learn the step clicked, though the host shows another lane meanwhile",
         [&] { whileOpen = [&] { SetFromHost(kPatternStepMode, 1); }; RightClickStep(6, "MIDI learn"); },
         [&] { EXPECT_EQ(vardo->Learn().LearnTarget(), GateStep(0, 0, 6)); }},
        {"step: MIDI unlearn only that step's, its controller named",
         [&] { Bind(8, GateStep(0, 0, 6)); Bind(7, GateStep(0, 0, 6)); Bind(9, GateStep(0, 0, 7)); RightClickStep(6, "MIDI unlearn CC 7"); },
         [&] {
             EXPECT_EQ(std::tuple(Bound(7), Bound(8), Bound(9)), std::tuple(-1, -1, GateStep(0, 0, 7)));
             EXPECT_EQ(std::ranges::count(shown.back(), "MIDI learn (CC 7)"), 1);
         }},
        {"knob: its learn items name the controller bound to it",
         [&] { Bind(20, kGate); RightClick(kKnobSkin, "MIDI learn (CC 20)"); },
         [&] { EXPECT_EQ(shown.back(), (std::vector<std::string>{"MIDI learn (CC 20)", "MIDI unlearn CC 20"})); }},
        {"step: Copy to all", [&] { SetFromHost(GateStep(0, 0, 12), 33); RightClickStep(12, "Copy to all"); },
         [&] { EXPECT_EQ(Plain(GateStep(0, 0, 0)) + Plain(GateStep(0, 0, 31)), 66); }},
        {"step: Reset steps", [&] { SetFromHost(GateStep(0, 0, 4), 90); RightClickStep(20, "Reset steps"); },
         [&] { EXPECT_EQ(Plain(GateStep(0, 0, 4)) + Plain(GateStep(0, 0, 20)), 0); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        row.act();
        EXPECT_TRUE(answers.empty()) << "every item was offered";
        row.check();
    }
}

TEST_F(MenuTest, ABindingToNoLearnableParameterIsNone) {
    Bind(21, kControllerMap + 3);
    host->ClearSent();
    host->Controller(0, 1, 21, 100);
    host->ProcessBlock(64);
    EXPECT_EQ(Bound(21), -1);
    ASSERT_EQ(host->Sent().size(), 1u) << "an unbound controller goes on to the host";
    EXPECT_TRUE(host->Sent()[0].IsController(21));
}

TEST_F(MenuTest, CcTeachSendsTheControllerChosenInTheEditor) {
    answers = {"20"};
    editor->OnMouseDblClick(Skin(25).L + 5, Skin(25).T + 5, kLeft);
    ClickSkin(26);
    host->ClearSent();
    host->ProcessBlocks(20, 64);
    ASSERT_FALSE(host->Sent().empty());
    EXPECT_TRUE(host->Sent().back().IsController(20));
}

TEST_F(MenuTest, ABankSavedThroughTheBrowserLoadsBack) {
    const IRECT keys = Skin(127);
    Click(keys.L + 16 * 4 + 8, keys.T + 10);  // upper part of key 4: a note into the first chord slot
    Click(keys.L + 7 * 16 + 3, keys.T + 34);  // the strip of key 7: the slot's base
    const auto slot = [this] { const auto notes = vardo->Context().chordMemory->Notes(0); return std::vector(notes.begin(), notes.end()); };
    ASSERT_EQ(slot(), std::vector{4});
    EXPECT_EQ(vardo->Context().chordMemory->Base(0), 7);
    Browse(kBankBoxSkin, {"Save bank"}, {"Triads"});
    EXPECT_TRUE(std::filesystem::exists(home.SorelFolder() + "presets/chordmemory/User/Triads.cmb"));
    ClickSkin(150);  // "CM Clear tool"
    ASSERT_TRUE(slot().empty());
    Browse(kBankBoxSkin, {"Triads"});
    EXPECT_EQ(slot(), std::vector{4});
    EXPECT_EQ(Shown(kBankBoxSkin), "Triads");
}

TEST_F(MenuTest, ANameThatCannotNameAFileIsRefusedOnTheStatusLine) {
    const struct { std::string name; const char* status; } rows[] = {
        {"", "Not saved: the name is empty"},
        {"Bas", "Not saved: name under 4 characters"},
        {std::string(33, 'x'), "Not saved: name over 32 characters"},
        {"Bass/Lead", "Not saved: /\\:*?\"<>| not allowed"},
        {".Bass", "Not saved: . or space at name edge"},
    };
    for (const auto& row : rows) {
        Browse(kPresetBoxSkin, {"Save preset"}, {row.name});
        EXPECT_EQ(Status(), row.status) << row.name;
        editor->OnTextEntryDone(true, "Author");  // no further field is open
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.SorelFolder() + "presets"))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 0u);
}

// Saved through the browser's menus and text fields, a preset shows at once
// and loads back with its texts; saving over it asks first.
TEST_F(MenuTest, APresetSavedThroughTheBrowserLoadsBackAndIsReplacedOnlyAfterAYes) {
    EXPECT_EQ(Shown(kPresetBoxSkin), "------");
    const std::string description = "A long description of this preset that cannot fit on one line of the panel";
    const auto save = [&](const char* answer) {
        Browse(kPresetBoxSkin, {"Save preset", "2 lead", answer}, {"Trial Pent Arp", "Rin", description, "Hold a chord"});
    };
    SetFromHost(kGate, 80);
    save("Yes");  // no question for a new file: the "Yes" stays unused
    answers.clear();
    EXPECT_EQ(Status(), "Saved \"Trial Pent Arp\"");
    EXPECT_TRUE(std::filesystem::exists(UserPreset("2 lead", "Trial Pent Arp")));
    EXPECT_EQ(Shown(kPresetBoxSkin), "Trial Pent Arp");
    EXPECT_EQ(Shown(kAuthorSkin), "Rin");
    EXPECT_EQ(shown.front(), (std::vector<std::string>{"Init", "", "Factory", "User", "", "Save preset"}));
    SetFromHost(kGate, 90);
    save("No");
    EXPECT_EQ(Status(), "Not saved: \"Trial Pent Arp\" is kept");
    EXPECT_EQ(static_cast<ICustomTextControl*>(At(kStatusSkin))->ShownLines(),
              (std::vector<std::string>{"Not saved: \"Trial Pent Arp\" is", "kept"}))
        << "a message too long for the status line goes on below, broken between words";
    Browse(kPresetBoxSkin, {"Init"});
    EXPECT_NE(Plain(kGate), 80);
    EXPECT_EQ(Shown(kAuthorSkin), "");
    Browse(kPresetBoxSkin, {"Trial Pent Arp"});
    EXPECT_EQ(Plain(kGate), 80);
    EXPECT_EQ(Shown(kAuthorSkin), "Rin");
    ClickSkin(140);  // the info panel: the description broken between words, nothing lost
    std::string info = InfoLines();
    EXPECT_GE(std::count(info.begin(), info.end(), '\n'), 8) << "the description takes more than one line";
    std::replace(info.begin(), info.end(), '\n', ' ');
    EXPECT_EQ(info, "NAME: Trial Pent Arp AUTHOR: Rin DESCRIPTION: " + description + " USAGE: Hold a chord");
    SetFromHost(kGate, 90);
    save("Yes");
    EXPECT_EQ(Status(), "Saved \"Trial Pent Arp\"");
    SetFromHost(kGate, 10);
    ClickSkin(137);  // "Box right": the only preset again
    Persistence().WaitUntilIdle();
    EXPECT_EQ(Plain(kGate), 90);
}

}  // namespace
}  // namespace sorel::test
