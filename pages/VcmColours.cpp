#include "pages/VcmColours.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

VcmColours TakeColours()
{
    // The text and background of an edit field: the roles the system's window
    // text and window colours stand for on a parameter page.
    const QPalette palette = QGuiApplication::palette();
    const QColor windowText = palette.color(QPalette::Active, QPalette::Text);
    const QColor window = palette.color(QPalette::Active, QPalette::Base);
    VcmColours c;
    c.kColourNormalText = windowText;
    c.kColourEditedText = windowText;
    c.kColourInvalidText = windowText;
    c.kColourNormalBack = window;
    c.kColourChangedBack = window;
    c.kColourChangedText = QColor(16, 16, 255);
    c.kColourEditedBack = QColor(255, 255, 32);
    c.kColourInvalidBack = QColor(255, 32, 32);
    return c;
}

}  // namespace

const VcmColours& GetVcmColours()
{
    static const VcmColours colours = TakeColours();
    return colours;
}
