// The pattern view driven as the window host drives it: mouse events in,
// step values read back through the VST 2 interface, pixels out.
#include "EditorFixture.h"
#include "editor/PatternView.h"
#include "editor/SceneView.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "frame/NoteMarks.h"

#include <cmath>
#include <functional>

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kViewSkin = 36;
constexpr int kOrder = 0, kChordMemory = 1, kLength = 2, kGateLane = 3, kAccent = 4, kTransp = 5, kDiv = 6,
              kShift = 7, kChord = 8, kFirstCc = 9, kLastCc = 16;
const int kBarLanes[] = {kLength, kGateLane, kAccent, kTransp, kDiv, kShift, kFirstCc, kLastCc};
const int kEveryLane[] = {kOrder, kChordMemory, kLength, kGateLane, kTransp, kDiv, kChord, kFirstCc, kLastCc};

class PatternViewTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        view = dynamic_cast<PatternView*>(At(kViewSkin));
        ASSERT_NE(view, nullptr);
        grid = Skin(kViewSkin);
    }
    void ShowLane(int lane) {
        if (lane < kFirstControllerLane)
            SetFromHost(kPatternStepMode, lane);
        else
            SetFromHost(kPatternCcSelection, lane - kFirstControllerLane);
        Redraw();
        ASSERT_EQ(view->Shown().lane, lane);
    }
    int Index(int lane, int step) const { return StepValue(0, 0, lane, step); }
    const Parameter& Param(int lane, int step) const { return *vardo->Params().Get(Index(lane, step)); }
    // What the host reads, as a plain value.
    double Read(int lane, int step) { return Param(lane, step).FromNormalized(host->GetParameter(Index(lane, step))); }
    void Write(int lane, int step, double plain) { SetFromHost(Index(lane, step), plain); }
    double Pixel(int lane) const { return (Param(lane, 0).Maximum() - Param(lane, 0).Minimum()) / PatternView::kValueHeight; }
    int X(int step) const { return grid.L + 1 + PatternView::kColumnPitch * step + PatternView::kBarWidth / 2; }
    int Bottom() const { return grid.T + PatternView::kValueHeight; }
    // The middle of box `box` of `count` stacked from the bottom.
    int BoxY(int box, int count) const {
        return Bottom() - (PatternView::kValueHeight * box / count + PatternView::kValueHeight * (box + 1) / count) / 2;
    }
    int CellY(int bit) const { return grid.T + 6 + 14 * bit; }
    // The bar of a step's column between two heights.
    IRECT Column(int step, int top, int bottom) const {
        const int left = grid.L + 1 + PatternView::kColumnPitch * step;
        return {left, top, left + PatternView::kBarWidth, bottom};
    }

    PatternView* view = nullptr;
    IRECT grid;
};

// The first pattern's dot over its button shows once the pattern holds values.
TEST_F(PatternViewTest, AClickOnABarLaneSetsTheValueUnderTheMouse) {
    const IRECT dot{grid.L + 77, grid.T - 54, grid.L + 80, grid.T - 51};
    const uint64_t bare = Pixels(dot);
    for (int lane : kBarLanes) {
        SCOPED_TRACE(lane);
        ShowLane(lane);
        const Parameter& p = Param(lane, 4);
        const double tolerance = 2 * Pixel(lane) + (p.Kind() == ParamKind::Double ? 0.0 : 1.0);
        const struct { int y; double expected; } kClicks[] = {
            {grid.T, p.Maximum()},
            {grid.T - 15, p.Maximum()},  // above the grid: clamped, never past the top
            {grid.T + PatternView::kValueHeight / 2, (p.Maximum() + p.Minimum()) / 2},  // a two-sided bar's zero
            {Bottom() - 1, p.Minimum()},
            {grid.T + 118, p.Minimum()},  // below the grid: clamped, never below the bottom
        };
        for (const auto& click : kClicks) {
            Click(X(4), click.y);
            EXPECT_NEAR(Read(lane, 4), click.expected, tolerance) << "y " << click.y;
            EXPECT_GE(Read(lane, 4), p.Minimum());
        }
        EXPECT_DOUBLE_EQ(Read(lane, 3), p.Default()) << "a neighbour stays";
    }
    Redraw();
    EXPECT_NE(Pixels(dot), bare);
}

