#include "ui/DialogUnits.h"

#include <QDialog>
#include <QFontMetrics>
#include <QPushButton>

#include <algorithm>

CDialogUnits::CDialogUnits(const QFont& font)
{
    QFontMetrics metrics(font);
    // The average width over the 52 letters, rounded, as the original
    // platform measures a dialog font.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_nBaseX = std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
    m_nBaseY = std::max(1, metrics.height());
}

int CDialogUnits::X(int units) const
{
    return units * m_nBaseX / 4;
}

int CDialogUnits::Y(int units) const
{
    return units * m_nBaseY / 8;
}

QRect CDialogUnits::Rect(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize CDialogUnits::Size(int width, int height) const
{
    return QSize(X(width), Y(height));
}

CDialogUnits SetUpTemplateDialog(QDialog* dialog, const char* objectName, const QString& title,
                                 const QFont& font, int width, int height, DialogFrame frame)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (frame == DialogFrame::Sizable)
        flags |= Qt::WindowMinMaxButtonsHint;
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(flags);
    dialog->setFont(font);
    const CDialogUnits du(dialog->font());
    if (frame == DialogFrame::Sizable)
        dialog->resize(du.Size(width, height));
    else
        dialog->setFixedSize(du.Size(width, height));
    return du;
}

QPushButton* AddTemplateButton(QWidget* parent, const char* objectName, const QString& text,
                               const QRect& rect)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setGeometry(rect);
    return button;
}
