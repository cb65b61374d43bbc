#include <gtest/gtest.h>

#include "host_test_support.h"

int main(int argc, char** argv) {
    host_test::UsePrivateConfigHome();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
