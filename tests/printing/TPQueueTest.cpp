#include "printing/TPQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace miradel {
namespace {

// Counts live entries so the tests see what the queue frees.
struct Entry {
    explicit Entry(int v, int* live) : value(v), live(live) { ++*live; }
    Entry(const Entry& other) : value(other.value), live(other.live) { ++*live; }
    Entry& operator=(const Entry&) = default;
    ~Entry() { --*live; }

    int value;
    int* live;
    QueueLink<Entry> next;
};

std::vector<int> Values(const TPQueue<Entry>& queue) {
    std::vector<int> values;
    queue.ForEach([&](const Entry& e) { values.push_back(e.value); });
    return values;
}

class TPQueueTest : public ::testing::Test {
  protected:
    std::unique_ptr<Entry> Make(int value) { return std::make_unique<Entry>(value, &live_); }
    int live_ = 0;
};

TEST_F(TPQueueTest, PopsInPushOrderAndHandsOwnershipBack) {
    TPQueue<Entry> queue;
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.Pop(), nullptr);
    for (int i = 1; i <= 3; ++i) {
        queue.Push(Make(i));
    }
    EXPECT_EQ(queue.Size(), 3u);
    std::vector<int> popped;
    while (auto entry = queue.Pop()) {
        popped.push_back(entry->value);
    }
    EXPECT_EQ(popped, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(live_, 0);
    queue.Push(Make(4));  // usable again after running empty
    EXPECT_EQ(Values(queue), (std::vector<int>{4}));
}

TEST_F(TPQueueTest, FreesWhatItStillHolds) {
    {
        TPQueue<Entry> queue;
        queue.Push(Make(1));
        queue.Push(Make(2));
        EXPECT_EQ(live_, 2);
    }
    EXPECT_EQ(live_, 0);
    TPQueue<Entry> queue;
    queue.Push(Make(1));
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(live_, 0);
}

TEST_F(TPQueueTest, SplicesWholeQueuesAtEitherEnd) {
    TPQueue<Entry> queue;
    queue.Push(Make(3));
    TPQueue<Entry> tail;
    tail.Push(Make(4));
    tail.Push(Make(5));
    queue.Append(std::move(tail));
    TPQueue<Entry> head;
    head.Push(Make(1));
    head.Push(Make(2));
    queue.Prepend(std::move(head));
    queue.PushFront(Make(0));
    EXPECT_EQ(Values(queue), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(queue.Size(), 6u);
    EXPECT_TRUE(tail.Empty());
    EXPECT_TRUE(head.Empty());
    queue.Push(Make(6));  // the tail is still right after splicing
    EXPECT_EQ(Values(queue).back(), 6);
}

TEST_F(TPQueueTest, CopyOfAQueuedEntryIsNotLinked) {
    TPQueue<Entry> queue;
    queue.Push(Make(1));
    queue.Push(Make(2));
    Entry copy(1, &live_);
    queue.ForEach([&](const Entry& e) {
        if (e.value == 1) {
            copy = e;
        }
    });
    TPQueue<Entry> other;
    other.Push(std::make_unique<Entry>(copy));
    EXPECT_EQ(Values(other), (std::vector<int>{1}));
    EXPECT_EQ(Values(queue), (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace miradel
