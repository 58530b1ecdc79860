#include "test_support.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
