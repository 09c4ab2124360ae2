#pragma once
// The step editor in the middle of the window: 32 columns, one per step of
// the shown pattern, showing one lane at a time as bars, stacked boxes or bit
// cells, with the lane's loop, the pattern's length, the playing step and
// marks of the notes being played. It keeps no step values of its own: it
// reads them from the step parameters and sends every edit back as a
// parameter change, so the host sees edits as automation.
//
// Lanes: 0 ORDER, 1 CHRDMEM (stacked boxes), 2..7 and the controller lanes
// 9..16 and 17 PROB (bars), 8 CHORD (eight bit cells per step).

#include "editor/ControlBinding.h"
#include "editor/IControl.h"
#include "engine/ParameterIndex.h"
#include "frame/editing/EditorModel.h"
#include "graphics/IBitmap.h"

#include <array>
#include <cstdint>

namespace sorel {

class NoteMarks;

class PatternView : public IControl {
public:
    static constexpr int kColumns = param::kSteps;
    static constexpr int kColumnPitch = 24;
    static constexpr int kBarWidth = 21;
    static constexpr int kValueHeight = 111;
    static constexpr int kHitAbove = 50;   // the target reaches over the lane selector row
    static constexpr int kReachAbove = 21;  // how far above the grid a drag still edits
    static constexpr int kReachBelow = 121;
    static constexpr int kNoStep = EditorModel::kNoStep;
    static constexpr int kMainLanes = param::kFirstControllerLane;
    static constexpr int kLanes = param::kAllLanes;
    static constexpr int kSequenceBits = 8;
    static constexpr int kNoteStripFrames = 30;

    enum class Tool { kDraw, kSelection };

    // What the engine holds of the shown pattern's lanes, read under the lock.
    struct LaneLook {
        int loopStart = 0;
        int loopEnd = kColumns;  // one past the last step
        bool on = true;
    };

    PatternView(ControlContext& context, const IRECT& rect, const IBitmap& noteStrip, const NoteMarks& marks);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override;
    void OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) override;
    void OnMouseOver(int x, int y, const IMouseMod& mod) override;
    void OnMouseOut() override;
    void Draw(IGraphics& graphics) override;
    // The grid with the length bracket above it and the step numbers below.
    IRECT GetDrawRECT() const override;
    void MarkDirty() override;
    bool IsDirty() const override;
    // The step parameter of the exact column under the click, -1 off the columns.
    int MenuParameterAt(int x, int y) const override;
    // The exact column under the click, over the whole height of the view.
    IRECT PromptRECT(int x, int y) const override;

    // --- what the editor feeds the view ---
    void ShowSelection(const EditorSelection& selection);
    void ShowLanes(const std::array<LaneLook, kLanes>& lanes);
    // The tool changed in the editor's model: a selection drag ends.
    void SetTool(Tool tool);
    Tool ShownTool() const { return shownTool_; }
    // A step value of the shown key area changed: redraw.
    void StepChanged();

    // --- hit tests; both use the same column edges ---
    // The column a drag at (x, y) edits, or kNoStep.
    int ColumnUnder(int x, int y) const;
    // The column a double click at (x, y) lands on, or kNoStep.
    int ExactColumn(int x, int y) const;

    // The tool and the selected steps are the editor model's.
    Tool CurrentTool() const;
    int SelectionStart() const;
    int SelectionEnd() const;
    const EditorSelection& Shown() const { return shown_; }

    // The area the window is about to draw (the ground already repainted there).
    void SetDrawArea(const IRECT& area);

    // The marks and pattern dots drawn over the selector rows above the view.
    void DrawOverlay(IGraphics& graphics);
    IRECT OverlayRECT() const;
    bool MouseInside() const { return mouseInside_; }
    bool OverlayStale() const { return overlayStale_; }

private:
    struct StepRecord {
        int index = kNoParameter;
        double value = 0.0;
        double minimum = 0.0;
        double maximum = 1.0;
        double Range() const { return maximum - minimum; }
    };
    enum class SelectionState { kIdle, kDragging, kReleased };

