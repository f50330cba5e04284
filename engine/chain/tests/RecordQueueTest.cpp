#include "engine/chain/RecordQueue.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace orv {
namespace {

// The queue gives records back in the order they went in, whatever the
// mix of puts and takes, also while its ring grows with the front in the
// middle of it; a std::deque run beside it says what to expect.
TEST(RecordQueue, KeepsOrderThroughWrapsAndGrowth)
{
    TRecordQueue<std::string> queue;
    std::deque<std::string> expected;
    int next = 0;
    // Puts and takes by pattern: runs of puts longer than the ring force it
    // to grow while its front is away from the first slot.
    const int puts[] = {3, 1, 2, 5, 0, 9, 1, 17, 2, 0, 33, 4};
    const int takes[] = {1, 2, 0, 3, 4, 2, 8, 1, 15, 6, 20, 40};
    for (int round = 0; round < 12; ++round) {
        for (int i = 0; i < puts[round]; ++i) {
            std::string record = "record " + std::to_string(next++);
            queue.push_back(record);
            expected.push_back(record);
        }
        for (int i = 0; i < takes[round] && !expected.empty(); ++i) {
            SCOPED_TRACE(round);
            ASSERT_FALSE(queue.empty());
            ASSERT_EQ(queue.size(), expected.size());
            EXPECT_EQ(queue.front(), expected.front());
            queue.pop_front();
            expected.pop_front();
        }
    }
    EXPECT_EQ(queue.empty(), expected.empty());
    // Reading by index and from front to back, wrapped around the ring.
    for (int i = 0; i < 7; ++i) {
        queue.push_back("window " + std::to_string(i));
        expected.push_back("window " + std::to_string(i));
    }
    queue.pop_front();
    expected.pop_front();
    queue.emplace_back() += "fresh";
    expected.push_back("fresh");
    ASSERT_EQ(queue.size(), expected.size());
    size_t at = 0;
    for (const std::string &record : queue) {
        EXPECT_EQ(record, expected[at]);
        EXPECT_EQ(queue[at], expected[at]);
        ++at;
    }
    EXPECT_EQ(at, expected.size());
    EXPECT_EQ(queue.back(), "fresh");
    queue.clear();
    queue.push_back("after");
    queue.clear();
    EXPECT_TRUE(queue.empty());
    queue.push_back("again");
    EXPECT_EQ(queue.front(), "again");
    EXPECT_EQ(queue.size(), 1u);
}

} // namespace
} // namespace orv
