#include "pages/VcmCombo.h"

#include <QPalette>
#include <QWheelEvent>

#include <algorithm>

#include "drive/BaseDriver.h"
#include "drive/MotorTable.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmColours.h"
#include "ui/DriveGate.h"
#include "ui/VcmMessages.h"

namespace {

// The closed combo takes the row's height; the rest of the page's rectangle is
// room for the drop-down list.
constexpr int kFieldHeight = 20;

}  // namespace

CVcmCombo::CVcmCombo(const VariableInfo* variable) : CVcmCtrl(variable)
{
    // Only the user's choice writes; a selection the program makes does not.
    connect(this, &QComboBox::activated, this, [this] { OnSelChange(); });
    // A wheel turned over the page scrolls it; it never focuses a combo.
    setFocusPolicy(Qt::StrongFocus);
}

CVcmCombo::~CVcmCombo() = default;

bool CVcmCombo::Create(uint32_t style, const QRect& rect, QWidget* parent, int id)
{
    if (IsReadOnly())
        style |= WS_DISABLED;
    const int height = std::min(rect.height(), kFieldHeight);
    PlaceWindow(this, style, rect.x(), rect.y(), rect.width(), height, parent, id);
    QPointer<QWidget> alive(this);
    OnCreate();
    if (!alive)
        return false;
    CtlColor();
    return true;
}

void CVcmCombo::OnCreate()
{
    if (count() > 0)
        return;
    const int format = GetFormat();
    if (format != kVcmFormatTwoDecimals && format != kVcmFormatPowerOfTen) {
        for (const OptionInfo& option : m_pVariable->options)
            addItem(QString::fromUtf8(option.text.c_str()));
        return;
    }
    // Items are live values of other parameters, read once now.
    QPointer<QWidget> alive(this);
    int64_t factor = 1;
    if (format == kVcmFormatPowerOfTen) {
        CBaseDriver* driver = m_pMaster->GetDriver();
        factor = CMotorTable::GetInstance()->GetMotorFactor(driver ? driver->ReadMotorNo() : 0);
        if (!alive)
            return;
    }
    for (const OptionInfo& option : m_pVariable->options) {
        int value = 0;
        const bool read = m_pMaster->GetParameter(&value, option.param, false);
        if (!alive)
            return;
        addItem(read ? QString::number(value * factor) : QStringLiteral("Reload it!"));
    }
}

int32_t CVcmCombo::GetEnteredValue()
{
    const int i = currentIndex();
    if (i < 0 || static_cast<size_t>(i) >= m_pVariable->options.size())
        return i;
    return m_pVariable->options[i].value;
}

int32_t CVcmCombo::GetShownValue() { return GetEnteredValue(); }

bool CVcmCombo::WriteValue(int32_t value) { return WriteValueToDrive(value); }

bool CVcmCombo::ReadValue(int source) { return ReadValueFromDrive(source); }

void CVcmCombo::ShowValue(int32_t x)
{
    int index = -1;
    const auto& options = m_pVariable->options;
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i].value == x)
            index = static_cast<int>(i);  // a later equal option wins
    }
    m_nState = x != m_nDefault ? kColourStateChanged : kColourStateNormal;
    setCurrentIndex(index < count() ? index : -1);
    CtlColor();
    if (NotifiesParent())
        PostVcmMessage(ParentPage(), WM_VCM_VALUE_CHANGED, m_pVariable->number, x);
}

void CVcmCombo::OnSelChange()
{
    const CDriveGate::Scope action(CDriveGate::kPageLoop);
    const int32_t v = GetEnteredValue();
    if (!WriteValue(v))
        return;
    m_pMaster->InvalidateParameterCache();
    SendVcmMessage(GetMainWnd(), WM_VCM_REFRESH, kReadFromDrive);
}

void CVcmCombo::wheelEvent(QWheelEvent* e)
{
    // The wheel belongs to the focused window: over a combo that the user has
    // not chosen it scrolls the page, instead of writing the next item.
    if (!hasFocus()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

void CVcmCombo::changeEvent(QEvent* e)
{
    QComboBox::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        CtlColor();
}

void CVcmCombo::CtlColor()
{
    // Only an enabled combo shows whether its value differs from the default.
    if (!isEnabled() || (m_nState != kColourStateNormal && m_nState != kColourStateChanged)) {
        setPalette(QPalette());
        return;
    }
    const VcmColours& c = GetVcmColours();
    const bool changed = m_nState == kColourStateChanged;
    QPalette palette;
    const QColor& text = changed ? c.kColourChangedText : c.kColourNormalText;
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setBrush(QPalette::Base, changed ? m_brChanged : m_brNormal);
    setPalette(palette);
}
