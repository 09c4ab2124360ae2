// Every control of the editor, by its skin entry, through the pointer of a
// real X server: a click, drag or wheel in its rectangle changes its
// parameter as its kind of control says, read back as a host reads it, or
// does what it does elsewhere (a panel opens, a tool changes what the grid
// does, a menu opens, the state a host saves changes). A control the editor
// places without a row here fails the sweep.
#include "EditorFixture.h"
#include "editor/IRadioButtonsControl.h"
#include "editor/SettingsControl.h"
#include "engine/ParameterIndex.h"
#include "frame/GlobalSettings.h"
#include "frame/Parameter.h"
#include "persistence/BoxInfo.h"
#include "support/XvfbServer.h"

// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

namespace sorel::test {
namespace {

using namespace sorel::param;
using namespace std::chrono_literals;
using sorel::testing::XvfbServer;

// What the editor shows while the sweep runs: not the first key area,
// pattern or lane, so that a control bound to the wrong member shows.
constexpr int kArea = 1, kPattern = 3, kLane = 3;  // the GATE lane
constexpr int Area(int first) { return first + kArea; }
constexpr int Pattern(int first) { return first + PatternIndex(kArea, kPattern); }
constexpr int Lane(int first) { return PerPatternLane(first, kArea, kPattern, kLane); }
constexpr int Scene(int first) { return first + kArea * kSceneSteps; }
constexpr int StepOf(int lane, int step) { return StepValue(kArea, kPattern, lane, step); }

constexpr int kPatternViewSkin = 36, kFirstStepSwitchSkin = 37, kSceneViewSkin = 118, kLoopSkin = 124, kAboutBoxSkin = 167,
              kKeyboardSkin = 127, kSettingsSkin = 163, kCopyToolSkin = 132, kPasteToolSkin = 133,
              kSelectionToolSkin = 130, kRandomizeSkin = 131, kCmCopySkin = 148, kCmPasteSkin = 149, kCmClearSkin = 150;
constexpr int kLaneTabsSkin = 69, kCcTabsSkin = 154, kHumanizeSkin = 169;
constexpr int kProbTab = kFirstControllerLane;  // the tab after the note lanes'
// Clicks on these switches tell that every event before them was handled;
// no panel covers them, and a double click turns them too.
constexpr struct {
    int skin, param;
} kProbes[] = {{158, kLockGate}, {159, kLockSwing}};
constexpr bool IsProbe(int index) { return index == kLockGate || index == kLockSwing; }
constexpr int kGridColumn = 6;       // where the grid is clicked
constexpr int kSceneCellWidth = 18;  // a scene step's column
constexpr int kLoopCellWidth = 24;
constexpr int kKeyWidth = 16;
constexpr int kDragPixels = 20;
constexpr int kBesideFirstClick = 6;  // pixels: farther than a double click's reach
constexpr double kWheelStep = 0.01;  // of a continuous range, a notch
constexpr auto kSettleTime = 50ms;   // for the editor's timer to take news from the host
constexpr auto kPanelTime = 200ms;   // for a panel or page to open

enum class Act { kClick, kDrag, kWheel, kRightClick, kDoubleClick };
enum class Effect {
    kToggles,        // its parameter to the other state
    kSelects,        // its parameter to the button (or column) `button`
    kMoves,          // its parameter up or down: with the drag, or one step a notch (0.01 of a continuous range)
    kDraws,          // the shown lane's step under the click changes
    kShowsLane,      // its parameter to the tab `button`, and a click in the grid then changes that lane's step
    kSelectionTool,  // a drag in the grid then selects steps instead of drawing
    kDrawTool,       // a click in the grid then draws again
    kRandomizes,     // steps of the shown lane, and nothing else, change
    kClears,         // the shown lane's drawn step goes back to 0
    kCopiesLane,     // draw, copy, undo by hand, paste: the drawn step is back
    kShowsPanel,     // the pixels of skin `shown` change, and change back at a second click
    kClosesPanel,    // the panel `pre` opened closes
    kShowsName,      // the name at skin `shown` changes
    kOpensMenu,      // a menu opens at the lower-left corner of the rectangle; nothing changes
    kChangesState,   // the state a host saves changes (chord memory, loops)
    kClearsChord,    // a note put on the keyboard goes again
    kCopiesChord,    // a note put on the keyboard, copied, cleared and pasted is back
    kResizes,        // the window takes the compact height, and its full height again at a second click
    kPanics,         // the next block ends every note on every channel
    kOpensLink,      // the system browser is asked to open a page
    kNothing,        // shows only: it changes no parameter, ends no note, and what `shown` shows stays
};

struct Row {
    int skin;
    Act act = Act::kClick;
    Effect effect = Effect::kNothing;
    int param = -1;   // the parameter of the first cell; cell k's is param + k
    int button = 0;   // of a radio control; the column of the scene view or loop markers
    int cells = 1;    // skin entries skin .. skin + cells - 1, one row of equal cells
    int pre = -1;     // clicked first: what makes the control reachable or gives it something to act on
    int shown = -1;   // where its effect shows
    bool closesAfter = false;  // `pre` is clicked again at the end, and `shown` is as before
    int post = -1;    // clicked at the end: takes back what no parameter holds
};

// The editor's composition, by skin entry.
const Row kRows[] = {
    // Key area
    {.skin = 27, .cells = 4},  // incoming-note indicators
    {.skin = 17, .effect = Effect::kSelects, .param = kKeyAreaSelection, .button = 2},
    {.skin = 17, .act = Act::kRightClick, .effect = Effect::kOpensMenu, .button = 3},
    {.skin = 166},  // send-only-CC caption
    {.skin = 9, .effect = Effect::kToggles, .param = Area(kKeyAreaOnOff)},
    {.skin = 18, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kArpOnNoteCount)},
    {.skin = 18, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kArpOnNoteCount)},
    {.skin = 32, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kVelocityMode)},
    {.skin = 32, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kVelocityMode)},
    {.skin = 120, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kKeyAreaStartNote)},
    {.skin = 120, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kKeyAreaStartNote)},
    {.skin = 121, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kKeyAreaEndNote)},
    {.skin = 121, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kKeyAreaEndNote)},
    {.skin = 122, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kKeyAreaBaseNote)},
    {.skin = 122, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kKeyAreaBaseNote)},
    {.skin = 7, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kAreaVolume)},
    {.skin = 7, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kAreaVolume)},
    {.skin = 23, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kMidiInChannel)},
    {.skin = 23, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kMidiInChannel)},
    {.skin = 24, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kMidiOutChannel)},
    {.skin = 24, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kMidiOutChannel)},
    // Hold and scene switches
    {.skin = 31, .act = Act::kDrag, .effect = Effect::kMoves, .param = Area(kHoldSync)},
    {.skin = 31, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kHoldSync)},
    {.skin = 10, .effect = Effect::kToggles, .param = Area(kHold)},
    {.skin = 11, .effect = Effect::kToggles, .param = Area(kHoldTranspose)},
    {.skin = 12, .effect = Effect::kToggles, .param = Area(kHoldBypass)},
    {.skin = 13, .effect = Effect::kToggles, .param = Area(kSceneOnOff)},
    {.skin = 125, .effect = Effect::kToggles, .param = Area(kNoteRelease)},
    // Scale
    {.skin = 33, .act = Act::kDrag, .effect = Effect::kMoves, .param = kScale},
    {.skin = 33, .act = Act::kWheel, .effect = Effect::kMoves, .param = kScale},
    {.skin = 34, .act = Act::kDrag, .effect = Effect::kMoves, .param = kScaleKey},
    {.skin = 34, .act = Act::kWheel, .effect = Effect::kMoves, .param = kScaleKey},
    {.skin = 35, .act = Act::kDrag, .effect = Effect::kMoves, .param = kScaleMode},
    {.skin = 35, .act = Act::kWheel, .effect = Effect::kMoves, .param = kScaleMode},
    // Timing knobs and their locks; the free rate knob shows once the free toggle is on
    {.skin = 0, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kGate)},
    {.skin = 0, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kGate)},
    {.skin = 0, .act = Act::kRightClick, .effect = Effect::kOpensMenu},
    {.skin = 4, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kSwing)},
    {.skin = 4, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kSwing)},
    {.skin = kHumanizeSkin, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kHumanize)},
    {.skin = kHumanizeSkin, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kHumanize)},
    {.skin = 5, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kOctaves)},
    {.skin = 5, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kOctaves)},
    {.skin = 6, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kTranspose)},
    {.skin = 6, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kTranspose)},
    {.skin = 1, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kRate)},
    {.skin = 1, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kRate)},
    {.skin = 3, .effect = Effect::kToggles, .param = Pattern(kRateFreeToggle)},
    {.skin = 2, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kRateFreeMode), .pre = 3},
    {.skin = 2, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kRateFreeMode), .pre = 3},
    {.skin = 158, .effect = Effect::kToggles, .param = kLockGate, .cells = 5},
    // Global
    {.skin = 8, .act = Act::kDrag, .effect = Effect::kMoves, .param = kGlobalVolume},
    {.skin = 8, .act = Act::kWheel, .effect = Effect::kMoves, .param = kGlobalVolume},
    {.skin = 22},  // status line
    {.skin = 21},  // version
    {.skin = 135, .effect = Effect::kPanics},
    {.skin = 135, .act = Act::kRightClick},
    {.skin = 156, .effect = Effect::kResizes},
    {.skin = 119, .effect = Effect::kToggles, .param = kMidiOutput},
    {.skin = 20, .effect = Effect::kShowsPanel, .shown = kPatternViewSkin},  // about box
    {.skin = 20, .act = Act::kDoubleClick, .shown = kPatternViewSkin},  // it opens and closes again
    {.skin = 20, .act = Act::kRightClick, .shown = kPatternViewSkin},
    {.skin = kAboutBoxSkin, .effect = Effect::kClosesPanel, .pre = 20, .shown = kPatternViewSkin},
    {.skin = kAboutBoxSkin, .act = Act::kDoubleClick, .effect = Effect::kClosesPanel, .pre = 20, .shown = kPatternViewSkin},
    {.skin = 165, .effect = Effect::kOpensLink},
    {.skin = 165, .act = Act::kRightClick},
    // Pattern: the view, its lanes, tools and switches
    {.skin = kPatternViewSkin, .effect = Effect::kDraws},
    {.skin = kLaneTabsSkin, .effect = Effect::kShowsLane, .param = kPatternStepMode, .button = 5},
    {.skin = kLaneTabsSkin, .effect = Effect::kShowsLane, .param = kPatternStepMode, .button = kProbTab},
    {.skin = kCcTabsSkin, .effect = Effect::kShowsLane, .param = kPatternCcSelection, .button = 2},
    {.skin = kFirstStepSwitchSkin, .effect = Effect::kToggles,
     .param = LaneSwitch(kArea, kPattern, kLane, 0), .cells = kSteps},
    {.skin = kLoopSkin, .effect = Effect::kChangesState, .button = 10, .post = kLoopSkin},
    {.skin = 26, .effect = Effect::kToggles, .param = kCcTeach},
    {.skin = 25, .act = Act::kDrag, .effect = Effect::kMoves, .param = kCcTeachSelection},
    {.skin = 25, .act = Act::kWheel, .effect = Effect::kMoves, .param = kCcTeachSelection},
    {.skin = kRandomizeSkin, .effect = Effect::kRandomizes},
    {.skin = kRandomizeSkin, .act = Act::kRightClick},
    {.skin = kSelectionToolSkin, .effect = Effect::kSelectionTool, .param = kSelectionTool},
    {.skin = 129, .effect = Effect::kDrawTool, .param = kDrawTool, .pre = kSelectionToolSkin},
    {.skin = kCopyToolSkin, .effect = Effect::kCopiesLane},
    {.skin = kPasteToolSkin, .effect = Effect::kCopiesLane},
    {.skin = 134, .effect = Effect::kClears},
    {.skin = 19, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kSortOrder)},
    {.skin = 19, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kSortOrder)},
    {.skin = 14, .effect = Effect::kToggles, .param = Pattern(kResetOnNewNote)},
    {.skin = 16, .effect = Effect::kToggles, .param = Lane(kResetLaneOnPatternReset)},
    {.skin = 15, .act = Act::kDrag, .effect = Effect::kMoves, .param = Lane(kDirection)},
    {.skin = 15, .act = Act::kWheel, .effect = Effect::kMoves, .param = Lane(kDirection)},
    {.skin = 128, .act = Act::kDrag, .effect = Effect::kMoves, .param = Pattern(kPatternSteps)},
    {.skin = 128, .act = Act::kWheel, .effect = Effect::kMoves, .param = Pattern(kPatternSteps)},
    {.skin = 123, .effect = Effect::kSelects, .param = Area(kKeyAreaPatterns), .button = 6},
    {.skin = 123, .act = Act::kRightClick, .effect = Effect::kOpensMenu, .button = 7},
    {.skin = 123, .act = Act::kWheel, .effect = Effect::kMoves, .param = Area(kKeyAreaPatterns)},
    {.skin = 17, .act = Act::kWheel, .effect = Effect::kMoves, .param = kKeyAreaSelection},
    {.skin = kLaneTabsSkin, .act = Act::kWheel, .effect = Effect::kMoves, .param = kPatternStepMode},
    {.skin = 155, .act = Act::kDrag, .effect = Effect::kMoves, .param = kControlZoneSync},
    {.skin = 155, .act = Act::kWheel, .effect = Effect::kMoves, .param = kControlZoneSync},
    // Scene
    {.skin = kSceneViewSkin, .effect = Effect::kSelects, .param = Area(kSceneEnd), .button = 9},
    {.skin = 70, .act = Act::kDrag, .effect = Effect::kMoves, .param = Scene(kSceneStepPattern), .cells = kSceneSteps},
    {.skin = 86, .act = Act::kDrag, .effect = Effect::kMoves, .param = Scene(kSceneStepLength), .cells = kSceneSteps},
    {.skin = 102, .act = Act::kDrag, .effect = Effect::kMoves, .param = Scene(kSceneStepRepeat), .cells = kSceneSteps},
    // Chord memory and its keyboard
    {.skin = 126, .effect = Effect::kSelects, .param = kChordMemorySelection, .button = 5},
    {.skin = kKeyboardSkin, .effect = Effect::kChangesState, .post = kCmClearSkin},
    {.skin = 144, .act = Act::kDrag, .effect = Effect::kMoves, .param = kChordMemoryApplyChordSelection},
    {.skin = 144, .act = Act::kWheel, .effect = Effect::kMoves, .param = kChordMemoryApplyChordSelection},
    {.skin = 151, .effect = Effect::kChangesState, .post = kCmClearSkin},
    {.skin = 152, .effect = Effect::kChangesState, .pre = 151, .post = kCmClearSkin},
    {.skin = 153, .effect = Effect::kChangesState, .pre = 151, .post = kCmClearSkin},
    {.skin = kCmCopySkin, .effect = Effect::kCopiesChord, .post = kCmClearSkin},
    {.skin = kCmPasteSkin, .effect = Effect::kCopiesChord, .post = kCmClearSkin},
    {.skin = kCmClearSkin, .effect = Effect::kClearsChord},
    {.skin = 147, .effect = Effect::kShowsName, .shown = 145},
    {.skin = 146, .effect = Effect::kShowsName, .pre = 147, .shown = 145},
    {.skin = 145, .effect = Effect::kOpensMenu},
    // Preset box and the panels
    {.skin = 138, .effect = Effect::kOpensMenu},
    {.skin = 139},  // box author
    {.skin = 137, .effect = Effect::kShowsName, .shown = 138},
    {.skin = 136, .effect = Effect::kShowsName, .pre = 137, .shown = 138},
    {.skin = 140, .effect = Effect::kShowsPanel, .shown = 157},
    {.skin = 140, .act = Act::kRightClick, .shown = 157},
    {.skin = 140, .act = Act::kDoubleClick, .shown = 157},  // it opens and closes again
    {.skin = 157, .pre = 140, .shown = 157, .closesAfter = true},
    {.skin = 141, .effect = Effect::kShowsPanel, .shown = kSettingsSkin},
    {.skin = kSettingsSkin, .effect = Effect::kToggles, .cells = int(kGlobalSettingTable.size()),
     .pre = 141, .shown = kSettingsSkin, .closesAfter = true},
};

