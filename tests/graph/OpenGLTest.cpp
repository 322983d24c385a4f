#include <gtest/gtest.h>

#include <QOpenGLContext>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "graph/FOpenGL.h"
#include "graph/OffscreenDeviceContext.h"
#include "tests/graph/GraphTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace {

// A surface that fails at one step of the set-up.
class FailingDeviceContext : public host::GLDeviceContext {
public:
    enum Step { Choose, SetFormat, Context };
    explicit FailingDeviceContext(Step step) : m_step(step) {}

    int ChoosePixelFormat(const host::PixelFormatDescriptor&) override { return m_step == Choose ? 0 : 1; }
    bool SetPixelFormat(int, const host::PixelFormatDescriptor&) override { return m_step != SetFormat; }
    QOpenGLContext* CreateContext() override { return nullptr; }
    bool MakeCurrent(QOpenGLContext*) override { return false; }
    void SwapBuffers() override {}

private:
    Step m_step;
};

// Draws one thing on a surface of its own, with a context of its own.
class Canvas {
public:
    explicit Canvas(QSize size) : dc(size)
    {
        ready = CFOpenGL::Shared().Create(&dc, 16, 0);
        CFOpenGL::Shared().Resize(&dc, size.width(), size.height());
    }

    template <typename Fn>
    QImage Draw(Fn fn)
    {
        CFOpenGL& gl = CFOpenGL::Shared();
        if (!gl.MakeCurrent(&dc))
            return {};
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        fn(gl);
        dc.SwapBuffers();
        host::MakeNoContextCurrent();
        return dc.Image();
    }

    host::OffscreenDeviceContext dc;
    bool ready = false;
};

}  // namespace

TEST(CFOpenGL, EachSetUpFailureShowsItsBox)
{
    struct Case {
        FailingDeviceContext::Step step;
        const char* text;
    };
    const Case cases[] = {
        {FailingDeviceContext::Choose, "Can't Find Suitable Pixel Format."},
        {FailingDeviceContext::SetFormat, "Can't Set the PixelFormat."},
        {FailingDeviceContext::Context, "Can't Create A GL Rendering Context."},
    };
    for (const Case& c : cases) {
        ScriptedMessageBoxes boxes;
        boxes.Answer(host::IDOK);
        FailingDeviceContext dc(c.step);
        CFLineGraph graph;
        EXPECT_FALSE(CFOpenGL::Shared().Create(&dc, 16, 0));
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, c.text);
        EXPECT_EQ(boxes.Shown()[0].caption, "ERROR");
        EXPECT_EQ(boxes.Shown()[0].type, host::MB_ICONEXCLAMATION);
        EXPECT_FALSE(CFOpenGL::Shared().HasContext());
        // The window carries on; without a context nothing is drawn.
        graph.Resize(&dc, 300, 200);
        graph.Draw(&dc);
        EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
    }
}

TEST(CFOpenGL, CreateAfterAFailedOneAndReleaseWithoutContext)
{
    {
        ScriptedMessageBoxes boxes;
        boxes.Answer(host::IDOK);
        FailingDeviceContext failing(FailingDeviceContext::Context);
        CFOpenGL::Shared().Create(&failing, 16, 0);
    }
    CFOpenGL::Shared().Release();
    EXPECT_FALSE(CFOpenGL::Shared().HasContext());
    Canvas canvas({200, 100});
    EXPECT_TRUE(canvas.ready);
    EXPECT_TRUE(CFOpenGL::Shared().HasContext());
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
    EXPECT_EQ(CFOpenGL::Shared().FontHeight(), 16);
    CFOpenGL::Shared().Release();
    EXPECT_FALSE(CFOpenGL::Shared().HasContext());
}

TEST(CFOpenGL, ClearColourIsTheBackground)
{
    host::OffscreenDeviceContext dc({64, 64});
    ASSERT_TRUE(CFOpenGL::Shared().Create(&dc, 16, 0x336699));
    CFOpenGL::Shared().Resize(&dc, 64, 64);
    ASSERT_TRUE(CFOpenGL::Shared().MakeCurrent(&dc));
    glClear(GL_COLOR_BUFFER_BIT);
    host::MakeNoContextCurrent();
    EXPECT_EQ(dc.Image().pixel(10, 10) & 0xFFFFFF, Rgb(0x336699) & 0xFFFFFF);
}

