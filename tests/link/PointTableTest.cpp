#include "link/PointTable.h"

#include <gtest/gtest.h>

using namespace telvara;

TEST(PendingQueue, DropsOldestWhenFull) {
    BoundedQueue<int> q(3);
    for (int i = 1; i <= 5; ++i)
        q.push(i);
    auto all = q.takeAll();
    EXPECT_EQ((std::deque<int>{3, 4, 5}), all);
    EXPECT_TRUE(q.empty());
}

TEST(PendingQueue, PutBackGoesAheadAndTrimsTheOldest) {
    BoundedQueue<int> q(4);
    q.push(5);
    q.push(6);
    q.putBack({1, 2, 3});
    EXPECT_EQ((std::deque<int>{2, 3, 5, 6}), q.takeAll());
}
