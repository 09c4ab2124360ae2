#include "editor/PatternView.h"

#include "editor/ControlContext.h"
#include "editor/HintText.h"
#include "engine/ParameterIndex.h"
#include "frame/NoteMarks.h"
#include "frame/Parameter.h"
#include "graphics/IGraphics.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>

namespace sorel {

namespace {

constexpr IColor kBarFill{215, 132, 174, 225};
constexpr IColor kBarFillDark{215, 106, 166, 236};
constexpr IColor kBoxOutline{215, 132, 174, 225};
constexpr IColor kBoxFill{235, 132, 174, 225};
constexpr IColor kBoxFillDark{180, 106, 166, 236};
constexpr IColor kLoopShade{100, 132, 174, 225};
constexpr IColor kPlayMarker{215, 106, 166, 236};
constexpr IColor kBracket{215, 132, 174, 225};
constexpr IColor kLaneOnMarker{125, 0, 200, 0};
constexpr IColor kLaneOffMarker{225, 200, 34, 34};
constexpr IColor kPatternDot{115, 255, 255, 255};

constexpr int kCellPitch = 14;
constexpr int kStepsPerGroup = 4;      // the colour changes every four steps
constexpr int kBarClipY = 403;         // no bar reaches below the grid's frame
constexpr int kNumberPoints = 10;
constexpr int kValuePoints = 12;
constexpr int kLabelHeight = 14;       // a value label keeps this much room on a short bar
constexpr int kNumbersBelow = 17;      // the step numbers sit under the step switches
constexpr int kNumberHeight = 11;
constexpr int kPlayMarkerHeight = 4;
constexpr int kBracketGap = 3;         // between the bracket and the grid
constexpr int kBracketTick = 3;
constexpr int kMarkerSize = 3;
constexpr int kMarkWidth = 21;
constexpr int kMarkHeight = 8;
constexpr int kMarkSpan = 107;         // the marks' travel from note 0 to note 127
constexpr int kHighestNote = 127;
constexpr double kWheelCtrlParts = 20.0;  // a Ctrl notch moves a twentieth of the range
constexpr double kHighlightRise = 0.3;
constexpr double kHighlightFall = 0.5;
constexpr double kHighlightTop = 30.0;

// Where the selector rows above the grid put their markers.
constexpr int kPatternDotX = 77;
constexpr int kPatternDotPitch = 32;
constexpr int kPatternDotAbove = 54;
constexpr int kLaneMarkerX = 2;
constexpr int kLaneTickX = 55;
constexpr int kLaneMarkerPitch = 60;
constexpr int kLaneMarkerAbove = 33;
constexpr int kCcMarkerX = 648;
constexpr int kCcTickX = 662;
constexpr int kCcMarkerPitch = 20;
constexpr int kCcMarkerY = 256;

constexpr const char* kOrderLabels[] = {"Play", "Off", "Prev", "1st", "Last", "Hi", "Low", "Rnd"};

// A mark's age scaled into the frames of the note-list strip.
int StripFrame(int age) { return age * PatternView::kNoteStripFrames / (NoteMarks::kMaxAge + 1); }

IText LabelStyle(int points) {
    IText style;
    style.size = points;
    style.color = COLOR_WHITE;
    return style;
}

IColor WithAlpha(const IColor& colour, double alpha) {
    return {static_cast<int>(std::clamp(alpha, 0.0, 255.0)), colour.R, colour.G, colour.B};
}

}  // namespace

PatternView::PatternView(ControlContext& context, const IRECT& rect, const IBitmap& noteStrip, const NoteMarks& marks)
    : IControl(context, rect), noteStrip_(noteStrip), marks_(marks) {
    SetTargetRECT({rect.L, rect.T - kHitAbove, rect.R, rect.B});
    SetMenuParamIdx(param::kResetStepsMenu);
}

// --- what the view shows -------------------------------------------------------

PatternView::StepRecord PatternView::StepOf(int lane, int step) const {
    StepRecord record;
    record.index = param::StepValue(shown_.area, shown_.pattern, lane, step);
    if (const Parameter* p = Context().GetParam(record.index)) {
        record.value = p->ShownValue();  // the step the engine plays, as the hint names it
        record.minimum = p->Minimum();
        record.maximum = p->Maximum();
    }
    return record;
}

void PatternView::ShowSelection(const EditorSelection& selection) {
    if (selection == shown_) return;
    shown_ = selection;
    StepChanged();
}

void PatternView::StepChanged() {
    overlayStale_ = true;
    SetDirty(false);
}

void PatternView::ShowLanes(const std::array<LaneLook, kLanes>& lanes) {
    if (std::equal(lanes.begin(), lanes.end(), lanes_.begin(), [](const LaneLook& a, const LaneLook& b) {
            return a.loopStart == b.loopStart && a.loopEnd == b.loopEnd && a.on == b.on;
        }))
        return;
    lanes_ = lanes;
    StepChanged();
}

void PatternView::SetTool(Tool tool) {
    shownTool_ = tool;
    selectionState_ = SelectionState::kIdle;
    SetDirty(false);
}

PatternView::Tool PatternView::CurrentTool() const {
    return Context().Model().CurrentTool() == EditorModel::Tool::Selection ? Tool::kSelection : Tool::kDraw;
}

int PatternView::SelectionStart() const { return Context().Model().SelectionStart(); }
int PatternView::SelectionEnd() const { return Context().Model().SelectionEnd(); }
bool PatternView::Selecting() const { return Context().Model().HasSelection(); }

int PatternView::BoxCount(const StepRecord& record) const {
    return std::max(1, static_cast<int>(std::trunc(record.Range())));
}

IRECT PatternView::Box(int step, int box, int count) const {
    const int x = ColumnX(step);
    return {x, Bottom() - kValueHeight * (box + 1) / count, x + kBarWidth, Bottom() - kValueHeight * box / count};
}

IRECT PatternView::Cell(int step, int bit) const {
    // Eight rows over the 111 pixels: the first 13 high, the others 14.
    const auto rowTop = [this](int row) { return Top() + (row == 0 ? 0 : kCellPitch * row - 1); };
    const int x = ColumnX(step);
    return {x, rowTop(bit), x + kBarWidth, rowTop(bit + 1)};
}

int PatternView::ZeroLine(const StepRecord& record) const {
    if (record.minimum >= 0.0 || !(record.Range() > 0.0)) return kValueHeight;
    return static_cast<int>(std::trunc(-record.minimum / record.Range() * kValueHeight));
}

// --- hit tests ---------------------------------------------------------------------

int PatternView::ColumnUnder(int x, int y) const {
    if (y < Top() - kReachAbove || y >= Top() + kReachBelow) return kNoStep;
    const int offset = x - ColumnX(0);
    if (offset < 0 || offset >= kColumnPitch * kColumns) return kNoStep;
    return offset / kColumnPitch;
}

int PatternView::ExactColumn(int x, int y) const { return y < Top() ? kNoStep : ColumnUnder(x, y); }

int PatternView::MenuParameterAt(int x, int y) const {
    const int step = ExactColumn(x, y);
    return step == kNoStep ? kNoParameter : Step(step).index;
}

IRECT PatternView::PromptRECT(int x, int y) const {
    const int step = ExactColumn(x, y);
    if (step == kNoStep) return IControl::PromptRECT(x, y);
    return {ColumnX(step) - 1, rect_.T, ColumnX(step) + kColumnPitch - 1, rect_.B};
}

// --- the mouse -------------------------------------------------------------------

void PatternView::MarkDirty() {
    fullRedraw_ = true;
    IControl::MarkDirty();
}

bool PatternView::IsDirty() const {
    if (fullRedraw_ || IControl::IsDirty()) return true;
    if (BracketSteps() != drawnBracketSteps_) return true;
    if (ChangedColumns() != 0) return true;
    return Selecting();
}

void PatternView::Send(int step, double normalized) {
    if (step < 0 || step >= kColumns || !std::isfinite(normalized)) return;
    Context().SetParameterFromGUI(Step(step).index, std::clamp(normalized, 0.0, 1.0));
    StepChanged();
}

void PatternView::OnMouseDown(int x, int y, const IMouseMod& mod) {
    SetDirty(false);
    if (mod.C) copySourceStep_ = ColumnUnder(x, y);
    if (mod.R) {
        OpenMenu(x, y);
        return;
    }
    if (!mod.C) EditAt(x, y, 0, 0);
}

void PatternView::OnMouseUp(int x, int y, const IMouseMod& mod) {
    SetDirty(false);
    lastCell_ = {};
    lastBox_ = {};
    copySourceStep_ = kNoStep;
    if (selectionState_ == SelectionState::kDragging) selectionState_ = SelectionState::kReleased;
}

void PatternView::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    SetDirty(false);
    if (mod.C)
        CopyTo(ColumnUnder(x, y));
    else
        EditAt(x, y, dx, dy);
}

