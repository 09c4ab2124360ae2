// The pieces of the block path that a host cannot push to their limits:
// a full output queue and the editor queue across threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "frame/EditorLink.h"
#include "frame/MidiOutQueue.h"

namespace sorel {
namespace {

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

// Past their reserve, note-offs take the places of controllers first, then
// of note-ons (which then never sound); the urgent message stays, and only a
// queue of nothing but note-offs drops one.
TEST(MidiOutQueueTest, AFloodNeverCrowdsOutNoteOffs) {
    constexpr int kNoteOns = 100, kFull = MidiOutQueue::kCapacity;
    MidiOutQueue queue;
    const auto count = [&](bool (MidiMessage::*is)() const) {
        const auto ordered = queue.Ordered(64);
        return std::count_if(ordered.begin(), ordered.end(), [&](const MidiMessage& m) { return (m.*is)(); });
    };
    queue.Add(MidiMessage::ControlChange(123, 0.0, 1, 0), true);
    for (int i = 0; i < kNoteOns; ++i) queue.Add(MidiMessage::NoteOn(1, i, 100, 0));
    while (queue.Add(MidiMessage::ControlChange(7, 0.5, 1, 5))) {
    }
    EXPECT_EQ(queue.Size(), kFull - MidiOutQueue::kNoteOffReserve);
    EXPECT_EQ(queue.DroppedCount(), 1);
    int added = 0;
    for (; added < kFull - 1 - kNoteOns; ++added) ASSERT_TRUE(queue.Add(MidiMessage::NoteOff(2, added % 128, 6))) << added;
    EXPECT_EQ(count(&MidiMessage::IsNoteOn), kNoteOns) << "controllers go first";
    for (; added < kFull - 1; ++added) ASSERT_TRUE(queue.Add(MidiMessage::NoteOff(2, added % 128, 6))) << added;
    EXPECT_FALSE(queue.Add(MidiMessage::NoteOff(1, 1, 0)));
    EXPECT_EQ(count(&MidiMessage::IsNoteOff), kFull - 1);
    const auto ordered = queue.Ordered(64);
    EXPECT_TRUE(ordered[0].Kind() == midi::kControlChange && ordered[0].data1 == 123);
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
}

// One producer, one consumer: every event arrives, in order; a full ring
// refuses and counts what it dropped.
TEST(EditorLinkTest, AProducerAndAConsumerOnTwoThreads) {
    EditorLink link;
    for (uint32_t i = 0; i < EditorLink::kCapacity; ++i) EXPECT_TRUE(link.Post({EditorEvent::Kind::NoteShown, -1}));
    EXPECT_FALSE(link.Post({EditorEvent::Kind::NoteShown, -1}));
    EXPECT_EQ(link.DroppedCount(), 1u);
    EditorEvent event;
    for (uint32_t i = 0; i < EditorLink::kCapacity; ++i) ASSERT_TRUE(link.Take(event));
    EXPECT_FALSE(link.Take(event));
    constexpr int kEvents = 200000;
    std::thread producer([&] {
        for (int i = 0; i < kEvents;) {
            if (link.Post({EditorEvent::Kind::NoteShown, i})) ++i;
        }
    });
    int expected = 0;
    while (expected < kEvents) {
        if (link.Take(event)) {
            ASSERT_EQ(event.area, expected);
            ++expected;
        }
    }
    producer.join();
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

}  // namespace
}  // namespace sorel
