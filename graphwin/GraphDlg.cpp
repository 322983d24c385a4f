#include "graphwin/GraphDlg.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QRegularExpressionValidator>
#include <QResizeEvent>

#include "graphwin/GraphCtrlDlg.h"
#include "graphwin/GraphMessages.h"
#include "ui/DialogUnits.h"

namespace {

// The smallest size the window may be given.
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 500;

// The edit's text as the number typed; empty or other text reads as 0.
long long ReadSignedInteger(const QLineEdit* edit)
{
    bool ok = false;
    const long long value = edit->text().trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

QLineEdit* MakeIncrementEdit(QWidget* parent, const char* name, const QRect& rect)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // An increment is a positive whole number: nothing else can be typed.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setGeometry(rect);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(rect);
    return label;
}

}  // namespace

CGraphDlg::CGraphDlg(QWidget* parent) : QDialog(parent)
{
    const CDialogUnits du = SetUpTemplateDialog(this, "graphDlg", QStringLiteral("Graph"),
                                                QFont(QStringLiteral("MS Shell Dlg"), 9), 422, 267,
                                                DialogFrame::Sizable);

    m_pGraphArea = new QLabel(QStringLiteral("Graph Area"), this);
    m_pGraphArea->setObjectName(QStringLiteral("graphArea"));
    m_pGraphArea->setAlignment(Qt::AlignCenter);
    m_pGraphArea->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pGraphArea->setGeometry(du.Rect(0, 0, 420, 240));
    m_pGraphArea->hide();

    m_pXIncLabel = MakeLabel(this, "xIncLabel", QStringLiteral("X Inc :"), du.Rect(6, 246, 24, 14));
    m_pXInc = MakeIncrementEdit(this, "xInc", du.Rect(30, 246, 43, 14));
    m_pYIncLabel = MakeLabel(this, "yIncLabel", QStringLiteral("Y Inc :"), du.Rect(78, 246, 24, 14));
    m_pYInc = MakeIncrementEdit(this, "yInc", du.Rect(102, 246, 43, 14));
    m_pAutoScale = AddTemplateButton(this, "autoScale", QStringLiteral("Auto Scale"),
                                     du.Rect(150, 246, 62, 14));
    m_pShowDot = new QCheckBox(QStringLiteral("Show Dot"), this);
    m_pShowDot->setObjectName(QStringLiteral("showDot"));
    m_pShowDot->setGeometry(du.Rect(222, 246, 48, 14));
    m_pClose = AddTemplateButton(this, "close", QStringLiteral("Close"), du.Rect(365, 246, 50, 14));

    connect(m_pXInc, &QLineEdit::textChanged, this, &CGraphDlg::OnChangeXInc);
    connect(m_pYInc, &QLineEdit::textChanged, this, &CGraphDlg::OnChangeYInc);
    connect(m_pAutoScale, &QPushButton::clicked, this, &CGraphDlg::OnAutoScaleClicked);
    connect(m_pShowDot, &QCheckBox::clicked, this, &CGraphDlg::OnShowDotClicked);
    connect(m_pClose, &QPushButton::clicked, this, &CGraphDlg::OnClose);

    OnInitDialog();
}

CGraphDlg::~CGraphDlg() = default;

void CGraphDlg::OnInitDialog()
{
    m_pGraphCtrl = new CGraphCtrlDlg(this);
    m_pGraphCtrl->setGeometry(m_pGraphArea->geometry());
    m_pGraphCtrl->setWindowTitle(QStringLiteral("Graph"));
    m_pGraphCtrl->show();

    const QRect client = rect();
    m_nCloseRight = client.width() - m_pClose->geometry().left();
    m_nCloseBottom = client.height() - m_pClose->geometry().top();
    m_yIncEdit = FromLeftBottom(m_pYInc, client.height());
    m_yIncLabel = FromLeftBottom(m_pYIncLabel, client.height());
    m_xIncEdit = FromLeftBottom(m_pXInc, client.height());
    m_xIncLabel = FromLeftBottom(m_pXIncLabel, client.height());
    m_autoScale = FromLeftBottom(m_pAutoScale, client.height());
    m_showDot = FromLeftBottom(m_pShowDot, client.height());
    m_nPlotWidthMargin = client.width() - m_pGraphCtrl->width();
    m_nPlotHeightMargin = client.height() - m_pGraphCtrl->height();
    // Only now: a template smaller than this opens larger, laid out by OnSize.
    setMinimumSize(kMinWidth, kMinHeight);

    PostVcmMessage(m_pGraphCtrl, WM_GRAPH_LOAD_DATA);
}

CGraphDlg::EdgeOffset CGraphDlg::FromLeftBottom(const QWidget* control, int clientHeight)
{
    return {control->geometry().left(), clientHeight - control->geometry().top()};
}

bool CGraphDlg::event(QEvent* e)
{
    if (e->type() == static_cast<QEvent::Type>(WM_GRAPH_INC_CHANGED)) {
        auto* m = static_cast<CVcmMessage*>(e);
        m->result = OnIncChanged(m->wParam, m->lParam);
        return true;
    }
    return QDialog::event(e);
}

void CGraphDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    OnSize(e->size().width(), e->size().height());
}

void CGraphDlg::OnSize(int cx, int cy)
{
    if (m_nCloseRight == 0)
        return;
    m_pClose->move(cx - m_nCloseRight, cy - m_nCloseBottom);
    const std::pair<QWidget*, const EdgeOffset*> row[] = {
        {m_pYInc, &m_yIncEdit},       {m_pYIncLabel, &m_yIncLabel}, {m_pXInc, &m_xIncEdit},
        {m_pXIncLabel, &m_xIncLabel}, {m_pAutoScale, &m_autoScale}, {m_pShowDot, &m_showDot},
    };
    for (const auto& [control, offset] : row)
        control->move(offset->left, cy - offset->bottom);
    m_pGraphCtrl->resize(cx - m_nPlotWidthMargin, cy - m_nPlotHeightMargin);
}

void CGraphDlg::keyPressEvent(QKeyEvent* e)
{
    // Enter ends the window as OK does, unless a button has the focus and
    // takes the key itself.
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && !qobject_cast<QPushButton*>(focusWidget())) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void CGraphDlg::SendIncrement(QLineEdit* edit, int message)
{
    if (!m_pGraphCtrl)
        return;
    const long long value = ReadSignedInteger(edit);
    int32_t inForce = 0;
    const intptr_t result = SendVcmMessage(m_pGraphCtrl, message, static_cast<intptr_t>(value),
                                           reinterpret_cast<intptr_t>(&inForce));
    if (result == 0 && inForce != value)
        edit->setText(QString::number(inForce));
}

void CGraphDlg::OnChangeXInc() { SendIncrement(m_pXInc, WM_GRAPH_SET_XINC); }

void CGraphDlg::OnChangeYInc() { SendIncrement(m_pYInc, WM_GRAPH_SET_YINC); }

void CGraphDlg::OnAutoScaleClicked() { SendVcmMessage(m_pGraphCtrl, WM_GRAPH_AUTO_SCALE); }

void CGraphDlg::OnShowDotClicked()
{
    SendVcmMessage(m_pGraphCtrl, WM_GRAPH_SHOW_DOTS, m_pShowDot->isChecked() ? 1 : 0);
}

void CGraphDlg::OnClose() { accept(); }

intptr_t CGraphDlg::OnIncChanged(intptr_t xInc, intptr_t yInc)
{
    m_pXInc->setText(QString::number(static_cast<int32_t>(xInc)));
    m_pYInc->setText(QString::number(static_cast<int32_t>(yInc)));
    return 0;
}
