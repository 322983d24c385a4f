#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <string>

#include "tests/support/ScriptedMessageBoxes.h"

int main(int argc, char** argv)
{
    std::string runtime = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                          "/tarvix-test-XXXXXX";
    if (char* dir = mkdtemp(runtime.data()))
        setenv("XDG_RUNTIME_DIR", dir, 1);
    // OpenGL needs a display: these tests run under Xvfb, never offscreen.
    if (!std::getenv("QT_QPA_PLATFORM") || !*std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    testing::AddGlobalTestEnvironment(new UnexpectedMessageBoxGuard);
    return RUN_ALL_TESTS();
}
