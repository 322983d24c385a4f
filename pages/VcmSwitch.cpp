#include "pages/VcmSwitch.h"

#include <algorithm>

#include "pages/ToggleStatic.h"
#include "ui/DriveGate.h"
#include "ui/VcmMessages.h"

namespace {

// The switch numbers its own cells.
constexpr int kFirstCellId = 3000;

uint32_t BitMask(unsigned bit)
{
    return 1u << (bit % 32);
}

}  // namespace

CVcmSwitch::CVcmSwitch(const VariableInfo* variable)
    : CVcmCtrl(variable),
      m_nBitCount(static_cast<uint8_t>(std::min<size_t>(variable->options.size(), 255)))
{
}

CVcmSwitch::~CVcmSwitch()
{
    // Cells first, then the switch itself.
    for (CToggleStatic* cell : m_pCells)
        delete cell;
}

bool CVcmSwitch::Create(const QString& text, uint32_t style, const QRect& rect, QWidget* parent,
                        int id)
{
    // A read-only record is shown but never clicked.
    if (IsReadOnly())
        style |= WS_DISABLED;
    setWindowTitle(text);
    PlaceWindow(this, style, rect.x(), rect.y(), rect.width(), rect.height(), parent, id);
    return OnCreate() == 0;
}

int CVcmSwitch::OnCreate()
{
    if (m_nBitCount == 0)
        return 0;
    const int w = width() / m_nBitCount;
    const int h = height();
    m_pCells.assign(m_nBitCount, nullptr);
    // Option 0 is the rightmost cell: bits read like a binary number.
    for (int k = 0; k < m_nBitCount; ++k) {
        const int i = m_nBitCount - 1 - k;
        auto* cell = new CToggleStatic(this);
        cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        cell->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        PlaceWindow(cell, WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_NOTIFY | SS_CENTER, k * w + 1, 1,
                    std::max(0, w - 1), std::max(0, h - 2), this, kFirstCellId + k);
        cell->m_nBit = m_pVariable->options[i].bit;
        cell->SetState(0);
        m_pCells[i] = cell;
    }
    return 0;
}

CToggleStatic* CVcmSwitch::GetCell(int i) const
{
    return i >= 0 && static_cast<size_t>(i) < m_pCells.size() ? m_pCells[i] : nullptr;
}

int32_t CVcmSwitch::GetShownValue() { return m_nShownValue; }

bool CVcmSwitch::WriteValue(int32_t value) { return WriteValueToDrive(value); }

bool CVcmSwitch::ReadValue(int source) { return ReadValueFromDrive(source); }

void CVcmSwitch::ShowValue(int32_t value)
{
    m_nShownValue = value;
    m_bValueRead = true;
    for (CToggleStatic* cell : m_pCells)
        cell->SetState((static_cast<uint32_t>(value) & BitMask(cell->m_nBit)) ? 1 : 0);
    if (NotifiesParent())
        PostVcmMessage(ParentPage(), WM_VCM_VALUE_CHANGED, m_pVariable->number, value);
}

int32_t CVcmSwitch::GetEnteredValue()
{
    uint32_t value = 0;
    for (const CToggleStatic* cell : m_pCells) {
        if (cell->m_bState == 1)
            value |= BitMask(cell->m_nBit);
    }
    return static_cast<int32_t>(value);
}

bool CVcmSwitch::event(QEvent* e)
{
    if (e->type() == static_cast<QEvent::Type>(WM_VCM_TOGGLE)) {
        auto* m = static_cast<CVcmMessage*>(e);
        OnToggle(static_cast<unsigned>(m->wParam), static_cast<int>(m->lParam));
        m->result = 0;
        return true;
    }
    return QFrame::event(e);
}

void CVcmSwitch::OnToggle(unsigned bit, int state)
{
    const CDriveGate::Scope action(CDriveGate::kPageLoop);
    // The other bits come from the drive, never from cells that show no value yet.
    if (!m_bValueRead) {
        QPointer<QWidget> alive(this);
        int32_t value = 0;
        if (!ObtainValue(kReadThroughCache, &value) || !alive)
            return;
        m_nShownValue = value;
        m_bValueRead = true;
    }
    const uint32_t v = static_cast<uint32_t>(m_nShownValue);
    const uint32_t mask = BitMask(bit);
    WriteValue(static_cast<int32_t>(state ? v | mask : v & ~mask));
}
