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

TEST(CFOpenGL, TextStandsAtItsAnchor)
{
    const QSize size(400, 320);
    Canvas canvas(size);
    const CFOpenGL& shared = CFOpenGL::Shared();
    const int width = shared.TextWidth("HH");
    // Characters without a glyph neither show nor take room.
    EXPECT_EQ(shared.TextWidth("H\x01H\xC3\xA9"), width);
    for (std::uint8_t alignment : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 200}) {
        QImage image = canvas.Draw([&](CFOpenGL& gl) {
            CFOpenGL::SetColour(0xFFFFFF);
            gl.PrintText(0, 0, 1, alignment, "%s", "H\x01H\xC3\xA9");
        });
        const QRect lit = LitArea(image);
        ASSERT_FALSE(lit.isEmpty()) << int(alignment);
        const int column = alignment > 8 ? 0 : alignment % 3;
        const int row = alignment > 8 ? 0 : alignment / 3;
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

