#include <gtest/gtest.h>

#include "KQmessage/KAssert.h"

TEST(KAssertDeathTest, NamesConditionFileAndLine) {
    int x = 1;
    EXPECT_DEATH(KASSERT(x == 2), "Assertion failed: x == 2, file .*KAssertTest\\.cpp, line [0-9]+");
}

TEST(KAssertDeathTest, PassingConditionDoesNothing) {
    int x = 1;
    KASSERT(x == 1);
    SUCCEED();
}
