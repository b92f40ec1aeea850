#include "webengineapp.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs without the test environment: no engine needed to list.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    quorvane::WebEngineApp app(argc, argv);
    return RUN_ALL_TESTS();
}
