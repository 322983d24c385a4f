#include "pages/VcmStyle.h"

#include <QLineEdit>
#include <QWidget>

uint32_t GetWindowStyle(const QWidget* window)
{
    if (!window)
        return 0;
    uint32_t style = 0;
    if (window->parentWidget())
        style |= WS_CHILD;
    if (!window->isHidden())
        style |= WS_VISIBLE;
    // Only a window disabled itself counts, not one inside a disabled parent.
    if (window->testAttribute(Qt::WA_ForceDisabled))
        style |= WS_DISABLED;
    if (auto* edit = qobject_cast<const QLineEdit*>(window); edit && edit->isReadOnly())
        style |= ES_READONLY;
    return style;
}

void SetWindowStyle(QWidget* window, uint32_t style)
{
    if (!window)
        return;
    window->setEnabled(!(style & WS_DISABLED));
    if (auto* edit = qobject_cast<QLineEdit*>(window))
        edit->setReadOnly(style & ES_READONLY);
    window->setVisible(style & WS_VISIBLE);
}

void PlaceWindow(QWidget* window, uint32_t style, int x, int y, int width, int height,
                 QWidget* parent, int id)
{
    window->setParent(parent);
    window->setGeometry(x, y, width, height);
    window->setProperty("controlId", id);
    SetWindowStyle(window, style);
}