struct Point {
    int x, y;
};
Point Centre(const IRECT& r) { return {r.L + r.W() / 2, r.T + r.H() / 2}; }

class ClickSweepTest : public EditorTest {
protected:
    static void SetUpTestSuite() {
        // The system browser is a script that notes the page it is asked for.
        browserDir_ = std::filesystem::temp_directory_path() / ("sorel-sweep-" + std::to_string(::getpid()));
        std::filesystem::create_directories(browserDir_);
        std::ofstream(browserDir_ / "xdg-open") << "#!/bin/sh\necho \"$1\" > \"" << OpenedPage().string() << "\"\n";
        std::filesystem::permissions(browserDir_ / "xdg-open", std::filesystem::perms::owner_all);
        ::setenv("PATH", (browserDir_.string() + ":" + std::getenv("PATH")).c_str(), 1);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(browserDir_); }
    static std::filesystem::path OpenedPage() { return browserDir_ / "opened"; }

    void SetUp() override {
        if (!XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
        EditorTest::SetUp();
        display_ = XOpenDisplay(XvfbServer::Instance().Display().c_str());
        ASSERT_NE(display_, nullptr);
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1000, 565, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);  // menus come and go
        XSync(display_, False);
        // Two of each, for the box buttons to step through.
        for (const std::string name : {"Sweep 1", "Sweep 2"}) {
            ASSERT_TRUE(Persistence().SaveUserPreset(name, 0, BoxInfo{}));
            ASSERT_TRUE(Persistence().SaveUserChordBank(name));
        }
        // Read before the window's thread owns the controls.
        for (const auto& control : editor->Controls())
            if (auto* panel = dynamic_cast<SettingsControl*>(control.get())) settingsItemX_ = panel->NextItemX();
        for (const Row& row : kRows)
            for (int cell = 0; cell < row.cells; ++cell)
                if (const IControl* control = At(row.skin + cell);
                    control && control->GetRECT().L == Skin(row.skin + cell).L && control->GetRECT().T == Skin(row.skin + cell).T) {
                    rects_[row.skin + cell] = control->GetRECT();
                    if (const auto* radio = dynamic_cast<const IRadioButtonsControl*>(control)) radios_[row.skin] = radio;
                }
    }
    void TearDown() override {
        if (host) host->Dispatch(effEditClose);
        if (display_) XCloseDisplay(display_);
    }

