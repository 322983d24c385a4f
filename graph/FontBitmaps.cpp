#include "graph/FontBitmaps.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <GL/gl.h>

#include <vector>

namespace host {

namespace {

// Rows bottom to top, each padded to whole bytes, leftmost pixel in the high bit.
std::vector<GLubyte> BitmapRows(const QImage& glyph)
{
    const int rowBytes = (glyph.width() + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * glyph.height(), 0);
    for (int row = 0; row < glyph.height(); ++row) {
        const uchar* line = glyph.constScanLine(glyph.height() - 1 - row);
        for (int x = 0; x < glyph.width(); ++x) {
            if (line[x] < 128)
                bits[static_cast<size_t>(row) * rowBytes + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
        }
    }
    return bits;
}

}  // namespace

QFont CreateFont(int height, int weight, const QString& face)
{
    QFont font(face);
    font.setStyleHint(QFont::TypeWriter, QFont::NoAntialias);
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Qt sizes the em; the platform sizes the cell, which is a little taller.
    int pixels = height;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > height)
        font.setPixelSize(--pixels);
    return font;
}

void UseFontBitmaps(const QFont& font, unsigned first, unsigned count, unsigned listBase)
{
    const QFontMetrics metrics(font);
    const int height = metrics.height();
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    for (unsigned k = 0; k < count; ++k) {
        const QChar ch(static_cast<char16_t>(first + k));
        const int advance = metrics.horizontalAdvance(ch);
        QImage glyph(qMax(advance, 1), qMax(height, 1), QImage::Format_Grayscale8);
        glyph.fill(255);
        {
            QPainter painter(&glyph);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(0, metrics.ascent(), QString(ch));
        }
        const std::vector<GLubyte> bits = BitmapRows(glyph);
        glNewList(listBase + k, GL_COMPILE);
        glBitmap(glyph.width(), glyph.height(), 0.0f, static_cast<GLfloat>(metrics.descent()),
                 static_cast<GLfloat>(advance), 0.0f, bits.data());
        glEndList();
    }
    glPopClientAttrib();
}

void GetCharWidths(const QFont& font, unsigned first, unsigned last, std::int32_t* widths)
{
    const QFontMetrics metrics(font);
    for (unsigned c = first; c <= last; ++c)
        widths[c - first] = metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

}  // namespace host