TEST_F(PatternViewTest, BoxesFillOnClickAndClearWhenClickedFilledAndCellsToggle) {
    for (int lane : {kOrder, kChordMemory}) {
        SCOPED_TRACE(lane);
        ShowLane(lane);
        const int count = static_cast<int>(Param(lane, 0).Maximum() - Param(lane, 0).Minimum());
        Click(X(2), BoxY(2, count));
        EXPECT_EQ(Read(lane, 2), 3);
        Click(X(2), BoxY(2, count));
        EXPECT_EQ(Read(lane, 2), 0) << "a click on the filled box clears it";
        Click(X(2), BoxY(count - 1, count));
        EXPECT_EQ(Read(lane, 2), count);
        // A drag across the boxes sets each one touched and never clears; staying inside one changes it once.
        DragAlong({{X(6), BoxY(0, count)}, {X(6), BoxY(0, count) - 1}, {X(6), BoxY(1, count)}, {X(6), BoxY(3, count)},
                   {X(6), BoxY(3, count) + 1}});
        EXPECT_EQ(Read(lane, 6), 4);
    }
    // The sequence lane's cells toggle their bit once per visit.
    ShowLane(kChord);
    const struct { std::vector<std::pair<int, int>> path; int expected; } kGestures[] = {
        {{{X(5), CellY(0)}}, 1},
        {{{X(5), CellY(7)}}, 129},
        {{{X(5), CellY(7)}, {X(5), CellY(7) + 2}, {X(5), CellY(7) - 2}}, 1},  // one cell, one toggle
        {{{X(5), CellY(1)}, {X(5), CellY(2)}, {X(5), CellY(3)}}, 15},
        {{{X(5), CellY(0)}}, 14},
    };
    for (const auto& gesture : kGestures) {
        DragAlong(gesture.path);
        EXPECT_EQ(Read(kChord, 5), gesture.expected);
    }
}

// Each step is drawn in its own column: the copies change theirs, step 20's stays.
TEST_F(PatternViewTest, CtrlDragCopiesTheFirstStepOnEveryLaneKind) {
    for (int lane : kEveryLane) {
        SCOPED_TRACE(lane);
        ShowLane(lane);
        const Parameter& p = Param(lane, 1);
        const double source = p.Kind() == ParamKind::Double ? p.Minimum() + (p.Maximum() - p.Minimum()) * 0.3 : 3.0;
        Write(lane, 1, source);
        const double before = Read(lane, 1);
        const auto column = [&](int step) { return Pixels(Column(step, grid.T, Bottom())); };
        const uint64_t other = column(20), copy = column(6);
        std::vector<std::pair<int, int>> path;
        for (int step = 1; step <= 8; ++step) path.push_back({X(step), grid.T + 40});
        path.push_back({X(1), grid.T + 90});
        DragAlong(path, kLeftCtrl);
        EXPECT_DOUBLE_EQ(Read(lane, 1), before) << "returning over the source changes nothing";
        for (int step = 2; step <= 8; ++step) EXPECT_NEAR(Read(lane, step), before, 1e-4) << step;
        EXPECT_DOUBLE_EQ(Read(lane, 9), p.Default());
        Redraw();
        EXPECT_NE(column(6), copy);
        EXPECT_EQ(column(20), other);
    }
}

// A double click (no notches) returns a step to the lowest or the middle; the
// wheel moves whole units, with Ctrl a twentieth of the range.
TEST_F(PatternViewTest, DoubleClickAndWheelMoveAStepByItsLanesRules) {
    const struct { int lane; int notches; bool ctrl; double start, expected; } kRows[] = {
        {kTransp, 0, false, 12, 0},   {kGateLane, 0, false, 80, 0}, {kShift, 0, false, -20, 0},
        {kLength, 0, false, 6, 1},    {kAccent, 0, false, 50, 0},   {kDiv, 0, false, 5, 0},
        {kFirstCc, 0, false, 90, 0},  {kOrder, 0, false, 4, 0},
        {kChord, 0, false, 77, 77},   // no double click on the sequence cells
        {kGateLane, 1, true, 0, 10},  // range 200
        {kGateLane, -2, true, 0, -20},
        {kLength, 1, true, 3, 4},     // range 7: at least one unit
        {kDiv, -1, true, 3, 2},       {kTransp, 1, false, 0, 1},    {kFirstCc, 3, false, 10, 13},
        {kLength, -1, false, 1, 1},   // the lowest stays the lowest, never 0
        {kGateLane, 5, true, 90, 100},  // and the top stays the top
        {kChord, 1, false, 9, 9},     // no wheel on the sequence cells
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.lane);
        ShowLane(row.lane);
        Write(row.lane, 10, row.start);
        if (row.notches == 0)
            editor->OnMouseDblClick(X(10), grid.T + 50, kLeft);
        else
            editor->OnMouseWheel(X(10), grid.T + 50, row.ctrl ? kCtrl : kNone, row.notches);
        EXPECT_NEAR(Read(row.lane, 10), row.expected, 0.01) << row.notches;
    }
}

