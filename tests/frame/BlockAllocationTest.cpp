// After warm-up the block path allocates nothing: MIDI in, blocks, notes,
// controllers, pass-through and panic, counted by replacing operator new.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "InProcessEntry.h"
#include "support/AllocationCounter.h"

namespace sorel {
namespace {

VstTimeInfo gTime{};
long gReceived = 0;

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(&gTime);
    if (opcode == audioMasterProcessEvents) {
        gReceived += static_cast<VstEvents*>(ptr)->numEvents;
        return 1;
    }
    return 0;
}

// Up to eight MIDI messages (offset, status, data 1, data 2) in storage made
// once, so that handing them over allocates nothing.
struct EventList {
    VstMidiEvent events[8]{};
    std::vector<char> storage = std::vector<char>(sizeof(VstEvents) + 8 * sizeof(VstEvent*));
    VstEvents* list = reinterpret_cast<VstEvents*>(storage.data());
    void Set(std::initializer_list<std::array<int, 4>> messages) {
        list->numEvents = 0;
        for (const auto& [offset, status, data1, data2] : messages) {
            VstMidiEvent& e = events[list->numEvents];
            e = VstMidiEvent{};
            e.type = kVstMidiType, e.byteSize = sizeof e, e.deltaFrames = offset;
            e.midiData[0] = char(status), e.midiData[1] = char(data1), e.midiData[2] = char(data2);
            VstEvent** slots = list->events;  // the list is longer than its declared two
            slots[list->numEvents++] = reinterpret_cast<VstEvent*>(&e);
        }
    }
};

TEST(BlockAllocation, PlayingAllocatesNothingAfterWarmUp) {
    gTime.sampleRate = 48000;
    gTime.tempo = 140;
    gTime.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;
    AEffect* effect = test::InProcessEntry(&Host);
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 128, nullptr, 0);
    effect->setParameter(effect, param::kKeyAreaOnOff + 1, 1.0f);
    effect->setParameter(effect, param::kRate, 18.0f / 22.0f);  // 1/64
    std::string teach = "74";
    effect->dispatcher(effect, effString2Parameter, param::kCcTeachSelection, 0, teach.data(), 0);
    effect->setParameter(effect, param::kCcTeach, 1.0f);
    std::vector<float> buffer(128);
    float* outputs[2] = {buffer.data(), buffer.data()};
    EventList events;

    auto play = [&](int blocks) {
        for (int b = 0; b < blocks; ++b) {
            switch (b % 64) {
                case 0: events.Set({{3, 0x90, 36, 100}, {5, 0x90, 43, 90}, {9, 0x90, 64, 80}, {11, 0x92, 90, 70}}); break;
                case 20: events.Set({{0, 0xB0, 7, 64}, {1, 0xE0, 0, 70}, {2, 0xB0, 64, 127}}); break;
                case 40: events.Set({{7, 0x80, 36, 0}, {8, 0x90, 43, 0}, {9, 0x80, 64, 0}, {10, 0x82, 90, 0}}); break;
                case 50: events.Set({{0, 0xB0, 123, 0}}); break;
                default: events.Set({}); break;
            }
            if (events.list->numEvents > 0) effect->dispatcher(effect, effProcessEvents, 0, 0, events.list, 0);
            effect->processReplacing(effect, nullptr, outputs, 128);
            gTime.samplePos += 128;
        }
    };
    play(2000);  // warm-up: every path once
    const long receivedBefore = gReceived;
    test::AllocationCounter::Start();
    play(20000);
    const long duringPlay = test::AllocationCounter::Count();
    auto probe = std::make_unique<std::vector<int>>(16);  // the counter does count
    test::AllocationCounter::Stop();
    EXPECT_EQ(duringPlay, 0);
    EXPECT_GE(test::AllocationCounter::Count(), 2);
    EXPECT_GT(gReceived - receivedBefore, 1000);  // it did play
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0);
}

}  // namespace
}  // namespace sorel
