#pragma once

#include <QFont>
#include <QRect>

// Dialog templates give positions in dialog units: a quarter of the font's
// average character width across, an eighth of its height down.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};