    bool Open() {
        if (host->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)) != 1) return false;
        const IRECT grid = Skin(kPatternViewSkin);
        if (!Eventually([&] { return Shown({grid.L, grid.T, grid.L + 1, grid.T + 1}) != 0; })) return false;
        ShowSweepSelection();
        keysEmpty_ = Shown(Skin(kKeyboardSkin));
        return true;
    }
    // As a host would choose them, while the window is open. The lane goes
    // through another first, so that the editor hears of it even when the
    // parameter already holds it (a lane selector was set back).
    void ShowSweepSelection() {
        SetFromHost(kKeyAreaSelection, kArea);
        SetFromHost(Area(kKeyAreaPatterns), kPattern);
        SetFromHost(kPatternStepMode, kLane - 1);
        SetFromHost(kPatternStepMode, kLane);
        std::this_thread::sleep_for(kSettleTime);
    }
    ::Window EditorWindow() { return sorel::testing::FirstChildWindow(display_, parent_); }
    // A fingerprint of what the window shows in a rectangle; 0 when unreadable or black.
    uint64_t Shown(const IRECT& r) {
        XImage* image = XGetImage(display_, EditorWindow(), r.L, r.T, r.W(), r.H(), AllPlanes, ZPixmap);
        if (!image) return 0;
        bool drawn = false;
        const uint64_t hash = Fingerprint(r, [&](int x, int y) {
            const unsigned long pixel = XGetPixel(image, x - r.L, y - r.T);
            drawn = drawn || pixel != 0;
            return pixel;
        });
        XDestroyImage(image);
        return drawn ? hash : 0;
    }
    int WindowHeight() {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, EditorWindow(), &attributes);
        return attributes.height;
    }
    template <typename Condition>
    static bool Eventually(Condition condition, std::chrono::milliseconds patience = 3000ms) {
        for (auto end = std::chrono::steady_clock::now() + patience;; std::this_thread::sleep_for(10ms)) {
            if (condition()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
        }
    }
    void Pointer(Point at, const std::string& then) {
        ASSERT_TRUE(XvfbServer::Instance().Xdotool("mousemove --window " + std::to_string(EditorWindow()) + " " +
                                                   std::to_string(at.x) + " " + std::to_string(at.y) + " " + then));
    }
    // xdotool's "click" waits after each press; a press and release do not.
    static std::string Press(int button) { return "mousedown " + std::to_string(button) + " mouseup " + std::to_string(button); }
    void ClickAt(Point at) { Pointer(at, Press(1)); }
    IRECT ControlRect(int skin) const {
        const auto found = rects_.find(skin);
        return found != rects_.end() ? found->second : Skin(skin);
    }
    void ClickOn(int skin) { ClickAt(Centre(ControlRect(skin))); }
    // A second click beside the first, so that the two make no double click.
    void ClickAgain(Point at) { ClickAt({at.x + kBesideFirstClick, at.y}); }

    // Every event sent before has been handled once a probe switch has
    // turned; so has the work it handed on.
    void Sync(int rowSkin) {
        auto probe = kProbes[nextProbe_++ % std::size(kProbes)];
        if (probe.skin == rowSkin) probe = kProbes[nextProbe_++ % std::size(kProbes)];
        const int index = probe.param;
        const float before = host->GetParameter(index);
        ClickAgain(Centre(ControlRect(probe.skin)));  // beside where the rows click
        EXPECT_TRUE(Eventually([&] { return host->GetParameter(index) != before; })) << "the editor stopped answering";
        vardo->Actions().WaitUntilIdle();
        Persistence().WaitUntilIdle();
    }
    std::vector<float> Parameters() {
        std::vector<float> values(kCount);
        for (int i = 0; i < kCount; ++i) values[static_cast<std::size_t>(i)] = host->GetParameter(i);
        return values;
    }
    // The parameters changed since `before`, the probes' apart.
    std::set<int> Changed(const std::vector<float>& before) {
        std::set<int> changed;
        for (int i = 0; i < kCount; ++i)
            if (host->GetParameter(i) != before[static_cast<std::size_t>(i)] && !IsProbe(i))
                changed.insert(i);
        return changed;
    }
    void Restore(const std::vector<float>& before) {
        bool restored = false, selection = false;
        for (int i = 0; i < kCount; ++i)
            if (host->GetParameter(i) != before[static_cast<std::size_t>(i)]) {
                host->SetParameter(i, before[static_cast<std::size_t>(i)]);
                restored = true;
                selection = selection || i == kKeyAreaSelection || i == Area(kKeyAreaPatterns) || i == kPatternStepMode ||
                            i == kPatternCcSelection;
            }
        if (selection) ShowSweepSelection();
        else if (restored) std::this_thread::sleep_for(kSettleTime);
    }
    double Plain(int index) { return vardo->Params().Get(index)->FromNormalized(host->GetParameter(index)); }

    Point GridPoint(int column = kGridColumn) const {
        // The grid's columns stand over the step switches; near its top a click draws a high value.
        return {Centre(Skin(kFirstStepSwitchSkin + column)).x, Skin(kPatternViewSkin).T + 8};
    }
    Point Target(const Row& row, int cell) const {
        const IRECT r = Skin(row.skin + (row.skin == kSettingsSkin ? 0 : cell));
        switch (row.skin) {
            case kPatternViewSkin: return GridPoint();
            case kSceneViewSkin: return {r.L + kSceneCellWidth * row.button + kSceneCellWidth / 2, r.B - 4};
            case kLoopSkin: return {r.L + kLoopCellWidth * row.button + kLoopCellWidth / 2, Centre(r).y};
            case kKeyboardSkin: return {r.L + kKeyWidth / 2, r.T + 10};
            // Over "Randomize", which a press that reached under the box would run.
            case kAboutBoxSkin: return Centre(ControlRect(kRandomizeSkin));
            case kSettingsSkin: return {settingsItemX_ + 10, r.T + SettingsControl::kRowHeight * (cell + 1) + 10};
            default: break;
        }
        if (const auto radio = radios_.find(row.skin); radio != radios_.end())
            return Centre(radio->second->ButtonRect(row.button));
        return Centre(ControlRect(row.skin + cell));
    }
    int Param(const Row& row, int cell) const {
        if (row.skin == kSettingsSkin) return kGlobalSettingTable[static_cast<std::size_t>(cell)].parameter;
        return row.param < 0 ? -1 : row.param + cell;
    }

    // A menu window opened since the last look, as the root window places it; empty when none opens.
    IRECT MenuOpened() {
        IRECT menu;
        Eventually([&] {
            for (XEvent event; XCheckMaskEvent(display_, SubstructureNotifyMask, &event);)
                if (event.type == MapNotify && event.xmap.override_redirect) {
                    XWindowAttributes a{};
                    XGetWindowAttributes(display_, event.xmap.window, &a);
                    menu = {a.x, a.y, a.x + a.width, a.y + a.height};
                }
            return !menu.Empty();
        });
        return menu;
    }
    void ForgetWindowNews() {
        for (XEvent event; XCheckMaskEvent(display_, SubstructureNotifyMask, &event);) {
        }
    }

    void Run(const Row& row, int cell);
    void Perform(const Row& row, Point at, bool upward);
    void CheckMoved(int index, const Row& row, double before, bool upward);

    Display* display_ = nullptr;
    ::Window parent_ = 0;
    int settingsItemX_ = 0;
    std::map<int, const IRadioButtonsControl*> radios_;  // by skin entry
    std::map<int, IRECT> rects_;  // of the controls placed at a skin entry: its corner and one frame
    unsigned nextProbe_ = 0;
    uint64_t keysEmpty_ = 0;  // the keyboard with an empty chord-memory slot
    static inline std::filesystem::path browserDir_;
};