void PatternView::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    const int step = ExactColumn(x, y);
    if (shown_.lane == lane::kChord || step == kNoStep) return;
    // Back to the step's reset value: no change for most lanes, a sure step for PROB.
    if (const Parameter* p = Context().GetParam(Step(step).index)) Send(step, p->ToNormalized(p->Default()));
}

void PatternView::OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) {
    const int step = ColumnUnder(x, y);
    if (shown_.lane == lane::kChord || step == kNoStep || notches == 0) return;
    const StepRecord record = Step(step);
    if (!(record.Range() > 0.0)) return;
    double delta = notches;
    if (mod.C) {
        delta = notches * record.Range() / kWheelCtrlParts;
        if (std::abs(delta) < 1.0) delta = notches > 0 ? 1.0 : -1.0;
    }
    Send(step, (record.value - record.minimum + delta) / record.Range());
}

void PatternView::OnMouseOver(int x, int y, const IMouseMod& mod) {
    if (!mouseInside_) SetDirty(false);
    mouseInside_ = true;
}

void PatternView::OnMouseOut() {
    SetDirty(false);
    mouseInside_ = false;
}

void PatternView::EditAt(int x, int y, int dx, int dy) {
    const int step = ColumnUnder(x, y);
    if (CurrentTool() == Tool::kSelection) {
        Select(step, dx);
        return;
    }
    if (step == kNoStep) return;
    if (shown_.lane == lane::kChord)
        ToggleCell(step, x, y);
    else if (shown_.lane == lane::kOrder || shown_.lane == lane::kChordMemory)
        HitBox(step, x, y, dy);
    else
        SetBar(step, y);
}

