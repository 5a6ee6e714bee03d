// Entry of the conformance tests: the backend is prepared as the program
// prepares it, then every test runs against it.
#include <gtest/gtest.h>

#include "platform/system.h"

int main(int argc, char** argv)
{
    platform::InitPlatform(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
