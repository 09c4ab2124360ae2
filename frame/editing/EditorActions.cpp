#include "frame/editing/EditorActions.h"

#include <algorithm>
#include <cmath>

#include "engine/ChordMemoryBank.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/ParameterReceiver.h"
#include "engine/VardoApp.h"
#include "engine/WholeStep.h"
#include "frame/IPlugBase.h"

namespace sorel {

using namespace param;

namespace {

// The momentary buttons, by index from the first.
constexpr int kFirstButton = kRandomize;
constexpr int kLastButton = kCmInvLeft;

// Room for a few of the largest pastes (one key area into the three others)
// waiting at once.
constexpr size_t kBulkCopiesRoom = 4 * size_t(kKeyAreas - 1) * kPatternsPerArea;

// The parameters the history keeps: the steps of every lane and the scenes.
bool IsEditOfStepsOrScenes(int index) {
    const auto in = [index](int first, int count) { return index >= first && index < first + count; };
    constexpr int kSceneStepCount = kKeyAreas * kSceneSteps;
    return ParameterReceiver::IsStepFamily(index) || in(kSceneStepLength, kSceneStepCount) ||
           in(kSceneStepPattern, kSceneStepCount) || in(kSceneStepRepeat, kSceneStepCount) || in(kSceneEnd, kKeyAreas);
}

}  // namespace

EditorActions::EditorActions(IPlugBase& plug, VardoApp& app, ChordMemoryBank& chords, std::function<void()> changed,
                             std::function<bool()> onAudioThread)
    : plug_(plug),
      app_(app),
      chords_(chords),
      changed_(std::move(changed)),
      onAudioThread_(std::move(onAudioThread)),
      worker_(
          plug.Mutex(), [this] { return RunBulkCopies(); }, [this] { return !onAudioThread_(); }) {
    bulkCopies_.reserve(kBulkCopiesRoom);
}

bool EditorActions::IsNewPress(int index, double value) {
    const bool down = value >= 0.5;
    if (index < kFirstButton || index > kLastButton) return down;
    bool& pressed = pressed_[static_cast<size_t>(index - kFirstButton)];
    const bool newPress = down && !pressed;
    pressed = down;
    return newPress;
}

// --- lane edits --------------------------------------------------------------

void EditorActions::Send(int area, int pattern, int lane, int step, double normalized) {
    if (step < 0 || step >= kSteps) return;
    plug_.SetParameterFromGUI(StepValue(area, pattern, lane, step), normalized);
}

void EditorActions::Randomize() {
    EditStep step(*this);
    const int area = model_.Area(), pattern = model_.Pattern(), lane = model_.Lane();
    const StepRange range = model_.EditRange();
    for (int step = range.first; step <= range.last; ++step) {
        const Parameter* p = plug_.GetParam(StepValue(area, pattern, lane, step));
        const int n = static_cast<int>(std::trunc(p->Maximum() - p->Minimum()));
        if (n <= 0) continue;
        Send(area, pattern, lane, step, double(random_() % unsigned(n + 1)) / n);
    }
    changed_();
}

void EditorActions::CopyLane() {
    const int area = model_.Area(), pattern = model_.Pattern(), lane = model_.Lane();
    const StepRange range = model_.EditRange();
    EditorModel::LaneClip& clip = model_.laneClip;
    clip.wholeLane = !model_.HasSelection();
    clip.length = range.last - range.first + 1;
    for (int i = 0; i < clip.length; ++i)
        clip.values[static_cast<size_t>(i)] = plug_.Params().Value(StepValue(area, pattern, lane, range.first + i));
}

void EditorActions::PasteLane() {
    const EditorModel::LaneClip& clip = model_.laneClip;
    if (clip.length <= 0) return;
    EditStep step(*this);
    const int area = model_.Area(), pattern = model_.Pattern(), lane = model_.Lane();
    const bool atSelection = !clip.wholeLane && model_.CurrentTool() == EditorModel::Tool::Selection &&
                             model_.SelectionStart() >= 0;
    const int first = atSelection ? model_.SelectionStart() : 0;
    for (int i = 0; i < clip.length && first + i < kSteps; ++i) {
        const Parameter* p = plug_.GetParam(StepValue(area, pattern, lane, first + i));
        Send(area, pattern, lane, first + i, p->ToNormalized(clip.values[static_cast<size_t>(i)]));
    }
    changed_();
}

void EditorActions::ResetSteps() {
    EditStep step(*this);
    const int area = model_.Area(), pattern = model_.Pattern(), lane = model_.Lane();
    const StepRange range = model_.EditRange();
    for (int step = range.first; step <= range.last; ++step) {
        const Parameter* p = plug_.GetParam(StepValue(area, pattern, lane, step));
        Send(area, pattern, lane, step, p->ToNormalized(p->Default()));
    }
    changed_();
}

void EditorActions::CopyStepToAll(int stepParameter) {
    const Parameter* source = plug_.GetParam(stepParameter);
    if (!source) return;
    EditStep step(*this);
    const double normalized = source->Normalized();
    const StepRange range = model_.EditRange();
    for (int step = range.first; step <= range.last; ++step)
        Send(model_.Area(), model_.Pattern(), model_.Lane(), step, normalized);
    changed_();
}

void EditorActions::ToggleLaneOn() {
    EditStep step(*this);
    PatternEngine* area = app_.Area(model_.Area());
    if (!area) return;
    PatternStepper& stepper = area->Stepper();
    const int lane = model_.Lane();
    const bool on = !stepper.Lane(model_.Pattern(), lane).laneOn;
    for (int pattern = 0; pattern < kPatternsPerArea; ++pattern) stepper.SetLaneOn(pattern, lane, on);
    changed_();
}

// --- patterns and key areas ----------------------------------------------------

void EditorActions::ReadLoops(int area, int pattern, PatternImage& image) const {
    if (const PatternEngine* engine = app_.Area(area)) {
        for (int lane = 0; lane < kAllLanes; ++lane)
            image.loops[static_cast<size_t>(lane)] = {engine->Stepper().LaneLoopStart(pattern, lane),
                                                      engine->Stepper().LaneLoopEnd(pattern, lane)};
    }
}

void EditorActions::QueuePattern(PatternImage& image, int area, int pattern) {
    HoldStepForPaste();
    QueueCopy({&image, area, pattern, false});
    if (PatternEngine* engine = app_.Area(area)) {
        for (int lane = 0; lane < kAllLanes; ++lane) {
            const LoopBounds& loop = image.loops[static_cast<size_t>(lane)];
            engine->Stepper().SetLaneLoop(pattern, lane, loop.start, loop.end);
        }
    }
}

void EditorActions::QueueCopy(const BulkCopy& copy) { bulkCopies_.push_back(copy); }

bool EditorActions::RunBulkCopies() {
    size_t budget = BulkEditWorker::kRunLength;
    while (budget > 0 && bulkCopiesDone_ < bulkCopies_.size()) {
        const BulkCopy& copy = bulkCopies_[bulkCopiesDone_];
        const int end = std::min(PatternImage::kValueCount, bulkCursor_ + static_cast<int>(budget));
        for (int i = bulkCursor_; i < end; ++i) {
            const int index = PatternImage::ParameterIndex(copy.area, copy.pattern, i);
            double& value = copy.image->values[static_cast<size_t>(i)];
            if (copy.intoImage) {
                value = plug_.Params().Value(index);
            } else if (Parameter* p = plug_.GetParam(index)) {
                const double before = p->Value();
                p->SetValue(value);
                if (pasteHoldsStep_) history_.Record({EditChange::Kind::Parameter, index, before, p->Value()});
                plug_.OnParamChange(index, ChangeSource::User);
            }
        }
        budget -= static_cast<size_t>(end - bulkCursor_);
        bulkCursor_ = end;
        if (bulkCursor_ == PatternImage::kValueCount) {
            bulkCursor_ = 0;
            ++bulkCopiesDone_;
        }
    }
    if (bulkCopiesDone_ < bulkCopies_.size()) return true;
    if (pasteHoldsStep_) {
        pasteHoldsStep_ = false;
        EndEdit();
    }
    if (bulkCopies_.empty()) return false;
    bulkCopies_.clear();
    bulkCopiesDone_ = 0;
    changed_();
    return false;
}

void EditorActions::CopyPattern() {
    EditorModel::PatternClip& clip = model_.patternClip;
    clip.area = model_.Area();
    clip.pattern = model_.Pattern();
    // One pattern is read at once: a short hold.
    for (int i = 0; i < PatternImage::kValueCount; ++i)
        clip.image.values[static_cast<size_t>(i)] = plug_.Params().Value(PatternImage::ParameterIndex(clip.area, clip.pattern, i));
    ReadLoops(clip.area, clip.pattern, clip.image);
}

void EditorActions::PastePattern() {
    EditorModel::PatternClip& clip = model_.patternClip;
    if (!clip.Holds() || (clip.area == model_.Area() && clip.pattern == model_.Pattern())) return;
    QueuePattern(clip.image, model_.Area(), model_.Pattern());
    worker_.Start();
}

void EditorActions::PastePatternToAll() {
    EditorModel::PatternClip& clip = model_.patternClip;
    if (!clip.Holds()) return;
    for (int pattern = 0; pattern < kPatternsPerArea; ++pattern)
        if (clip.area != model_.Area() || clip.pattern != pattern) QueuePattern(clip.image, model_.Area(), pattern);
    worker_.Start();
}

void EditorActions::CopyArea() {
    EditorModel::AreaClip& clip = model_.areaClip;
    clip.area = model_.Area();
    // Read by the worker, before any paste chosen later.
    for (int pattern = 0; pattern < kPatternsPerArea; ++pattern) {
        PatternImage& image = clip.patterns[static_cast<size_t>(pattern)];
        ReadLoops(clip.area, pattern, image);
        QueueCopy({&image, clip.area, pattern, true});
    }
    worker_.Start();
}

void EditorActions::PasteArea() {
    EditorModel::AreaClip& clip = model_.areaClip;
    if (!clip.Holds() || clip.area == model_.Area()) return;
    for (int pattern = 0; pattern < kPatternsPerArea; ++pattern)
        QueuePattern(clip.patterns[static_cast<size_t>(pattern)], model_.Area(), pattern);
    worker_.Start();
}

void EditorActions::PasteAreaToAll() {
    EditorModel::AreaClip& clip = model_.areaClip;
    if (!clip.Holds()) return;
    for (int area = 0; area < kKeyAreas; ++area) {
        if (area == clip.area) continue;
        for (int pattern = 0; pattern < kPatternsPerArea; ++pattern)
            QueuePattern(clip.patterns[static_cast<size_t>(pattern)], area, pattern);
    }
    worker_.Start();
}

// --- chord memory ----------------------------------------------------------------

void EditorActions::ChordMemoryAction(int index) {
    EditStep step(*this);
    switch (index) {
        case kCmCopyTool: chords_.Copy(); break;
        case kCmPasteTool: chords_.Paste(); break;
        case kCmClearTool: chords_.Clear(); break;
        case kCmApply: chords_.ApplyShape(WholeStep(plug_.Params().Value(kChordMemoryApplyChordSelection))); break;
        case kCmInvLeft: chords_.Invert(false); break;
        case kCmInvRight: chords_.Invert(true); break;
        default: return;
    }
    changed_();
}

// --- the edit history -------------------------------------------------------------

EditorActions::EditStep::EditStep(EditorActions& actions) : actions_(actions), kept_(!actions.onAudioThread_()) {
    if (kept_) actions_.BeginEdit();
}

EditorActions::EditStep::~EditStep() {
    if (kept_) actions_.EndEdit();
}

void EditorActions::BeginEdit() {
    if (!history_.Open()) stepStart_.Read(app_, chords_);
    history_.Begin();
}

void EditorActions::EndEdit() {
    if (history_.Closing()) {
        stepEnd_.Read(app_, chords_);
        stepEnd_.ChangesSince(stepStart_, [this](const EditChange& change) { history_.Record(change); });
    }
    history_.End();
}

void EditorActions::RecordEdit(int index, double before, double after) {
    if (IsEditOfStepsOrScenes(index)) history_.Record({EditChange::Kind::Parameter, index, before, after});
}

void EditorActions::ClearHistory() {
    history_.Clear();
    if (history_.Open()) stepStart_.Read(app_, chords_);
}

void EditorActions::HoldStepForPaste() {
    if (pasteHoldsStep_ || onAudioThread_()) return;
    BeginEdit();
    pasteHoldsStep_ = true;
}

void EditorActions::FinishPastes() {
    // The paste's step closes as its last values land.
    while (pasteHoldsStep_ && RunBulkCopies()) {
    }
}

void EditorActions::ApplyChange(const EditChange& change, double value) {
    if (EngineEditImage::Apply(change, value, app_, chords_)) return;
    plug_.SetPlainFromGUI(change.target, value);
}

bool EditorActions::Undo() {
    FinishPastes();
    if (!history_.Undo([this](const EditChange& change, double value) { ApplyChange(change, value); })) return false;
    changed_();
    return true;
}

bool EditorActions::Redo() {
    FinishPastes();
    if (!history_.Redo([this](const EditChange& change, double value) { ApplyChange(change, value); })) return false;
    changed_();
    return true;
}

bool EditorActions::CanUndo() {
    FinishPastes();
    return history_.CanUndo();
}

bool EditorActions::CanRedo() {
    FinishPastes();
    return history_.CanRedo();
}

}  // namespace sorel