void PatternView::Select(int column, int dx) {
    if (column == kNoStep) return;
    if (selectionState_ != SelectionState::kDragging) {
        selectionState_ = SelectionState::kDragging;
        Context().SelectSteps(column, column);
        return;
    }
    // The selection grows to the right of its start and shrinks back toward it.
    const int start = SelectionStart(), end = SelectionEnd();
    if (start == kNoStep) return;
    if ((dx < 1 && column >= start && column < end) || (dx >= 1 && column >= start && column > end))
        Context().SelectSteps(start, column);
}

void PatternView::ToggleCell(int step, int x, int y) {
    for (int bit = 0; bit < kSequenceBits; ++bit) {
        const IRECT cell = Cell(step, bit);
        if (!cell.Contains(x, y)) continue;
        if (cell == lastCell_) return;
        lastCell_ = cell;
        const StepRecord record = Step(step);
        const int bits = (static_cast<int>(std::trunc(record.value)) & 0xFF) ^ (1 << bit);
        if (record.maximum > 0.0) Send(step, bits / record.maximum);
        return;
    }
}

void PatternView::HitBox(int step, int x, int y, int dy) {
    const StepRecord record = Step(step);
    const int count = BoxCount(record);
    for (int box = 0; box < count; ++box) {
        const IRECT r = Box(step, box, count);
        if (!r.Contains(x, y)) continue;
        if (r == lastBox_) return;
        lastBox_ = r;
        // A click on the filled box empties it; a drag only fills.
        const double value = record.value == box + 1 && dy == 0 ? 0.0 : box + 1.0;
        if (record.maximum > 0.0) Send(step, value / record.maximum);
        return;
    }
}

void PatternView::SetBar(int step, int y) {
    const StepRecord record = Step(step);
    if (!(record.Range() > 0.0)) return;
    const int height = ZeroLine(record) - (y - Top());
    Send(step, (height * record.Range() / kValueHeight - std::min(record.minimum, 0.0)) / record.Range());
}

void PatternView::CopyTo(int column) {
    if (column == kNoStep || copySourceStep_ == kNoStep || column == copySourceStep_) return;
    const StepRecord source = Step(copySourceStep_);
    const StepRecord target = Step(column);
    if (target.Range() > 0.0) Send(column, (source.value - target.minimum) / target.Range());
}

// --- drawing ---------------------------------------------------------------------

IRECT PatternView::WholeRECT() const {
    return {Left() - 1, Top() - kBracketGap - kBracketTick, ColumnX(kColumns), NumbersTop() + kNumberHeight};
}

IRECT PatternView::ColumnRECT(int step) const {
    // A column's gap to its right neighbour belongs to it, so that whole columns tile the view.
    return {ColumnX(step) - 1, Top(), ColumnX(step) + kColumnPitch - 1, NumbersTop() + kNumberHeight};
}

