// The held-note list: pitch order, arrivals that stay unique, play orders.
#include <gtest/gtest.h>

#include <set>

#include "engine/NoteList.h"

namespace sorel {
namespace {

std::vector<int> PlayOrder(const NoteList& list) {
    std::vector<int> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list.AtPlayIndex(i)->note);
    return r;
}

TEST(NoteList, SortOrders) {
    NoteList list;
    for (int n : {64, 60, 67}) list.Add(n, 100);
    list.Sort(sort::kLowToHigh);
    EXPECT_EQ(PlayOrder(list), (std::vector<int>{60, 64, 67}));
    list.Sort(sort::kHighToLow);
    EXPECT_EQ(PlayOrder(list), (std::vector<int>{67, 64, 60}));
    list.Sort(sort::kAsPlayed);
    EXPECT_EQ(PlayOrder(list), (std::vector<int>{64, 60, 67}));
    list.Sort(sort::kReversed);
    EXPECT_EQ(PlayOrder(list), (std::vector<int>{67, 60, 64}));
}

TEST(NoteList, ArrivalsStayUniqueAfterRemovals) {
    NoteList list;
    for (int n : {70, 50, 60, 55, 65}) list.Add(n, 90);
    list.Remove(50);
    list.Remove(65);
    list.Add(52, 10);
    list.Sort(sort::kAsPlayed);
    std::set<int> arrivals;
    for (int i = 0; i < list.Count(); ++i) arrivals.insert(list.ByPitch(i).arrival);
    EXPECT_EQ(arrivals, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(PlayOrder(list), (std::vector<int>{70, 60, 55, 52}));  // the newest key last
}

TEST(NoteList, RefusesBadNotesAndTheHundredTwentyEighth) {
    NoteList list;
    EXPECT_FALSE(list.Add(128, 1));
    EXPECT_FALSE(list.Add(-1, 1));
    for (int n = 0; n < 128; ++n) list.Add(n, 1);
    EXPECT_EQ(list.Count(), 127);
    EXPECT_FALSE(list.Remove(127));  // never got in
    EXPECT_TRUE(list.Add(5, 77));    // present: only the velocity changes
    EXPECT_EQ(list.Find(5)->velocity, 77);
    NoteList chord(8);
    for (int n = 0; n < 10; ++n) chord.Add(40 + n, 1);
    EXPECT_EQ(chord.Count(), 8);
}

}  // namespace
}  // namespace sorel
