#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <string>

#include "tests/support/ScriptedMessageBoxes.h"

// Tests that hold an OpenGL surface need a real display (xcb under Xvfb);
// the others run headless.
#ifndef TARVIX_TEST_PLATFORM
#define TARVIX_TEST_PLATFORM "offscreen"
#endif

int main(int argc, char** argv)
{
    // A private runtime folder, as for the non-GUI tests: own exchange lock,
    // and Qt finds a runtime folder of its own.
    std::string runtime = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                          "/tarvix-test-XXXXXX";
    if (char* dir = mkdtemp(runtime.data()))
        setenv("XDG_RUNTIME_DIR", dir, 1);
    // The suite's own platform unless told otherwise; test discovery at build
    // time runs us too.
    if (!std::getenv("QT_QPA_PLATFORM") || !*std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", TARVIX_TEST_PLATFORM, 1);

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // A box that no test asked for is a failure, never a wait.
    testing::AddGlobalTestEnvironment(new UnexpectedMessageBoxGuard);
    return RUN_ALL_TESTS();
}