int PatternView::NumbersTop() const { return rect_.B + kNumbersBelow - 1; }

const PatternView::ColumnMarkHashes& PatternView::MarkHashes() const {
    const uint32_t changes = marks_.Changes(), clock = marks_.Clock();
    if (changes == cachedChanges_ && clock == cachedClock_ && shown_.area == cachedArea_) return cachedHashes_;
    ColumnMarkHashes hashes{};
    const int count = marks_.ForEach(shown_.area, [&hashes](const NoteMarks::Mark& mark) {
        uint32_t& hash = hashes[static_cast<std::size_t>(mark.step)];
        hash = hash * kMarkHashMultiplier + static_cast<uint32_t>(mark.note * kNoteStripFrames + StripFrame(mark.age) + 1);
    });
    const int playing = marks_.PlayingStep(shown_.area);
    if (count > 0 && playing >= 0 && playing < kColumns) hashes[static_cast<std::size_t>(playing)] ^= kPlayMarkerBit;
    cachedChanges_ = changes;
    cachedClock_ = clock;
    cachedArea_ = shown_.area;
    cachedMarkCount_ = count;
    cachedHashes_ = hashes;
    return cachedHashes_;
}

bool PatternView::AnyMarks() const {
    MarkHashes();
    return cachedMarkCount_ > 0;
}

uint32_t PatternView::ChangedColumns() const {
    const ColumnMarkHashes& now = MarkHashes();
    uint32_t columns = 0;
    for (int step = 0; step < kColumns; ++step)
        if (now[static_cast<std::size_t>(step)] != drawnHashes_[static_cast<std::size_t>(step)]) columns |= 1u << step;
    return columns;
}

bool PatternView::NeedsWholeRedraw() const {
    return fullRedraw_ || IControl::IsDirty() || Selecting() || BracketSteps() != drawnBracketSteps_;
}

IRECT PatternView::GetDrawRECT() const {
    // Between full redraws only the columns whose marks or play marker
    // changed are drawn again: a played step costs a column, not the view.
    const uint32_t columns = ChangedColumns();
    if (NeedsWholeRedraw() || columns == 0) return WholeRECT();
    const int first = std::countr_zero(columns), last = kColumns - 1 - std::countl_zero(columns);
    const IRECT a = ColumnRECT(first), b = ColumnRECT(last);
    return {a.L, a.T, b.R, b.B};
}

IRECT PatternView::OverlayRECT() const {
    return {Left(), Top() - kPatternDotAbove, kCcTickX + kCcMarkerPitch * param::kControllerLanes,
            Top() - kLaneMarkerAbove + kMarkerSize};
}

void PatternView::SetDrawArea(const IRECT& area) { drawArea_ = area.Intersect(WholeRECT()); }

void PatternView::Fill(IGraphics& graphics, const IColor& colour, const IRECT& rect) {
    // Translucent fills must not land twice where the ground was not redrawn.
    const IRECT part = rect.Intersect(drawArea_);
    if (!part.Empty()) graphics.FillIRect(colour, part);
}

void PatternView::Draw(IGraphics& graphics) {
    if (drawArea_.Empty()) drawArea_ = WholeRECT();
    for (int step = 0; step < kColumns; ++step)
        if (!ColumnRECT(step).Intersect(drawArea_).Empty()) DrawStep(graphics, step);
    DrawLoopShade(graphics);
    DrawLengthBracket(graphics);
    DrawSelection(graphics);
    DrawMarks(graphics);
    // The values stay readable over the marks of the notes being played.
    for (int step = 0; step < kColumns; ++step)
        if (!ColumnRECT(step).Intersect(drawArea_).Empty()) DrawValueLabel(graphics, step);
    fullRedraw_ = false;
    drawArea_ = {};
}

void PatternView::DrawStep(IGraphics& graphics, int step) {
    const int x = ColumnX(step);
    const bool dark = step / kStepsPerGroup % 2 == 1;
    if ((step + 1) % kStepsPerGroup == 0) {
        IText style = LabelStyle(kNumberPoints);
        style.align = IText::kAlignNear;
        graphics.DrawIText(style, " " + std::to_string(step + 1), {x - 2, NumbersTop(), x + kColumnPitch, NumbersTop() + kNumberHeight});
    }
    const StepRecord record = Step(step);
    if (shown_.lane == lane::kChord)
        DrawCells(graphics, step, record, dark);
    else if (shown_.lane == lane::kOrder || shown_.lane == lane::kChordMemory)
        DrawBoxes(graphics, step, record, dark);
    else
        DrawBar(graphics, step, record, dark);
}

