// The graph window on a display without OpenGL; run on its own (see
// tests/CMakeLists.txt), since the platform's OpenGL is chosen at start-up.
#include <QTest>

#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"

class GraphWithoutOpenGL : public GraphWindowTest {};

TEST_F(GraphWithoutOpenGL, SetUpFailureIsShownOnceAndTheWindowStays)
{
    ConnectTo(kSampleServoVersion);
    m_boxes.Answer(host::IDOK);
    OpenGraph();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "Can't Find Suitable Pixel Format.");
    EXPECT_EQ(m_boxes.Shown()[0].caption, "ERROR");
    EXPECT_EQ(Plot().GetSurface(), nullptr);
    // Shown and painted, with the test array read all the same.
    QTest::qWait(100);
    EXPECT_TRUE(m_dlg->isVisible());
    EXPECT_EQ(m_sim->ReceivedLines(), TestArrayWire(4 * 64));
    EXPECT_EQ(Graph().Samples().SampleCount(), 64);
}
