#pragma once
// Hands the engine's snapshot from the thread that holds the plug-in lock
// (the audio thread at the end of each block, or the editor's own edits)
// to the editor's timer: a triple buffer, so that the writer never waits,
// never allocates, and the reader always copies a whole snapshot.

#include "frame/EngineSnapshot.h"

#include <array>
#include <atomic>
#include <mutex>

namespace sorel {

class ChordMemoryBank;
class EditorModel;
class VardoApp;

class SnapshotBoard {
public:
    // Reads the engine for the model's selection and publishes it. Called
    // by the plug-in lock's holder only, so that one writer runs at a time.
    void Publish(VardoApp& app, const ChordMemoryBank* chordMemory, const EditorModel& model);
    // Copies the newest snapshot into `into` when one came since the last
    // take; false (and `into` untouched) otherwise. Never waits on the writer.
    bool Take(EngineSnapshot& into);

private:
    static constexpr unsigned kIndexMask = 3;
    static constexpr unsigned kFresh = 4;

    void Fill(EngineSnapshot& snapshot, VardoApp& app, const ChordMemoryBank* chordMemory, const EditorModel& model);

    std::array<EngineSnapshot, 3> slots_{};
    unsigned back_ = 0;                 // the writer's
    std::atomic<unsigned> middle_{1};   // the slot last published, and whether it was taken since
    unsigned front_ = 2;                // the reader's
    std::mutex readerMutex_;            // readers only: the writer never takes it
};

}  // namespace sorel