bool PatternView::IsBarLane() const {
    return shown_.lane != lane::kChord && shown_.lane != lane::kOrder && shown_.lane != lane::kChordMemory;
}

IRECT PatternView::BarRECT(int step, const StepRecord& record) const {
    if (record.value == 0.0 || record.value < record.minimum || !(record.Range() > 0.0)) return {};
    if (shown_.lane == lane::kLength && record.value <= record.minimum) return {};
    const int zero = Top() + ZeroLine(record);
    const int height = static_cast<int>(
        std::lround((record.value - std::max(record.minimum, 0.0)) * kValueHeight / record.Range()));
    const int x = ColumnX(step);
    return {x, std::max(Top(), std::min(zero, zero - height)), x + kBarWidth,
            std::min(kBarClipY, std::max(zero, zero - height))};
}

void PatternView::DrawBar(IGraphics& graphics, int step, const StepRecord& record, bool dark) {
    const IRECT bar = BarRECT(step, record);
    if (!bar.Empty()) Fill(graphics, dark ? kBarFillDark : kBarFill, bar);
}

void PatternView::DrawValueLabel(IGraphics& graphics, int step) {
    if (!IsBarLane()) return;
    const StepRecord record = Step(step);
    IRECT label = BarRECT(step, record);
    if (label.Empty()) return;
    // A short bar's label takes the room it needs, kept inside the grid.
    if (label.H() < kLabelHeight) {
        const int middle = (label.T + label.B) / 2;
        label.T = std::clamp(middle - kLabelHeight / 2, Top(), Bottom() - kLabelHeight);
        label.B = label.T + kLabelHeight;
    }
    const Parameter* gateInSteps = Context().GetParam(param::kGateLengthInSteps);
    const int shown =
        ShownStepValue(shown_.lane, record.value, record.maximum, gateInSteps && gateInSteps->Value() >= 0.5);
    graphics.DrawIText(LabelStyle(kValuePoints), std::to_string(shown), label);
}

void PatternView::DrawBoxes(IGraphics& graphics, int step, const StepRecord& record, bool dark) {
    const int count = BoxCount(record);
    for (int box = 0; box < count; ++box) {
        const IRECT r = Box(step, box, count);
        graphics.DrawRect(kBoxOutline, r);
        if (record.value != box + 1) continue;
        Fill(graphics, dark ? kBoxFillDark : kBoxFill, {r.L + 2, r.T + 2, r.R - 2, r.B - 2});
        if (shown_.lane == lane::kOrder && box + 1 < static_cast<int>(std::size(kOrderLabels)))
            graphics.DrawIText(LabelStyle(kNumberPoints), kOrderLabels[box + 1], r);
    }
}

void PatternView::DrawCells(IGraphics& graphics, int step, const StepRecord& record, bool dark) {
    const int bits = static_cast<int>(std::trunc(record.value)) & 0xFF;
    for (int bit = 0; bit < kSequenceBits; ++bit) {
        const IRECT r = Cell(step, bit);
        graphics.DrawRect(kBoxOutline, r);
        if (!(bits & 1 << bit)) continue;
        Fill(graphics, dark ? kBoxFillDark : kBoxFill, {r.L + 2, r.T + 2, r.R - 2, r.B - 2});
        graphics.DrawIText(LabelStyle(kNumberPoints), " " + std::to_string(kSequenceBits - bit), r);
    }
}

void PatternView::DrawLoopShade(IGraphics& graphics) {
    const LaneLook& lane = lanes_[static_cast<std::size_t>(std::clamp(shown_.lane, 0, kLanes - 1))];
    const int start = std::clamp(lane.loopStart, 0, kColumns - 1);
    const int end = std::clamp(lane.loopEnd, start + 1, kColumns);
    if (start > 0) Fill(graphics, kLoopShade, {ColumnX(0), Top(), ColumnX(start) - 1, Bottom()});
    if (end < kColumns) Fill(graphics, kLoopShade, {ColumnX(end) - 1, Top(), ColumnX(kColumns) - 1, Bottom()});
}

int PatternView::BracketSteps() const {
    const Parameter* steps = Context().GetParam(param::kPatternSteps + param::PatternIndex(shown_.area, shown_.pattern));
    return steps ? std::clamp(static_cast<int>(steps->ShownValue()), 0, kColumns - 1) : kColumns - 1;
}