void ClickSweepTest::Perform(const Row& row, Point at, bool upward) {
    const std::string up = upward ? "-" : "";
    switch (row.act) {
        case Act::kClick: return ClickAt(at);
        case Act::kRightClick: return Pointer(at, Press(3));
        case Act::kDoubleClick: return Pointer(at, Press(1) + " sleep 0.1 " + Press(1));
        case Act::kWheel: return Pointer(at, Press(upward ? 4 : 5));
        case Act::kDrag:
            return Pointer(at, "mousedown 1 mousemove_relative -- 0 " + up + std::to_string(kDragPixels / 2) +
                                   " mousemove_relative -- 0 " + up + std::to_string(kDragPixels / 2) + " mouseup 1");
    }
}

void ClickSweepTest::CheckMoved(int index, const Row& row, double before, bool upward) {
    const Parameter& p = *vardo->Params().Get(index);
    const double moved = Plain(index) - p.FromNormalized(before);
    EXPECT_GT(upward ? moved : -moved, 0.0) << "moved by " << moved;
    if (row.act != Act::kWheel) return;
    // One notch: one step where the value moves in whole steps, else a hundredth of the range.
    if (p.MovesInWholeSteps())
        EXPECT_NEAR(std::abs(moved), p.Step(), p.Step() / 10) << "a notch moved " << moved;  // a host reads floats
    else
        EXPECT_NEAR(std::abs(host->GetParameter(index) - before), kWheelStep, kWheelStep / 10) << "moved by " << moved;
}

