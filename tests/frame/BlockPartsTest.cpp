// The pieces of the block path that a host cannot push to their limits:
// a full output queue, position repair, and the editor queue across threads.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "frame/EditorLink.h"
#include "frame/HostPositionTracker.h"
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
