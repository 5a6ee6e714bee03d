// Entry of the conformance tests: the backend is prepared as the program
// prepares it, every test runs against it, and it is ended as the program
// ends it. Started as a child by a
// test, the binary plays that child's part instead.
#include <gtest/gtest.h>

#include "child_process.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    platform::InitPlatform(argc, argv);
    if (int code = 0; conformance::RunChildRole(argc, argv, code)) return code;
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    platform::EndPlatform();
    return result;
}
