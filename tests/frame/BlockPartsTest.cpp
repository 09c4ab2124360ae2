// The pieces of the block path on their own: output ordering, position
// repair, the bookkeeping of sounding and passed-through notes, MIDI learn,
// CC teach, the editor queue and host identification.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "engine/ChordShapeList.h"
#include "frame/CcTeach.h"
#include "frame/EditorLink.h"
#include "frame/HostIdentity.h"
#include "frame/HostPositionTracker.h"
#include "frame/MidiLearn.h"
#include "frame/MidiOutQueue.h"
#include "frame/PassThroughNotes.h"
#include "frame/SoundingNotes.h"

namespace sorel {
namespace {

TEST(MidiMessageTest, ViewsAndBuilders) {
    MidiMessage m{12, 0x93, 60, 0};
    EXPECT_EQ(m.Channel(), 4);
    EXPECT_TRUE(m.IsNoteOff());  // velocity 0 ends the note
    EXPECT_FALSE(m.IsNoteOn());
    EXPECT_EQ((MidiMessage{0, 0x45, 1, 1}.Kind()), 0);
    EXPECT_EQ((MidiMessage{0, 0xF8, 0, 0}.Kind()), 0);
    const MidiMessage cc = MidiMessage::ControlChange(74, 0.5, 16, 3);
    EXPECT_EQ(cc.status, 0xBF);  // channel 16 goes out on channel 16
    EXPECT_EQ(cc.data2, 63);     // 63.5 truncated
    EXPECT_EQ(MidiMessage::ControlChange(1, 1.0, 1, 0).data2, 127);
    EXPECT_EQ(MidiMessage::ControlChange(1, 7.0, 1, 0).data2, 127);
    const MidiMessage off = MidiMessage::NoteOff(2, 64, 9);
    EXPECT_EQ(off.status, 0x81);
    EXPECT_EQ(off.data2, 127);
}

TEST(MidiOutQueueTest, OrdersByOffsetAndKeepsTheOrderWithinAnOffset) {
    MidiOutQueue queue;
    queue.Add(MidiMessage::NoteOn(1, 60, 100, 30));
    queue.Add(MidiMessage::ControlChange(7, 0.5, 1, 10));
    queue.Add(MidiMessage::NoteOn(1, 62, 100, 10));
    queue.Add(MidiMessage::NoteOff(1, 50, 10));
    queue.Add(MidiMessage::ControlChange(123, 0, 1, 10), true);
    const auto ordered = queue.Ordered(64);
    ASSERT_EQ(ordered.size(), 5u);
    EXPECT_TRUE(ordered[0].Kind() == midi::kControlChange && ordered[0].data1 == 123);
    EXPECT_EQ(ordered[1].data1, 7);
    EXPECT_EQ(ordered[2].data1, 62);
    EXPECT_EQ(ordered[3].data1, 50);
    EXPECT_EQ(ordered[4].data1, 60);
}

TEST(MidiOutQueueTest, OffsetsAreKeptInsideTheBlock) {
    MidiOutQueue queue;
    queue.Add(MidiMessage::NoteOn(1, 60, 100, 500));
    queue.Add(MidiMessage::NoteOn(1, 61, 100, -20));
    const auto ordered = queue.Ordered(64);
    EXPECT_EQ(ordered[0].offset, 0);
    EXPECT_EQ(ordered[1].offset, 63);
}

TEST(MidiOutQueueTest, AFloodNeverCrowdsOutNoteOffs) {
    MidiOutQueue queue;
    int accepted = 0;
    for (int i = 0; i < MidiOutQueue::kCapacity; ++i) accepted += queue.Add(MidiMessage::NoteOn(1, i % 128, 1, 0));
    EXPECT_EQ(accepted, MidiOutQueue::kCapacity - MidiOutQueue::kNoteOffReserve);
    EXPECT_GT(queue.DroppedCount(), 0);
    for (int i = 0; i < MidiOutQueue::kNoteOffReserve; ++i) EXPECT_TRUE(queue.Add(MidiMessage::NoteOff(1, i % 128, 0)));
    // Full: further note-offs take the places of note-ons, which then never
    // sound; only a queue of nothing but note-offs drops one.
    for (int i = 0; i < MidiOutQueue::kCapacity - MidiOutQueue::kNoteOffReserve; ++i)
        EXPECT_TRUE(queue.Add(MidiMessage::NoteOff(2, i % 128, 0))) << i;
    EXPECT_FALSE(queue.Add(MidiMessage::NoteOff(1, 1, 0)));
    const auto ordered = queue.Ordered(64);
    ASSERT_EQ(ordered.size(), static_cast<size_t>(MidiOutQueue::kCapacity));
    for (const MidiMessage& m : ordered) EXPECT_TRUE(m.IsNoteOff());
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
}

TEST(MidiOutQueueTest, AFullQueueGivesUpControllersForNoteOffsAndKeepsUrgentMessages) {
    MidiOutQueue queue;
    queue.Add(MidiMessage::ControlChange(123, 0.0, 1, 0), true);
    queue.Add(MidiMessage::NoteOn(1, 60, 100, 0));
    while (queue.Add(MidiMessage::ControlChange(7, 0.5, 1, 5))) {
    }
    ASSERT_EQ(queue.Size(), MidiOutQueue::kCapacity - MidiOutQueue::kNoteOffReserve);
    for (int i = 0; i < MidiOutQueue::kCapacity; ++i) queue.Add(MidiMessage::NoteOff(1, i % 128, 6));
    const auto ordered = queue.Ordered(64);
    ASSERT_EQ(ordered.size(), static_cast<size_t>(MidiOutQueue::kCapacity));
    // The panic stays; the note-on went only after every controller had gone.
    EXPECT_TRUE(ordered[0].Kind() == midi::kControlChange && ordered[0].data1 == 123);
    for (size_t i = 1; i < ordered.size(); ++i) EXPECT_TRUE(ordered[i].IsNoteOff()) << i;
}

TEST(HostPositionTrackerTest, RepairsOverlapsAndReanchorsJumps) {
    HostPositionTracker tracker;
    BlockPlan plan = tracker.Plan(1000, 64, true, false, 0, -1);
    EXPECT_EQ(plan.samplePos, 1000);
    EXPECT_EQ(plan.frames, 64);
    // The host repeats the previous block's last 10 samples.
    plan = tracker.Plan(1054, 64, true, false, 0, -1);
    EXPECT_EQ(plan.samplePos, 1064);
    EXPECT_EQ(plan.frames, 54);
    EXPECT_EQ(plan.skipped, 10);
    // The next block follows the repaired one exactly.
    plan = tracker.Plan(1118, 64, true, false, 0, -1);
    EXPECT_EQ(plan.samplePos, 1118);
    EXPECT_EQ(plan.frames, 64);
    // A jump ahead by 100 samples keeps the block as it is and re-anchors.
    plan = tracker.Plan(1282, 64, true, false, 0, -1);
    EXPECT_EQ(plan.samplePos, 1282);
    EXPECT_EQ(plan.frames, 64);
    EXPECT_EQ(plan.skipped, 0);
    plan = tracker.Plan(1346, 64, true, false, 0, -1);
    EXPECT_EQ(plan.frames, 64);
    // One sample of overlap is not worth repairing.
    plan = tracker.Plan(1409, 64, true, false, 0, -1);
    EXPECT_EQ(plan.samplePos, 1409);
    EXPECT_EQ(plan.frames, 64);
}

TEST(HostPositionTrackerTest, LoopJumpsCountOnlyWithTheLoopOn) {
    HostPositionTracker tracker;
    tracker.Plan(48000, 512, true, true, 0, 48000);
    EXPECT_TRUE(tracker.Plan(0, 512, true, true, 0, 48000).loopJumped);
    EXPECT_FALSE(tracker.Plan(512, 512, true, true, 0, 48000).loopJumped);
    HostPositionTracker noLoop;
    noLoop.Plan(48000, 512, true, false, 0, -1);
    EXPECT_FALSE(noLoop.Plan(0, 512, true, false, 0, -1).loopJumped);
    EXPECT_FALSE(noLoop.Plan(512, 512, true, false, 0, -1).loopJumped);
}

TEST(HostPositionTrackerTest, StoppingForgetsThePreviousBlock) {
    HostPositionTracker tracker;
    tracker.Plan(1000, 64, true, false, 0, -1);
    tracker.Plan(0, 64, false, false, 0, -1);
    const BlockPlan plan = tracker.Plan(1054, 64, true, false, 0, -1);
    EXPECT_EQ(plan.samplePos, 1054);
    EXPECT_EQ(plan.frames, 64);
}

TEST(SoundingNotesTest, CountsWhatWentOutAndForgetsWhatEnded) {
    SoundingNotes notes;
    notes.Track(MidiMessage::NoteOn(3, 60, 100, 0));
    notes.Track(MidiMessage::NoteOn(3, 60, 100, 0));
    notes.Track(MidiMessage::NoteOn(16, 127, 1, 0));
    notes.Track(MidiMessage::ControlChange(60, 1, 3, 0));
    EXPECT_EQ(notes.Count(), 3);
    notes.Track(MidiMessage{0, 0x92, 60, 0});  // velocity 0 on channel 3
    EXPECT_FALSE(notes.IsSounding(3, 60));
    int seen = 0;
    notes.ForEach([&](int channel, int note) {
        EXPECT_EQ(channel, 16);
        EXPECT_EQ(note, 127);
        ++seen;
    });
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(notes.IsSounding(17, 0));
}

TEST(PassThroughNotesTest, GivesBackTheNoteThatWasSent) {
    PassThroughNotes notes;
    notes.Remember(1, 61, 62);
    notes.Remember(1, 61, 64);
    notes.Remember(2, 61, 61);
    int sent = 0;
    ASSERT_TRUE(notes.Take(1, 61, sent));
    EXPECT_EQ(sent, 62);
    ASSERT_TRUE(notes.Take(1, 61, sent));
    EXPECT_EQ(sent, 64);
    EXPECT_FALSE(notes.Take(1, 61, sent));
    EXPECT_TRUE(notes.Take(2, 61, sent));
    EXPECT_EQ(notes.Size(), 0);
    notes.Remember(0, 61, 61);  // no such channel
    notes.Remember(1, 128, 61);
    EXPECT_EQ(notes.Size(), 0);
}

// Every press of a key repeated without note-offs is counted, in order, and
// presses of other keys never push it out.
TEST(PassThroughNotesTest, RepeatedPressesAreAllEndedAndOthersAreNotForgotten) {
    PassThroughNotes notes;
    notes.Remember(5, 70, 72);
    constexpr int kPresses = 100000;
    for (int i = 0; i < kPresses; ++i) notes.Remember(3, 40, 40 + i % 20);
    EXPECT_EQ(notes.Size(), kPresses + 1);
    int sent = 0;
    ASSERT_TRUE(notes.Take(5, 70, sent));
    EXPECT_EQ(sent, 72);
    for (int i = 0; i < PassThroughNotes::kNotesPerKey; ++i) {
        ASSERT_TRUE(notes.Take(3, 40, sent));
        EXPECT_EQ(sent, 40 + i % 20) << "the oldest presses come back in order";
    }
    int taken = PassThroughNotes::kNotesPerKey;
    while (notes.Take(3, 40, sent)) ++taken;
    EXPECT_EQ(taken, kPresses);
    EXPECT_EQ(notes.Size(), 0);
}

TEST(MidiLearnTest, LearnsUnlearnsAndRoutes) {
    ParameterTable table(ParameterLayout::Shared(kHostUnknown, ChordShapeList{}));
    MidiLearn learn(table);
    int target = -1;
    double normalized = 0;
    EXPECT_FALSE(learn.Route(7, 100, target, normalized));
    learn.BeginLearn(param::kGlobalVolume);
    ASSERT_TRUE(learn.Route(7, 127, target, normalized));  // completes the learn and already moves
    EXPECT_EQ(target, param::kGlobalVolume);
    EXPECT_EQ(normalized, 1.0);
    EXPECT_EQ(table.Value(param::kControllerMap + 7), param::kGlobalVolume);
    learn.BeginLearn(param::kSwing);
    learn.Route(8, 0, target, normalized);
    learn.UnlearnParameter(param::kSwing);
    EXPECT_FALSE(learn.Route(8, 0, target, normalized));
    EXPECT_TRUE(learn.Route(7, 0, target, normalized));
    learn.BeginLearn(param::kControllerMap + 3);  // the map itself cannot be a target
    EXPECT_EQ(learn.LearnTarget(), MidiLearn::kUnbound);
    learn.BeginLearn(param::kHold);
    learn.UnlearnAll();
    EXPECT_EQ(learn.LearnTarget(), MidiLearn::kUnbound);
    EXPECT_FALSE(learn.Route(7, 0, target, normalized));
    // A hostile map value binds nothing.
    table.Get(param::kControllerMap + 9)->SetValue(99999);
    EXPECT_FALSE(learn.Route(9, 0, target, normalized));
    EXPECT_FALSE(learn.Route(200, 0, target, normalized));
}

TEST(CcTeachTest, RampsSlowlyOnTheChosenLane) {
    StepCcNumbers numbers;
    numbers.fill(-1);
    numbers[9] = 74;
    CcTeach teach;
    int controller = 0, value = 0, channel = 0;
    EXPECT_FALSE(teach.NextBlock(numbers, controller, value, channel));
    teach.Start(9, 5);
    int blocks = 1;
    int lastValue = -1;
    for (; blocks < 1300; ++blocks) {
        ASSERT_TRUE(teach.NextBlock(numbers, controller, value, channel));
        EXPECT_EQ(controller, 74);
        EXPECT_EQ(channel, 5);
        if (value < lastValue) break;  // the ramp started again
        lastValue = value;
    }
    EXPECT_EQ(lastValue, 127);
    // A tenth per block up to 127; the ramp also grew in the block before teach was on.
    EXPECT_EQ(blocks, 1270);
    teach.Start(8, 1);             // a lane that sends nothing
    EXPECT_FALSE(teach.NextBlock(numbers, controller, value, channel));
    teach.Stop();
    EXPECT_FALSE(teach.IsOn());
}

TEST(EditorLinkTest, DeliversInOrderAndDropsWhenFull) {
    EditorLink link;
    for (uint32_t i = 0; i < EditorLink::kCapacity; ++i) EXPECT_TRUE(link.Post({EditorEvent::Kind::AreaNoteIn, int(i)}));
    EXPECT_FALSE(link.Post({EditorEvent::Kind::AreaNoteIn, -1}));
    EXPECT_EQ(link.DroppedCount(), 1u);
    EditorEvent event;
    for (uint32_t i = 0; i < EditorLink::kCapacity; ++i) {
        ASSERT_TRUE(link.Take(event));
        EXPECT_EQ(event.area, int(i));
    }
    EXPECT_FALSE(link.Take(event));
}

TEST(EditorLinkTest, AProducerAndAConsumerOnTwoThreads) {
    EditorLink link;
    constexpr int kEvents = 200000;
    std::thread producer([&] {
        for (int i = 0; i < kEvents;) {
            if (link.Post({EditorEvent::Kind::NoteShown, i})) ++i;
        }
    });
    int expected = 0;
    EditorEvent event;
    while (expected < kEvents) {
        if (link.Take(event)) {
            ASSERT_EQ(event.area, expected);
            ++expected;
        }
    }
    producer.join();
}

TEST(EditorLinkTest, TheLatestStatusTextIsTakenOnce) {
    EditorLink link;
    char text[EditorLink::kStatusLength];
    EXPECT_FALSE(link.TakeStatus(text));
    link.PostStatus("first");
    link.PostStatus("-- WELCOME --");
    ASSERT_TRUE(link.TakeStatus(text));
    EXPECT_STREQ(text, "-- WELCOME --");
    EXPECT_FALSE(link.TakeStatus(text));  // nothing new
    link.PostStatus(std::string(100, 'x'));
    ASSERT_TRUE(link.TakeStatus(text));
    EXPECT_EQ(std::string(text), std::string(EditorLink::kStatusLength - 1, 'x'));
}

TEST(EditorLinkTest, StatusTextsAreNeverTornAcrossThreads) {
    EditorLink link;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 100000; ++i) link.PostStatus(i % 2 ? "aaaaaaaaaaaaaaaa" : "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");
        done = true;
    });
    char text[EditorLink::kStatusLength];
    int taken = 0;
    for (bool finished = false; !finished;) {
        finished = done.load();  // once the writer is done, the last text is there to take
        if (!link.TakeStatus(text)) continue;
        const std::string seen(text);
        ASSERT_TRUE(seen == std::string(16, 'a') || seen == std::string(32, 'b')) << seen;
        ++taken;
    }
    writer.join();
    EXPECT_GT(taken, 0);
    EXPECT_FALSE(link.TakeStatus(text));
}

TEST(HostIdentityTest, ProductStringsGiveHostCodes) {
    EXPECT_EQ(HostCodeFromProductString("CuBaSe Pro"), 3);
    EXPECT_EQ(HostCodeFromProductString("Nuendo Live"), 4);  // nuendo is tried first
    EXPECT_EQ(HostCodeFromProductString("Ableton Live"), 9);
    EXPECT_EQ(HostCodeFromProductString("REAPER"), 1);
    EXPECT_EQ(HostCodeFromProductString("Ardour"), 28);
    EXPECT_EQ(HostCodeFromProductString("Some Host"), 0);
    EXPECT_EQ(HostCodeFromProductString(""), 0);
    EXPECT_EQ(HostVersionFromVendorVersion(70305), (7 << 16) + (3 << 8) + 5);
    EXPECT_EQ(HostVersionFromVendorVersion(-4), 0);
}

}  // namespace
}  // namespace sorel