// Columns share their edges; nothing outside them changes a step.
TEST_F(PatternViewTest, NothingOutsideTheColumnsChangesAStep) {
    for (int step = 0; step < kSteps; ++step)
        for (int x : {Column(step, 0, 0).L, Column(step, 0, 0).L + PatternView::kColumnPitch - 1})
            EXPECT_EQ(std::pair(view->ColumnUnder(x, grid.T + 10), view->ExactColumn(x, grid.T + 10)), std::pair(step, step)) << x;
    EXPECT_EQ(std::pair(view->ColumnUnder(X(3), grid.T - 5), view->ExactColumn(X(3), grid.T - 5)), std::pair(3, PatternView::kNoStep));
    const int rightOfLast = grid.L + 1 + PatternView::kColumnPitch * PatternView::kColumns + 2;
    // (x, y) inside the view's target but outside every column.
    const std::pair<int, int> kPlaces[] = {{X(24), grid.T - 40}, {rightOfLast, grid.T + 50}, {grid.L, grid.T + 50}};
    EXPECT_EQ(editor->ControlAt(X(24), grid.T - 40), view) << "the target reaches above the grid";
    for (int lane : kEveryLane) {
        SCOPED_TRACE(lane);
        ShowLane(lane);
        for (const auto& [x, y] : kPlaces) {
            if (editor->ControlAt(x, y) != view) continue;
            Click(x, y);
            editor->OnMouseDblClick(x, y, kLeft);
            editor->OnMouseWheel(x, y, kNone, 1);
            DragAlong({{x, y}, {x, y - 5}, {x, y + 5}});
        }
        for (int step = 0; step < kSteps; ++step) EXPECT_DOUBLE_EQ(Read(lane, step), Param(lane, step).Default()) << step;
    }
}

TEST_F(PatternViewTest, TheSelectionToolSelectsADraggedRangeAndChangesNoStep) {
    ShowLane(kGateLane);
    SetFromHost(kSelectionTool, 1);
    Redraw();
    ASSERT_EQ(view->CurrentTool(), PatternView::Tool::kSelection);
    DragAlong({{X(5), grid.T + 50}, {X(7), grid.T + 10}, {X(9), grid.T + 90}, {X(3), grid.T + 90}, {X(9), grid.T + 50}});
    EXPECT_EQ(std::pair(view->SelectionStart(), view->SelectionEnd()), std::pair(5, 9));
    for (int step = 0; step < kSteps; ++step) EXPECT_DOUBLE_EQ(Read(kGateLane, step), 0.0);
    const uint64_t before = Pixels(grid);
    Redraw();
    EXPECT_NE(Pixels(grid), before) << "the selection pulses";

    // The tool buttons and the step menu act on the steps the view shows selected.
    std::vector<double> expected;
    for (int step = 0; step < kSteps; ++step) Write(kGateLane, step, expected.emplace_back(step));
    const auto selectTheLastSteps = [&] { DragAlong({{X(29), grid.T + 50}, {X(31), grid.T + 50}}); };
    const float pastTheLast = host->GetParameter(Index(kGateLane, kSteps - 1) + 1);
    const struct { const char* what; std::function<void()> act; int first, last; double value, rise; } kActions[] = {
        {"copy 5..9", [&] { ClickSkin(132); }, 0, -1, 0, 0},
        {"paste at 29 stops at the last step", [&] { selectTheLastSteps(); ClickSkin(133); }, 29, 31, 5, 1},
        {"clear tool", [&] { ClickSkin(134); }, 29, 31, 0, 0},
        {"copy step 3 to all", [&] { vardo->SetMenuTarget(Index(kGateLane, 3)); SetFromHost(kResetStepsMenu, 3); }, 29, 31, 3, 0},
        {"reset steps", [&] { SetFromHost(kResetStepsMenu, 4); }, 29, 31, 0, 0},
    };
    for (const auto& action : kActions) {
        action.act();
        for (int step = action.first; step <= action.last; ++step)
            expected[std::size_t(step)] = action.value + action.rise * (step - action.first);
        for (int step = 0; step < kSteps; ++step) EXPECT_NEAR(Read(kGateLane, step), expected[std::size_t(step)], 0.01) << action.what << " " << step;
        EXPECT_EQ(host->GetParameter(Index(kGateLane, kSteps - 1) + 1), pastTheLast) << action.what;
    }
}

