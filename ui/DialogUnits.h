#pragma once

#include <QFont>
#include <QRect>

class QDialog;
class QPushButton;
class QWidget;

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

// How a dialog built from a template may be sized.
enum class DialogFrame {
    Fixed,    // the template's size, a title bar with only the close box
    Sizable,  // opens at the template's size; minimise and maximise boxes too
};

// Gives a dialog of a template its title, font, frame and size (in dialog
// units, measured with that font); returns the units for laying out its
// controls.
CDialogUnits SetUpTemplateDialog(QDialog* dialog, const char* objectName, const QString& title,
                                 const QFont& font, int width, int height,
                                 DialogFrame frame = DialogFrame::Fixed);

// A push button of a template, named for tests. Like every push button of a
// dialog it takes Enter while it has the focus; the dialog's default button
// answers Enter only when no other push button has it.
QPushButton* AddTemplateButton(QWidget* parent, const char* objectName, const QString& text,
                               const QRect& rect);
