#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/ScriptedMessageBoxes.h"

int main(int argc, char** argv)
{
    // A private runtime folder: the exchange lock of these tests is not the one
    // of a program running beside them, and parallel test processes do not wait
    // on each other.
    std::string runtime = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                          "/tarvix-test-XXXXXX";
    if (char* dir = mkdtemp(runtime.data()))
        setenv("XDG_RUNTIME_DIR", dir, 1);

    testing::InitGoogleTest(&argc, argv);
    // A box that no test asked for is a failure, never a wait.
    testing::AddGlobalTestEnvironment(new UnexpectedMessageBoxGuard);
    return RUN_ALL_TESTS();
}
