#include "app/ProgressDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kDefaultCaptionId = 315;

const char* CaptionText(int id)
{
    switch (id) {
    case 315: return "Loading...";
    case 316: return "Loading file...";
    case 317: return "Saving to file...";
    default: return "";
    }
}

}  // namespace

CProgressDlg::CProgressDlg(int captionId)
    : QDialog(nullptr), m_nCaptionId(captionId ? captionId : kDefaultCaptionId)
{
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName("status");
    m_pStatus->setTextFormat(Qt::PlainText);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName("progress");
    m_pProgress->setTextVisible(false);
    m_pProgress->setMinimumWidth(260);
    m_pPercent = new QLabel(QStringLiteral("0 %"), this);
    m_pPercent->setObjectName("percent");
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName("cancel");
    // Cancel takes Enter while it has the focus, as every push button of a dialog.
    connect(m_pCancel, &QPushButton::clicked, this, &CProgressDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pPercent);
    buttons->addStretch();
    buttons->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pStatus);
    layout->addWidget(m_pProgress);
    layout->addLayout(buttons);
}

CProgressDlg::~CProgressDlg()
{
    DestroyWindow();
}

bool CProgressDlg::Create(QWidget* parent)
{
    if (m_bWindow)
        return false;
    QWidget* owner = parent ? parent->window() : nullptr;
    m_pOwner = owner;
    if (owner && owner->isEnabled()) {
        owner->setEnabled(false);
        m_bOwnerDisabled = true;
    }
    // A window keeps its own enabled state: Cancel works while the owner is
    // disabled.
    setParent(parent, windowFlags());

    BarSetRange(m_nLower, m_nUpper);
    m_bar.step = m_nStep;
    BarSetPos(m_nLower);
    setWindowTitle(QString::fromUtf8(CaptionText(m_nCaptionId)));
    m_bWindow = true;
    adjustSize();
    show();
    return true;
}

void CProgressDlg::DestroyWindow()
{
    ReleaseOwner();
    if (m_bWindow) {
        m_bWindow = false;
        hide();
    }
}

void CProgressDlg::ReleaseOwner()
{
    if (m_bOwnerDisabled && m_pOwner)
        m_pOwner->setEnabled(true);
    m_bOwnerDisabled = false;
}

void CProgressDlg::PumpEvents()
{
    QCoreApplication::processEvents();
}

bool CProgressDlg::CheckCancel()
{
    PumpEvents();
    bool cancel = m_bCancel;
    m_bCancel = false;
    return cancel;
}

void CProgressDlg::SetStatus(const char* text)
{
    if (m_bWindow)
        m_pStatus->setText(QString::fromUtf8(text ? text : ""));
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    if (m_bWindow)
        BarSetRange(lower, upper);
}

void CProgressDlg::SetStep(int step)
{
    m_nStep = step;
    if (m_bWindow)
        m_bar.step = step;
}

int CProgressDlg::SetPos(int pos)
{
    PumpEvents();
    if (!m_bWindow)
        return 0;
    int previous = BarSetPos(pos);
    UpdatePercent(pos);
    return previous;
}

int CProgressDlg::OffsetPos(int delta)
{
    PumpEvents();
    if (!m_bWindow)
        return 0;
    int previous = m_bar.pos;
    long long target = static_cast<long long>(previous) + delta;
    BarSetPos(static_cast<int>(std::clamp<long long>(target, m_bar.lower, m_bar.upper)));
    UpdatePercent(target);
    return previous;
}

int CProgressDlg::StepIt()
{
    PumpEvents();
    if (!m_bWindow)
        return 0;
    int previous = m_bar.pos;
    long long next = static_cast<long long>(previous) + m_bar.step;
    // Past either end the bar starts over.
    if (next > m_bar.upper)
        next = m_bar.lower;
    else if (next < m_bar.lower)
        next = m_bar.upper;
    BarSetPos(static_cast<int>(next));
    UpdatePercent(static_cast<long long>(previous) + m_nStep);
    return previous;
}

void CProgressDlg::BarSetRange(int lower, int upper)
{
    // The native control keeps both bounds in 16 bits.
    m_bar.lower = static_cast<uint16_t>(lower);
    m_bar.upper = static_cast<uint16_t>(upper);
    BarSetPos(m_bar.pos);
}

int CProgressDlg::BarSetPos(int pos)
{
    int previous = m_bar.pos;
    m_bar.pos = std::min(std::max(pos, m_bar.lower), m_bar.upper);
    ShowBar();
    return previous;
}

void CProgressDlg::ShowBar()
{
    int low = std::min(m_bar.lower, m_bar.upper);
    int high = std::max(m_bar.lower, m_bar.upper);
    if (m_pProgress->minimum() != low || m_pProgress->maximum() != high)
        m_pProgress->setRange(low, high);
    m_pProgress->setValue(m_bar.pos);
}

void CProgressDlg::UpdatePercent(long long pos)
{
    long long range = static_cast<long long>(m_nUpper) - m_nLower;
    long long shown;
    if (range == 0) {
        // Nothing to measure: reaching the bound counts as done.
        shown = pos >= m_nLower ? 100 : 0;
    } else {
        long long percent = (pos - m_nLower) * 100 / range;
        shown = percent == 100 ? 100 : percent % 100;
    }
    QString text = QString::number(shown) + QLatin1Char('%');
    if (m_pPercent->text() != text)
        m_pPercent->setText(text);
}

void CProgressDlg::accept()
{
    // Enter does not close the window.
}

void CProgressDlg::reject()
{
    m_bCancel = true;
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    m_bCancel = true;
    event->ignore();
}

void CProgressDlg::hideEvent(QHideEvent* event)
{
    // Hidden by its user (not minimised): the window is gone for the owner.
    if (!event->spontaneous()) {
        ReleaseOwner();
        m_bWindow = false;
    }
    QDialog::hideEvent(event);
}