void PatternView::DrawLengthBracket(IGraphics& graphics) {
    const int last = BracketSteps();
    drawnBracketSteps_ = last;
    const int right = ColumnX(last) + kBarWidth;
    const int y = Top() - kBracketGap - 2;
    Fill(graphics, kBracket, {Left() - 1, y, right, y + 2});
    Fill(graphics, kBracket, {Left() - 1, y, Left() + 1, y + kBracketTick + 2});
    Fill(graphics, kBracket, {right - 2, y, right, y + kBracketTick + 2});
}

void PatternView::DrawSelection(IGraphics& graphics) {
    if (!Selecting()) return;
    const int start = std::clamp(SelectionStart(), 0, kColumns - 1), end = std::clamp(SelectionEnd(), start, kColumns - 1);
    const IRECT r{ColumnX(start), Top(), ColumnX(end) + kBarWidth, Bottom()};
    Fill(graphics, WithAlpha(COLOR_WHITE, highlightAlpha_), r);
    graphics.DrawRect(COLOR_WHITE, r);
    highlightAlpha_ += highlightRising_ ? kHighlightRise : -kHighlightFall;
    if (highlightAlpha_ > kHighlightTop) highlightRising_ = false;
    if (highlightAlpha_ < 0.0) highlightRising_ = true;
}

void PatternView::DrawMarks(IGraphics& graphics) {
    drawnHashes_ = MarkHashes();
    const auto drawn = [this](int step) { return !ColumnRECT(step).Intersect(drawArea_).Empty(); };
    int first = 0, last = kColumns - 1;
    while (first <= last && !drawn(first)) ++first;
    while (last >= first && !drawn(last)) --last;
    marks_.ForEach(
        shown_.area,
        [&](const NoteMarks::Mark& mark) {
            const int y = Top() + kMarkSpan - static_cast<int>(std::lround(mark.note * double(kMarkSpan) / kHighestNote));
        const int x = ColumnX(mark.step);
            graphics.DrawBitmapFrame(noteStrip_, {x, y, x + kMarkWidth, y + kMarkHeight}, StripFrame(mark.age));
        },
        first, last);
    const int playing = marks_.PlayingStep(shown_.area);
    if (AnyMarks() && playing >= 0 && playing < kColumns)
        Fill(graphics, kPlayMarker, {ColumnX(playing), Top(), ColumnX(playing) + kBarWidth, Top() + kPlayMarkerHeight});
}

// --- over the selector rows ------------------------------------------------------------

bool PatternView::LaneHoldsValues(int pattern, int lane) const {
    for (int step = 0; step < kColumns; ++step)
        if (const Parameter* p = Context().GetParam(param::StepValue(shown_.area, pattern, lane, step));
            p && p->Value() != p->Default())
            return true;
    return false;
}

void PatternView::DrawOverlay(IGraphics& graphics) {
    overlayStale_ = false;
    const auto dot = [&graphics](int x, int y, const IColor& colour) {
        graphics.FillIRect(colour, {x, y, x + kMarkerSize, y + kMarkerSize});
    };
    for (int pattern = 0; pattern < param::kPatternsPerArea; ++pattern)
        for (int lane = 0; lane < kMainLanes; ++lane)
            if (LaneHoldsValues(pattern, lane)) {
                dot(Left() + kPatternDotX + kPatternDotPitch * pattern, Top() - kPatternDotAbove, kPatternDot);
                break;
            }
    if (!mouseInside_) return;
    for (int lane = 0; lane < kLanes; ++lane) {
        // PROB's tab follows the note lanes' in their row.
        const bool main = lane < kMainLanes || lane == lane::kProb;
        const int k = lane == lane::kProb ? kMainLanes : main ? lane : lane - kMainLanes;
        const int y = main ? Top() - kLaneMarkerAbove : kCcMarkerY;
        dot(main ? Left() + kLaneMarkerX + kLaneMarkerPitch * k : kCcMarkerX + kCcMarkerPitch * k, y,
            lanes_[static_cast<std::size_t>(lane)].on ? kLaneOnMarker : kLaneOffMarker);
        if (LaneHoldsValues(shown_.pattern, lane))
            dot(main ? Left() + kLaneTickX + kLaneMarkerPitch * k : kCcTickX + kCcMarkerPitch * k, y, COLOR_WHITE);
    }
}

}  // namespace sorel
