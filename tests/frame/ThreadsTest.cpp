// The host's audio thread runs blocks while its main thread changes
// parameters and asks the dispatcher; under ThreadSanitizer this finds any
// unguarded sharing between the two.
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

TEST_F(PluginTest, BlocksOnOneThreadParametersAndOpcodesOnAnother) {
    host->transport.playing = true;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    AEffect* effect = host->Effect();

    std::thread audio([&] {
        int cycle = 0;
        while (!stop.load()) {
            if (cycle % 8 == 0) {
                host->NoteOn(cycle % kBlock, 1, 36 + cycle % 20, 100);
                host->NoteOn(5, 3, 90, 80);  // passed through
            }
            if (cycle % 8 == 5) {
                host->NoteOff(0, 1, 36 + (cycle - 5) % 20);
                host->NoteOff(7, 3, 90);
            }
            if (cycle % 50 == 0) host->Controller(1, 1, 123, 0);
            host->ProcessBlock(kBlock);
            ++cycle;
            ++blocks;
        }
    });

    std::mt19937 random(7);
    // At least three seconds and two hundred blocks, however slow a
    // sanitizer makes either side; a host's main thread pauses now and then.
    const auto start = std::chrono::steady_clock::now();
    const auto minimum = start + std::chrono::seconds(3), limit = start + std::chrono::seconds(60);
    long calls = 0;
    char text[256];
    while (std::chrono::steady_clock::now() < limit &&
           (std::chrono::steady_clock::now() < minimum || blocks.load() < 200)) {
        if (calls % 16 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        const int index = std::uniform_int_distribution<int>(0, kCount - 1)(random);
        effect->setParameter(effect, index, std::uniform_real_distribution<float>(0, 1)(random));
        effect->getParameter(effect, index);
        effect->dispatcher(effect, effGetParamDisplay, index, 0, text, 0);
        effect->dispatcher(effect, effGetParamName, index, 0, text, 0);
        std::string value = std::to_string(random() % 100);
        effect->dispatcher(effect, effString2Parameter, kGate + static_cast<int>(random() % kPatterns), 0,
                           value.data(), 0);
        effect->dispatcher(effect, effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent"), 0);
        MidiKeyName key{};
        key.thisKeyNumber = static_cast<int>(random() % 128);
        effect->dispatcher(effect, effGetMidiKeyName, 0, 0, &key, 0);
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0);
        effect->dispatcher(effect, effGetProgramName, 0, 0, text, 0);
        if (calls % 200 == 0) {
            // Switch areas and hold on and off, change the selection the
            // teach ramp follows, and take the state.
            effect->setParameter(effect, kKeyAreaOnOff + static_cast<int>(random() % 4), (random() % 2) ? 1.0f : 0.0f);
            effect->setParameter(effect, kHold, (random() % 2) ? 1.0f : 0.0f);
            effect->setParameter(effect, kCcTeach, 1.0f);
            void* chunk = nullptr;
            effect->dispatcher(effect, effGetChunk, 1, 0, &chunk, 0);
        }
        ++calls;
    }
    stop = true;
    audio.join();
    EXPECT_GE(blocks.load(), 200);
    EXPECT_GT(calls, 200);
    // Afterwards the plug-in still plays and ends what it plays.
    host->ClearSent();
    effect->setParameter(effect, kHold, 0.0f);
    for (int a = 0; a < 4; ++a) effect->setParameter(effect, kKeyAreaOnOff + a, a == 0 ? 1.0f : 0.0f);
    host->Controller(0, 1, 123, 0);
    host->ProcessBlock(kBlock);
    host->NoteOn(0, 1, 36, 100);
    host->ProcessBlocks(40, kBlock);
    host->NoteOff(0, 1, 36);
    host->ProcessBlocks(40, kBlock);
    EXPECT_FALSE(NoteOns(host->Sent()).empty());
    EXPECT_TRUE(AllNotesEnded(host->Sent()));
}

}  // namespace
}  // namespace sorel::test