TEST(CFOpenGL, ShiftsOfTheAlignments)
{
    Canvas canvas({400, 320});
    const CFOpenGL& gl = CFOpenGL::Shared();
    const std::int32_t w = gl.TextWidth("12");
    ASSERT_GT(w, 0);
    struct Case {
        std::uint8_t alignment;
        int left;  // pixels
        int down;  // pixels
    };
    const Case cases[] = {{0, 0, 0}, {1, w >> 1, 0}, {2, w, 0},  {3, 0, 8},  {4, w >> 1, 8},
                          {5, w, 8}, {6, 0, 16},     {7, w >> 1, 16}, {8, w, 16}, {9, 0, 0}, {200, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(gl.ShiftLeft(c.alignment, "12"), c.left * 100.0 / 400) << int(c.alignment);
        EXPECT_DOUBLE_EQ(gl.ShiftDown(c.alignment), c.down * 80.0 / 320) << int(c.alignment);
    }
    // Characters without a glyph add nothing.
    EXPECT_EQ(gl.TextWidth("1\x01" "2\xC3\xA9"), w);
}

TEST(CFOpenGL, TextStandsAtItsAnchor)
{
    const QSize size(400, 320);
    Canvas canvas(size);
    const CFOpenGL& shared = CFOpenGL::Shared();
    const int width = shared.TextWidth("HH");
    for (std::uint8_t alignment = 0; alignment <= 8; ++alignment) {
        QImage image = canvas.Draw([&](CFOpenGL& gl) {
            CFOpenGL::SetColour(0xFFFFFF);
            gl.PrintText(0, 0, 1, alignment, "%s", "HH");
        });
        const QRect lit = LitArea(image);
        ASSERT_FALSE(lit.isEmpty()) << int(alignment);
        const int column = alignment % 3;
        const int row = alignment / 3;
        const int left = size.width() / 2 - (column == 0 ? 0 : column == 1 ? width / 2 : width);
        // A vertical pixel counts 80 / 100 of a unit per pixel of the height.
        const double down = (row == 0 ? 0 : row == 1 ? 8 : 16) * 0.8;
        EXPECT_NEAR(lit.left(), left, 3) << int(alignment);
        EXPECT_NEAR(lit.right(), left + width, 3) << int(alignment);
        EXPECT_NEAR(lit.bottom(), size.height() / 2 - 1 + down, 1.5) << int(alignment);
        EXPECT_NEAR(lit.height(), 10, 3) << int(alignment);
    }
}

TEST(CFOpenGL, NullOrEmptyTextDrawsNothing)
{
    Canvas canvas({200, 160});
    QImage image = canvas.Draw([](CFOpenGL& gl) {
        CFOpenGL::SetColour(0xFFFFFF);
        gl.PrintText(0, 0, 1, 0, nullptr);
        gl.PrintText(0, 0, 1, 0, "%s", "");
    });
    EXPECT_TRUE(LitArea(image).isEmpty());
}

TEST(CFOpenGL, TextBoxGeometry)
{
    const QSize size(500, 400);
    Canvas canvas(size);
    const std::vector<std::string> texts = {"Data 0", "Data 10"};
    const COLORREF colours[] = {0x2020FF, 0x40FF40};
    QImage image = canvas.Draw([&](CFOpenGL& gl) {
        gl.DrawTextBox(texts, colours, 0x000000, 0xEFEFEF, 45, 45);
    });
    const CFOpenGL& gl = CFOpenGL::Shared();
    const double h = 16 * 80.0 / 400;  // 3.2 units
    const double bottom = 45 - (2 * h + 2 + 4);
    const double left = 45 - (gl.TextWidth("Data 10") * 100.0 / 500 + 4);
    auto pixel = [&](double x, double y) {
        return QPoint(int((x + 50) / 100 * size.width()), int((50 - y) / 100 * size.height()));
    };
    EXPECT_TRUE(ColourNear(image, pixel(45, 40), 0xEFEFEF)) << "right edge";
    EXPECT_TRUE(ColourNear(image, pixel(40, 45), 0xEFEFEF)) << "top edge";
    EXPECT_TRUE(ColourNear(image, pixel(40, bottom), 0xEFEFEF)) << "bottom edge";
    EXPECT_TRUE(ColourNear(image, pixel(left, 40), 0xEFEFEF)) << "left edge";
    EXPECT_FALSE(ColourNear(image, pixel(40, bottom - 1.5), 0xEFEFEF)) << "below the box";
    EXPECT_FALSE(ColourNear(image, pixel(left - 1.5, 40), 0xEFEFEF)) << "left of the box";
    const QRect box(pixel(left, 45), pixel(45, bottom));
    EXPECT_GT(CountColour(image, box, 0x2020FF), 10);
    EXPECT_GT(CountColour(image, box, 0x40FF40), 10);
    EXPECT_EQ(CountColour(image, box, 0x2020FF, true), 0);
}

TEST(CFOpenGL, DottedCrossPair)
{
    const QSize size(500, 400);
    Canvas canvas(size);
    const GraphRect plot{-40, 48, 48, -44};
    QImage image = canvas.Draw([&](CFOpenGL& gl) {
        gl.DrawDottedCrossPair(plot, -10, 20, 5, -30, 2, 0x3399FF);
    });
    auto row = [&](double y) { return int((50 - y) / 100 * size.height()); };
    auto column = [&](double x) { return int((x + 50) / 100 * size.width()); };
    // Dotted: about every other pixel along each line.
    for (double y : {5.0, -30.0}) {
        const int lit = CountColour(image, QRect(column(-39), row(y) - 1, column(47) - column(-39), 3), 0x3399FF);
        EXPECT_GT(lit, 150) << y;
        EXPECT_LT(lit, 300) << y;
    }
    for (double x : {-10.0, 20.0})
        EXPECT_GT(CountColour(image, QRect(column(x) - 1, row(47), 3, row(-43) - row(47)), 0x3399FF), 150) << x;
    EXPECT_EQ(CountColour(image, QRect(QPoint(column(-40), row(48)), QPoint(column(48), row(-44))), 0x3399FF,
                          true),
              0);
}
