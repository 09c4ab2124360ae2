// The editor's thread beside the host's: its timer, drawing and mouse run
// while the host sets parameters and plays blocks. Run under the thread
// sanitizer, this finds any state the two share without a guard.
#include <atomic>
#include <thread>

#include "EditorFixture.h"
#include "engine/ParameterIndex.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

TEST_F(EditorTest, TheWindowThreadRunsBesideTheHostsThreads) {
    constexpr int kBlocks = 300;
    std::atomic<bool> stop{false};
    std::thread window([&] {
        for (int i = 0; !stop.load(); ++i) {
            Redraw();
            Drag(0, 0, i % 2 ? -7 : 5);  // "Gate"
            for (int skin : {17, 127, 124}) ClickSkin(skin);  // key area buttons, chord keyboard, loop markers
        }
    });
    for (int block = 0; block < kBlocks; ++block) {
        SetFromHost(kKeyAreaSelection, block % kKeyAreas);
        SetFromHost(kGate + PatternIndex(block % kKeyAreas, 0), block % 100);
        host->NoteOn(0, 1, 48 + block % 12, 100);
        host->ProcessBlock(512);
        host->NoteOff(0, 1, 48 + block % 12);
    }
    stop.store(true);
    window.join();
    SetFromHost(kKeyAreaSelection, 1);
    SetFromHost(kGate + PatternIndex(1, 0), 42);
    Redraw();
    EXPECT_FLOAT_EQ(static_cast<float>(At(0)->Value()), host->GetParameter(kGate + PatternIndex(1, 0)));
}

}  // namespace
}  // namespace sorel::test