TEST_F(PatternViewTest, AChordPlayedShowsItsMarksAtTheirNotesAndThePlayMarker) {
    ShowLane(kGateLane);
    const auto marker = [&](int step) { return Pixels(Column(step, grid.T, grid.T + 4)); };
    const auto mark = [&](int note) {  // on step 1
        const int y = grid.T + 107 - static_cast<int>(std::lround(note * 107.0 / 127));
        return Pixels(Column(1, y, y + 8));
    };
    const int notes[] = {48, 64, 79};
    // Step 1's bar has its number where the mark of its note, 48, lands.
    Write(kGateLane, 1, -58);
    Redraw();
    const IRECT label = Column(1, grid.T + 60, grid.T + 82);
    const auto whitePixels = [&] {
        std::vector<bool> white;
        for (int y = label.T; y < label.B; ++y)
            for (int x = label.L; x < label.R; ++x)
                white.push_back(editor->Canvas().PixelAt(x, y).R > 200 && editor->Canvas().PixelAt(x, y).G > 200);
        return white;
    };
    const std::vector<bool> labelAlone = whitePixels();
    std::vector<uint64_t> idleMarkers, idleMarks;
    for (int step = 0; step < 4; ++step) idleMarkers.push_back(marker(step));
    for (int note = 0; note < 128; ++note) idleMarks.push_back(mark(note));
    host->transport.playing = true;
    for (int note : notes) host->NoteOn(0, 1, note, 100);
    for (int block = 0; block < 200 && vardo->Marks().PlayingStep(0) < 1; ++block) host->ProcessBlock(256);
    ASSERT_EQ(vardo->Marks().PlayingStep(0), 1);
    Redraw();
    // Every note played on step 1 (the output notes) is marked at its height, and far from it nothing.
    std::vector<int> marked;
    for (int note = 0; note < 128; ++note)
        if (vardo->Marks().StateOf(0, 1, note) != NoteMarks::State::kNone) marked.push_back(note);
    ASSERT_FALSE(marked.empty());
    for (int note : marked) EXPECT_NE(mark(note), idleMarks.at(note)) << note;
    EXPECT_EQ(mark((marked.front() + 64) % 128), idleMarks.at((marked.front() + 64) % 128));
    EXPECT_NE(marker(1), idleMarkers[1]);
    EXPECT_EQ(marker(3), idleMarkers[3]);
    const std::vector<bool> labelOverMarks = whitePixels();
    int covered = 0;
    for (std::size_t i = 0; i < labelAlone.size(); ++i) covered += labelAlone[i] && !labelOverMarks[i];
    EXPECT_EQ(covered, 0) << "the marks leave the bar's number readable";
    // Released marks fade by the clock, even with nobody drawing them.
    for (int note : notes) host->NoteOff(0, 1, note);
    host->transport.playing = false;
    for (int tick = 0; tick <= VardoEditor::kNoteInTicks; ++tick) Redraw();  // the incoming-note lights go out
    SetFromHost(kSceneOnOff, 1);  // the scene view in the window's corner blinks meanwhile
    for (int tick = 0; tick < 3; ++tick) {
        host->ProcessBlocks(20, 512);
        editor->OnTimer();
        std::vector<IRECT> areas;
        editor->DirtyAreas(areas);
        EXPECT_GE(areas.size(), 2u) << "fading marks and the blinking scene are drawn apart";
        for (const IRECT& a : areas) EXPECT_TRUE(a.Intersect(grid).Empty() || a.Intersect(Skin(118)).Empty());
        Redraw();
    }
    const IRECT around{grid.L - 1, grid.T - 8, grid.R + 4, VardoEditor::kCompactHeight};
    EXPECT_GE(view->GetDrawRECT().B, Skin(37).B + 10) << "the step numbers under the step switches are redrawn too";
    EXPECT_LE(view->GetDrawRECT().B, around.B);
    const uint64_t fading = Pixels(around);
    view->SetDirty(false);
    Redraw();
    EXPECT_EQ(Pixels(around), fading) << "the columns redrawn alone look as in a full redraw";
    host->ProcessBlocks(400, 512);
    for (int note : marked) EXPECT_EQ(vardo->Marks().StateOf(0, 1, note), NoteMarks::State::kNone) << note;
    Redraw();
    for (int note : marked) EXPECT_EQ(mark(note), idleMarks.at(note)) << note;
    EXPECT_EQ(marker(1), idleMarkers[1]);
}