    int Left() const { return rect_.L; }
    int Top() const { return rect_.T; }
    int Bottom() const { return rect_.T + kValueHeight; }
    int ColumnX(int step) const { return rect_.L + 1 + kColumnPitch * step; }
    StepRecord Step(int step) const { return StepOf(shown_.lane, step); }
    StepRecord StepOf(int lane, int step) const;
    int BoxCount(const StepRecord& record) const;
    IRECT Box(int step, int box, int count) const;
    IRECT Cell(int step, int bit) const;
    int ZeroLine(const StepRecord& record) const;
    void Send(int step, double normalized);

    void EditAt(int x, int y, int dx, int dy);
    void Select(int column, int dx);
    void ToggleCell(int step, int x, int y);
    void HitBox(int step, int x, int y, int dy);
    void SetBar(int step, int y);
    void CopyTo(int column);

    IRECT WholeRECT() const;
    IRECT ColumnRECT(int step) const;
    // A hash of what each column shows of the marks and the play marker: it
    // changes when the column's drawing would, so that only those columns redraw.
    using ColumnMarkHashes = std::array<uint32_t, kColumns>;
    // Each mark (its note and strip frame) folds into its column's hash as
    // hash * 131 + mark: an odd prime, so that two marks that trade places or
    // frames seldom leave the hash as it was.
    static constexpr uint32_t kMarkHashMultiplier = 131;
    static constexpr uint32_t kPlayMarkerBit = 0x80000000u;
    const ColumnMarkHashes& MarkHashes() const;
    bool AnyMarks() const;  // of the shown key area
    // Columns whose marks look different from when they were last drawn (bit i for step i).
    uint32_t ChangedColumns() const;
    bool NeedsWholeRedraw() const;
    void Fill(IGraphics& graphics, const IColor& colour, const IRECT& rect);
    void DrawStep(IGraphics& graphics, int step);
    bool IsBarLane() const;
    // Where a bar lane's step draws its bar; empty when it draws none.
    IRECT BarRECT(int step, const StepRecord& record) const;
    void DrawBar(IGraphics& graphics, int step, const StepRecord& record, bool dark);
    void DrawValueLabel(IGraphics& graphics, int step);
    int NumbersTop() const;
    // The last step of the shown pattern's length, as the bracket spans it.
    int BracketSteps() const;
    void DrawBoxes(IGraphics& graphics, int step, const StepRecord& record, bool dark);
    void DrawCells(IGraphics& graphics, int step, const StepRecord& record, bool dark);
    void DrawLoopShade(IGraphics& graphics);
    void DrawLengthBracket(IGraphics& graphics);
    void DrawSelection(IGraphics& graphics);
    void DrawMarks(IGraphics& graphics);
    bool Selecting() const;  // the selection tool holds a selection
    bool LaneHoldsValues(int pattern, int lane) const;

    IBitmap noteStrip_;
    const NoteMarks& marks_;
    EditorSelection shown_{0, 0, lane::kLength};
    std::array<LaneLook, kLanes> lanes_{};
    Tool shownTool_ = Tool::kDraw;
    SelectionState selectionState_ = SelectionState::kIdle;
    double highlightAlpha_ = 10.0;
    bool highlightRising_ = true;
    int copySourceStep_ = kNoStep;  // the step a Ctrl-drag copies onto the steps it crosses
    IRECT lastCell_;
    IRECT lastBox_;
    bool mouseInside_ = false;
    bool fullRedraw_ = true;
    bool overlayStale_ = true;
    int drawnBracketSteps_ = -1;
    ColumnMarkHashes drawnHashes_{};
    IRECT drawArea_;
    mutable uint32_t cachedChanges_ = ~0u;
    mutable uint32_t cachedClock_ = ~0u;
    mutable int cachedArea_ = -1;
    mutable ColumnMarkHashes cachedHashes_{};
    mutable int cachedMarkCount_ = 0;
};

}  // namespace sorel
