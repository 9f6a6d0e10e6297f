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
