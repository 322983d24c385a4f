#pragma once

#include <QColor>

// Colours of the control states. The system colours among them are taken once,
// before the main window exists (or at the first control otherwise), and never
// again: a palette change while the program runs does not reach the controls.
struct VcmColours {
    QColor kColourNormalText;
    QColor kColourNormalBack;
    QColor kColourChangedText;
    QColor kColourChangedBack;
    QColor kColourEditedText;
    QColor kColourEditedBack;
    QColor kColourInvalidText;
    QColor kColourInvalidBack;
};

// Takes the colours from the application palette on the first call; the
// application calls it at start.
const VcmColours& GetVcmColours();