void ClickSweepTest::Run(const Row& row, int cell) {
    const int skin = row.skin == kSettingsSkin ? row.skin : row.skin + cell;
    const std::vector<float> initial = Parameters();
    const uint64_t initiallyShown = row.shown >= 0 ? Shown(Skin(row.shown)) : 0;
    if (row.pre >= 0) {
        ClickOn(row.pre);
        if (row.shown >= 0)
            ASSERT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) != initiallyShown; })) << "not shown by " << row.pre;
        else
            Sync(skin);
        std::this_thread::sleep_for(kSettleTime);  // the editor shows what the click chose at its next tick
    }
    const std::vector<float> before = Parameters();
    const std::vector<uint8_t> state = host->GetChunk(0);
    const uint64_t shown = row.shown >= 0 ? Shown(Skin(row.shown)) : 0;
    const Point at = Target(row, cell);
    const int index = Param(row, cell);
    const bool upward = index < 0 || before[static_cast<std::size_t>(index)] < 0.5;
    std::set<int> expected = {index};
    ForgetWindowNews();
    const std::size_t sentBefore = host->Sent().size();
    std::filesystem::remove(OpenedPage());
    // The tools whose effect needs something to act on click within their sequence.
    const bool inSequence = row.effect == Effect::kClears || row.effect == Effect::kCopiesLane ||
                            row.effect == Effect::kClearsChord || row.effect == Effect::kCopiesChord;
    if (!inSequence) Perform(row, at, upward);
    switch (row.effect) {
        case Effect::kToggles:
        case Effect::kMoves:
        case Effect::kSelects:
        case Effect::kNothing:
            Sync(skin);
            if (row.effect == Effect::kToggles) {
                EXPECT_EQ(host->GetParameter(index), 1.0f - before[static_cast<std::size_t>(index)]);
            } else if (row.effect == Effect::kSelects) {
                EXPECT_EQ(Plain(index), row.button);
            } else if (row.effect == Effect::kMoves) {
                CheckMoved(index, row, before[static_cast<std::size_t>(index)], upward);
            } else {
                host->ProcessBlock(64);
                const std::vector<SentMidi> sent = host->Sent();
                EXPECT_EQ(std::count_if(sent.begin() + std::ptrdiff_t(sentBefore), sent.end(),
                                        [](const SentMidi& m) { return m.Kind() == 0xB && m.data1 == 123; }), 0)
                    << "all notes off sent";
                std::this_thread::sleep_for(kPanelTime);  // a panel or page opened would show by now
                if (row.shown >= 0)
                    EXPECT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) == shown; })) << "what shows changed";
                EXPECT_FALSE(std::filesystem::exists(OpenedPage())) << "a page opened";
            }
            break;
        case Effect::kDraws:
            Sync(skin);
            expected = {StepOf(kLane, kGridColumn)};
            EXPECT_NE(host->GetParameter(StepOf(kLane, kGridColumn)), before[std::size_t(StepOf(kLane, kGridColumn))]);
            break;
        case Effect::kShowsLane: {
            Sync(skin);
            EXPECT_EQ(Plain(index), row.button);
            const int lane = row.skin == kCcTabsSkin ? kFirstControllerLane + row.button
                             : row.button == kProbTab   ? kProbLane
                                                        : row.button;
            ClickAt(GridPoint());
            Sync(skin);
            const int step = StepOf(lane, kGridColumn);
            expected = {index, step};
            EXPECT_NE(host->GetParameter(step), before[static_cast<std::size_t>(step)]) << "lane " << lane << " not drawn";
            break;
        }
        case Effect::kSelectionTool: {
            Sync(skin);
            EXPECT_EQ(Plain(index), 1.0);
            const uint64_t grid = Shown(Skin(kPatternViewSkin));
            Pointer(GridPoint(2), "mousedown 1 mousemove_relative 30 0 mousemove_relative 30 0 mouseup 1");
            Sync(skin);
            expected = {kSelectionTool, kDrawTool};
            EXPECT_TRUE(Eventually([&] { return Shown(Skin(kPatternViewSkin)) != grid; })) << "no selection shown";
            break;
        }
        case Effect::kDrawTool:
            Sync(skin);
            EXPECT_EQ(Plain(index), 1.0);
            ClickAt(GridPoint());
            Sync(skin);
            expected = {kSelectionTool, kDrawTool, StepOf(kLane, kGridColumn)};
            EXPECT_NE(host->GetParameter(StepOf(kLane, kGridColumn)), before[std::size_t(StepOf(kLane, kGridColumn))]);
            break;
        case Effect::kRandomizes: {
            Sync(skin);
            expected.clear();
            for (int step = 0; step < kSteps; ++step) expected.insert(StepOf(kLane, step));
            EXPECT_FALSE(Changed(before).empty()) << "no step changed";
            break;
        }
        case Effect::kClears:
        case Effect::kCopiesLane: {
            // Draw, then (copy, undo by hand, paste | clear).
            ClickAt(GridPoint());
            Sync(skin);
            const int step = StepOf(kLane, kGridColumn);
            const float drawn = host->GetParameter(step);
            ASSERT_NE(drawn, before[static_cast<std::size_t>(step)]) << "nothing drawn";
            expected = {step};
            if (row.effect == Effect::kClears) {
                ClickOn(row.skin);
                Sync(skin);
                EXPECT_EQ(Plain(step), 0.0);
                break;
            }
            ClickOn(kCopyToolSkin);
            Sync(skin);
            host->SetParameter(step, before[static_cast<std::size_t>(step)]);
            ClickOn(kPasteToolSkin);
            Sync(skin);
            EXPECT_EQ(host->GetParameter(step), drawn);
            break;
        }
        case Effect::kShowsPanel:
            EXPECT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) != shown; })) << "nothing opened";
            ClickAgain(at);
            EXPECT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) == shown; })) << "it did not close";
            Sync(skin);
            expected.clear();
            break;
        case Effect::kClosesPanel:
            EXPECT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) == initiallyShown; })) << "it did not close";
            Sync(skin);
            expected.clear();
            break;
        case Effect::kShowsName:
            EXPECT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) != shown; })) << "the name stayed";
            Persistence().WaitUntilIdle();  // the preset is loaded
            Sync(skin);
            expected.clear();  // a preset of its own
            for (int i = 0; i < kCount; ++i) expected.insert(i);
            break;
        case Effect::kOpensMenu: {
            const IRECT menu = MenuOpened();
            const IRECT r = Skin(row.skin);
            if (!menu.Empty()) {
                XvfbServer::Instance().Xdotool("key Escape");
                EXPECT_EQ(menu.T, r.B) << "menu at " << menu << " for " << r;
                EXPECT_TRUE(menu.L >= r.L && menu.L <= at.x) << "menu at " << menu << " for " << r;
            }
            EXPECT_FALSE(menu.Empty()) << "no menu";
            Sync(skin);
            expected.clear();
            break;
        }
        case Effect::kChangesState:
            Sync(skin);
            EXPECT_NE(host->GetChunk(0), state);
            expected.clear();
            break;
        case Effect::kClearsChord:
        case Effect::kCopiesChord: {
            // A note put on the keyboard, then (copied,) cleared (and pasted): the keys show
            // whether the slot holds it, and the state saved with it changes each time.
            const IRECT keys = Skin(kKeyboardSkin);
            const uint64_t empty = keysEmpty_;
            const auto shows = [&](uint64_t look) { return Eventually([&] { return Shown(keys) == look; }); };
            ASSERT_TRUE(shows(empty)) << "the slot was not empty";
            ClickAt(Target({.skin = kKeyboardSkin}, 0));
            Sync(skin);
            ASSERT_TRUE(Eventually([&] { return Shown(keys) != empty; })) << "the keyboard put no note";
            const uint64_t withNote = Shown(keys);
            if (row.effect == Effect::kCopiesChord) {
                ClickOn(kCmCopySkin);
                Sync(skin);
            }
            std::vector<uint8_t> saved = host->GetChunk(0);
            ClickOn(kCmClearSkin);
            Sync(skin);
            EXPECT_TRUE(shows(empty)) << "not cleared";
            EXPECT_NE(host->GetChunk(0), saved);
            if (row.effect == Effect::kCopiesChord) {
                saved = host->GetChunk(0);
                ClickOn(kCmPasteSkin);
                Sync(skin);
                EXPECT_TRUE(shows(withNote)) << "not pasted";
                EXPECT_NE(host->GetChunk(0), saved);
            }
            expected.clear();
            break;
        }
        case Effect::kResizes:
            EXPECT_TRUE(Eventually([&] { return WindowHeight() == VardoEditor::kCompactHeight; })) << WindowHeight();
            ClickAgain(at);
            EXPECT_TRUE(Eventually([&] { return WindowHeight() == VardoEditor::kFullHeight; })) << WindowHeight();
            Sync(skin);
            expected = {kResize};
            break;
        case Effect::kPanics: {
            Sync(skin);
            host->ProcessBlock(64);
            std::set<int> ended;
            const std::vector<SentMidi> sent = host->Sent();
            for (std::size_t i = sentBefore; i < sent.size(); ++i)
                if (sent[i].Kind() == 0xB && sent[i].data1 == 123) ended.insert(sent[i].Channel());
            EXPECT_EQ(ended.size(), 16u) << "all notes off on " << ended.size() << " channels";
            expected.clear();
            break;
        }
        case Effect::kOpensLink:
            EXPECT_TRUE(Eventually([&] {
                std::error_code error;
                return std::filesystem::file_size(OpenedPage(), error) > 1 && !error;
            })) << "no page";
            Sync(skin);
            expected.clear();
            break;
    }
    if (row.closesAfter) {
        ClickOn(row.pre);
        EXPECT_TRUE(Eventually([&] { return Shown(Skin(row.shown)) == initiallyShown; })) << "it did not close";
        Sync(skin);
    }
    if (row.post >= 0) {
        ClickAt(Target({.skin = row.post}, 0));
        Sync(skin);
    }
    std::string unexpected;
    for (const int i : Changed(before))
        if (!expected.count(i)) unexpected += " " + vardo->Params().Get(i)->Name();
    EXPECT_EQ(unexpected, "") << "changed besides";
    Restore(initial);
}

