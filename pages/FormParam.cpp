#include "pages/FormParam.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "pages/VcmMessages.h"

CFormParam::CFormParam(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("formParam"));
    m_pScrollBar = new QScrollBar(Qt::Vertical, this);
    m_pScrollBar->hide();
    m_pDeferredRefresh = new QTimer(this);
    hide();
}

CFormParam::~CFormParam() = default;

bool CFormParam::BuildForm(const std::deque<VariableInfo>&)
{
    return true;
}

void CFormParam::ClearControls() {}
bool CFormParam::OnRefresh(int) { return true; }
void CFormParam::OnValueChanged(uint16_t) {}
void CFormParam::OnVScroll(int, int) {}
void CFormParam::OnMouseWheel(int) {}
int CFormParam::ClientWidth() const { return width(); }
bool CFormParam::event(QEvent* event) { return QWidget::event(event); }
void CFormParam::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }
void CFormParam::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
void CFormParam::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }
