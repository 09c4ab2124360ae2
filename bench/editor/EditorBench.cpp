// The editor's cost: its first open (controls, fonts and bitmaps, the first
// full drawing) and one tick of its 33 ms timer with nothing to show, or
// with notes arriving on every key area.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/ParameterIndex.h"

#include "editor/VardoEditor.h"
#include "engine/EngineNotifier.h"
#include "engine/NoteRecord.h"
#include "frame/Vardo.h"
#include "frame/VardoEditorPort.h"
#include "graphics/IGraphics.h"

namespace {

sorel::Vardo& Plugin() {
    static sorel::NoHost host;
    static sorel::Vardo plugin(host);
    return plugin;
}

// As the window host does it: each dirty area drawn on its own.
void RedrawDirty(sorel::VardoEditor& editor) {
    static std::vector<sorel::IRECT> areas;
    editor.DirtyAreas(areas);
    for (const sorel::IRECT& area : areas) editor.DrawArea(area);
}

void OpenAndDraw(sorel::VardoEditor& editor) {
    editor.BuildControls();
    editor.OnTimer();
    editor.DrawArea(editor.DirtyArea());
}

// The first editor of the process decodes every image. Argument: the GUI
// scale, 1 or 2 (the twice-resolution art).
void BM_FirstOpen(benchmark::State& state) {
    Plugin().SetGuiScale(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        sorel::VardoEditor editor(sorel::MakeEditorPort(Plugin()));
        OpenAndDraw(editor);
        benchmark::DoNotOptimize(editor.Canvas().PixelAt(500, 300));
    }
    Plugin().SetGuiScale(1);
}
// Two images are decoded on a second thread: CPU time counts both threads.
BENCHMARK(BM_FirstOpen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Another instance's editor already holds the decoded images.
void BM_OpenBesideAnotherEditor(benchmark::State& state) {
    sorel::VardoEditor first(sorel::MakeEditorPort(Plugin()));
    OpenAndDraw(first);
    for (auto _ : state) {
        sorel::VardoEditor editor(sorel::MakeEditorPort(Plugin()));
        OpenAndDraw(editor);
        benchmark::DoNotOptimize(editor.Canvas().PixelAt(500, 300));
    }
}
BENCHMARK(BM_OpenBesideAnotherEditor)->Unit(benchmark::kMillisecond);

void Tick(benchmark::State& state, bool notesArrive) {
    sorel::VardoEditor editor(sorel::MakeEditorPort(Plugin()));
    OpenAndDraw(editor);
    for (auto _ : state) {
        if (notesArrive)
            for (int area = 0; area < 4; ++area) Plugin().Link().AreaNoteIn(area);
        editor.OnTimer();
        RedrawDirty(editor);
    }
}
void BM_IdleTick(benchmark::State& state) { Tick(state, false); }
void BM_TickWithNotesArriving(benchmark::State& state) { Tick(state, true); }
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickWithNotesArriving)->Unit(benchmark::kMicrosecond);

// A step plays a three-note chord: the pattern view shows its marks and the
// play marker at the next timer tick; the next tick plays the step beside
// it. `walk` goes on through all 32 steps instead, the marks of the steps
// before staying on. With `scene` on, the scene view at the window's other
// corner blinks meanwhile.
void PlayedStepRedraw(benchmark::State& state, bool walk, bool scene) {
    Plugin().SetParameterValue(sorel::param::kSceneOnOff, scene ? 1.0 : 0.0);
    sorel::VardoEditor editor(sorel::MakeEditorPort(Plugin()));
    OpenAndDraw(editor);
    sorel::NoteRecord record;
    record.step = 5;
    for (auto _ : state) {
        for (int note : {60, 64, 67}) {
            record.note = note;
            Plugin().OnEngineNotification(sorel::notify::kNoteStarted, 0, &record);
            Plugin().OnEngineNotification(sorel::notify::kStepPlayed, 0, &record);
        }
        record.step = walk ? (record.step + 1) % 32 : 11 - record.step;
        editor.OnTimer();
        RedrawDirty(editor);
    }
}
void BM_PlayedStepRedraw(benchmark::State& state) { PlayedStepRedraw(state, false, false); }
void BM_WalkingStepsRedraw(benchmark::State& state) { PlayedStepRedraw(state, true, false); }
void BM_PlayedStepRedrawWhileTheSceneBlinks(benchmark::State& state) { PlayedStepRedraw(state, false, true); }
BENCHMARK(BM_PlayedStepRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkingStepsRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayedStepRedrawWhileTheSceneBlinks)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