// The table and the composition hold the same skin entries: a control the
// editor places without a row would go unswept.
TEST_F(EditorTest, EveryComposedSkinEntryHasASweepRow) {
    std::set<int> rows;
    for (const Row& row : kRows)
        for (int cell = 0; cell < row.cells; ++cell) rows.insert(row.skin + (row.skin == kSettingsSkin ? 0 : cell));
    std::set<int> composed = editor->ComposedSkinEntries();
    composed.insert(kAboutBoxSkin);  // laid over the whole window rather than at its entry
    EXPECT_EQ(rows, composed);
}

// A musician clicks the PROB tab and draws a falling ramp of chances; the
// state saved then plays fewer notes the further the ramp has fallen.
TEST_F(ClickSweepTest, ARampDrawnOnThePROBLaneThinsTheNotesAlongIt) {
    ASSERT_TRUE(Open());
    SetFromHost(kKeyAreaSelection, 0);
    SetFromHost(kKeyAreaPatterns, 0);
    std::this_thread::sleep_for(kSettleTime);
    const IRECT tabs = ControlRect(kLaneTabsSkin);
    const int tabWidth = tabs.W() / (kProbTab + 1);
    ClickAt({tabs.L + kProbTab * tabWidth + tabWidth / 2, (tabs.T + tabs.B) / 2});
    // Read through the host's side: the editor's own model is the editor thread's.
    ASSERT_TRUE(Eventually([&] { return host->ParameterDisplay(kPatternStepMode) == "PROB"; }))
        << "the PROB tab did not select its lane: " << host->ParameterDisplay(kPatternStepMode);
    // Down the grid from the top of the first step to the foot of the last.
    const IRECT grid = Skin(kPatternViewSkin);
    const int columnPitch = 24, valueHeight = 111;
    std::string drag;
    for (int step = 0; step < kSteps; ++step) {
        const int x = grid.L + columnPitch * step + columnPitch / 2, y = grid.T + valueHeight * step / (kSteps - 1);
        drag += "mousemove --window " + std::to_string(EditorWindow()) + " " + std::to_string(x) + " " +
                std::to_string(y) + (step == 0 ? " mousedown 1 " : " ");
    }
    ASSERT_TRUE(XvfbServer::Instance().Xdotool(drag + "mouseup 1"));
    Sync(kLaneTabsSkin);
    const auto chance = [&](int step) { return vardo->Params().Value(PerStep(kStepProb, 0, 0, step)); };
    EXPECT_GE(chance(0), 95.0);
    EXPECT_LE(chance(kSteps - 1), 5.0);
    const std::vector<uint8_t> saved = host->GetChunk(1);

    TestHost player(&EntryWithEditor);
    ASSERT_TRUE(player.CreateAndOpen(512));
    ASSERT_TRUE(player.SetChunk(1, saved));
    constexpr int kPasses = 60, kSamplesPerStep = 6000;
    player.NoteOn(0, 1, 40, 100);
    player.ProcessBlocks(kPasses * kSteps * kSamplesPerStep / 512, 512);
    std::array<int, 4> perQuarter{};
    for (const SentMidi& m : NoteOns(player.Sent()))
        ++perQuarter[std::size_t((m.block * 512 + m.offset) / kSamplesPerStep % kSteps / (kSteps / 4))];
    SCOPED_TRACE(::testing::Message() << perQuarter[0] << " " << perQuarter[1] << " " << perQuarter[2] << " "
                                      << perQuarter[3]);
    EXPECT_GT(perQuarter[0], kPasses * 8 * 8 / 10);
    for (std::size_t q = 1; q < perQuarter.size(); ++q) EXPECT_LT(perQuarter[q], perQuarter[q - 1]);
    EXPECT_LT(perQuarter[3], kPasses * 8 * 2 / 10);
}

// Each row in turn, in one window that stays open.
TEST_F(ClickSweepTest, EveryControlDoesWhatItsKindSaysThroughARealPointer) {
    ASSERT_TRUE(Open());
    for (const Row& row : kRows) {
        for (int cell = 0; cell < row.cells; ++cell) {
            SCOPED_TRACE("skin " + std::to_string(row.skin + (row.skin == kSettingsSkin ? 0 : cell)) + " cell " +
                         std::to_string(cell) + " act " + std::to_string(int(row.act)));
            Run(row, cell);
        }
    }
}

}  // namespace
}  // namespace sorel::test
