#include "pages/ToggleStatic.h"

#include <QMouseEvent>
#include <QPointer>

#include "ui/VcmMessages.h"

CToggleStatic::CToggleStatic(QWidget* parent) : QLabel(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void CToggleStatic::SetState(uint8_t state)
{
    m_bState = state ? 1 : 0;
    setText(m_bState ? QStringLiteral("1") : QStringLiteral("0"));
}

void CToggleStatic::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        e->accept();
        OnClicked();
        return;
    }
    QLabel::mouseReleaseEvent(e);
}

void CToggleStatic::OnClicked()
{
    SetState(m_bState ? 0 : 1);
    QPointer<QWidget> alive(this);
    SendVcmMessage(parentWidget(), WM_VCM_TOGGLE, m_nBit, m_bState);
    if (alive)
        setFocus(Qt::MouseFocusReason);
}
