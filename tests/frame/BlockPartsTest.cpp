// The pieces of the block path that a host cannot push to their limits:
// a full output queue and the editor queue across threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "frame/editing/EditorLink.h"
#include "frame/MidiOutQueue.h"

namespace sorel {
namespace {

TEST(MidiOutQueueTest, OrdersByOffsetAndKeepsTheOrderWithinAnOffset) {
    MidiOutQueue queue;
    queue.Add(MidiMessage::NoteOn(1, 60, 100, 30));
    queue.Add(MidiMessage::ControlChange(7, 0.5, 1, 10));
    queue.Add(MidiMessage::NoteOn(1, 62, 100, 10));
    queue.Add(MidiMessage::NoteOff(1, 50, 10));
    queue.Add(MidiMessage::ControlChange(123, 0, 1, 10), note_owner::kPanic, true);
    std::vector<int> order;
    for (const QueuedMidi& q : queue.Ordered(64)) order.push_back(q.message.data1);
    EXPECT_EQ(order, (std::vector<int>{123, 7, 62, 50, 60}));
}

// Past their reserve, note-offs take the places of controllers first, then
// of note-ons (which then never sound); the urgent message stays, and only a
// queue of nothing but note-offs drops one.
TEST(MidiOutQueueTest, AFloodNeverCrowdsOutNoteOffs) {
    constexpr int kNoteOns = 100, kFull = MidiOutQueue::kCapacity;
    MidiOutQueue queue;
    const auto count = [&](bool (MidiMessage::*is)() const) {
        const auto ordered = queue.Ordered(64);
        return std::count_if(ordered.begin(), ordered.end(), [&](const QueuedMidi& q) { return (q.message.*is)(); });
    };
    queue.Add(MidiMessage::ControlChange(123, 0.0, 1, 0), note_owner::kPanic, true);
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
    EXPECT_TRUE(ordered[0].message.Kind() == midi::kControlChange && ordered[0].message.data1 == 123);
}

// One producer, one consumer: every event arrives, in order; a full ring
// refuses and counts what it dropped.
TEST(EditorLinkTest, AProducerAndAConsumerOnTwoThreads) {
    EditorLink link;
    EditorEvent event;
    for (uint32_t i = 0; i < EditorLink::kCapacity; ++i) EXPECT_TRUE(link.Post({EditorEvent::Kind::NoteStarted, -1}));
    EXPECT_FALSE(link.Post({EditorEvent::Kind::NoteStarted, -1}));
    EXPECT_EQ(link.DroppedCount(), 1u);
    for (uint32_t i = 0; i < EditorLink::kCapacity; ++i) ASSERT_TRUE(link.Take(event));
    EXPECT_FALSE(link.Take(event));
    constexpr int kEvents = 200000;
    std::thread producer([&] {
        for (int i = 0; i < kEvents;) i += link.Post({EditorEvent::Kind::NoteStarted, i});
    });
    int outOfOrder = 0;
    for (int expected = 0; expected < kEvents;)
        if (link.Take(event)) outOfOrder += event.area != expected++;
    producer.join();
    EXPECT_EQ(outOfOrder, 0);
}

TEST(EditorLinkTest, StatusTextsAreNeverTornAcrossThreads) {
    EditorLink link;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 100000; ++i) link.PostStatus(i % 2 ? "aaaaaaaaaaaaaaaa" : "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");
        done = true;
    });
    char text[EditorLink::kStatusLength];
    int taken = 0, torn = 0;
    for (bool finished = false; !finished;) {
        finished = done.load();  // once the writer is done, the last text is there to take
        if (!link.TakeStatus(text)) continue;
        ++taken;
        torn += std::string(text) != std::string(16, 'a') && std::string(text) != std::string(32, 'b');
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(taken, 0);
    EXPECT_FALSE(link.TakeStatus(text));
}

}  // namespace
}  // namespace sorel