// The scene view under the scene cells: a click sets the scene end, the
// playing scene step blinks while the scene is on.
TEST_F(EditorTest, TheSceneViewSetsTheEndAndBlinksThePlayingStep) {
    const IRECT scene = Skin(118);
    const auto columnX = [&](int column) { return scene.L + 2 + SceneView::kCellWidth * column + 8; };
    const int barY = scene.B - 9;
    constexpr IColor kBar{255, 112, 154, 225};
    const struct { int x; int end; } kClicks[] = {
        {columnX(3), 3},
        {columnX(15), 15},
        {scene.L + 2 + SceneView::kCellWidth * 16 + 1, 15},  // right of the last column: nothing
        {scene.L + 1, 15},                                    // left of the first: nothing
        {columnX(0), 0},
    };
    for (const auto& click : kClicks) {
        SCOPED_TRACE(click.x);
        ASSERT_NE(dynamic_cast<SceneView*>(editor->ControlAt(click.x, barY)), nullptr);
        Click(click.x, barY);
        Redraw();
        EXPECT_EQ(vardo->Params().Get(kSceneEnd)->FromNormalized(host->GetParameter(kSceneEnd)), click.end);
        EXPECT_EQ(editor->Canvas().PixelAt(columnX(click.end), barY), kBar);
        EXPECT_TRUE(click.end == 15 || editor->Canvas().PixelAt(columnX(click.end + 1), barY) != kBar);
    }
    const IRECT column{scene.L + 2, scene.T + 2, scene.L + 19, scene.B - 15};
    const uint64_t off = Pixels(column);
    int lit = 0;
    for (const bool on : {false, true, false}) {
        SetFromHost(kSceneOnOff, on);
        for (int frame = 0; frame < SceneView::kBlinkPeriod * 2; ++frame) {
            Redraw();
            lit += Pixels(column) != off;
        }
    }
    EXPECT_EQ(lit, SceneView::kBlinkPeriod) << "lit half the time, only while on";
}

// The scene step the engine moves to as the host plays, with no parameter
// changed, is the one the scene view lights: read from what the blocks leave.
TEST_F(EditorTest, TheSceneViewLightsTheSceneStepTheBlocksReached) {
    const IRECT scene = Skin(118);
    const auto cell = [&](int column) {
        const int x = scene.L + 2 + SceneView::kCellWidth * column + 8;
        return Pixels({x, scene.T + 5, x + 1, scene.T + 6});
    };
    const auto litColumns = [&](const std::vector<uint64_t>& dark) {
        std::vector<int> lit;
        for (int column = 0; column < kSceneSteps; ++column) {
            bool shown = false;
            for (int frame = 0; frame < SceneView::kBlinkPeriod; ++frame) {
                Redraw();
                shown = shown || cell(column) != dark[static_cast<std::size_t>(column)];
            }
            if (shown) lit.push_back(column);
        }
        return lit;
    };
    Redraw();
    std::vector<uint64_t> dark;
    for (int column = 0; column < kSceneSteps; ++column) dark.push_back(cell(column));
    host->transport.playing = true;
    host->NoteOn(0, 1, 48, 100);
    for (int block = 0; block < 200 && vardo->Marks().PlayingStep(0) < 1; ++block) host->ProcessBlock(256);
    ASSERT_GE(vardo->Marks().PlayingStep(0), 1);
    SetFromHost(kSceneEnd, 15);
    SetFromHost(kSceneOnOff, 1);
    const PatternEngine& area = *vardo->App().Area(0);
    for (int reached : {1, 2}) {
        for (int block = 0; block < 4000 && area.SceneIndex() != reached; ++block) host->ProcessBlock(256);
        ASSERT_EQ(area.SceneIndex(), reached);
        EXPECT_EQ(litColumns(dark), std::vector<int>{reached});
    }
    host->NoteOff(0, 1, 48);
}

}  // namespace
}  // namespace sorel::test
