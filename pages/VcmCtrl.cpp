#include "pages/VcmCtrl.h"

#include <QLineEdit>
#include <QWidget>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmColours.h"

namespace {

// VcmCondition effects.
enum : uint8_t {
    kEffectDisable = 1,
    kEffectReadOnly = 2,
    kEffectHide = 4,
};

bool ConditionHolds(uint8_t op, int32_t x, int32_t r)
{
    switch (op) {
    case 1: return x == r;
    case 2: return x <= r;
    case 3: return x >= r;
    case 4: return x < r;
    case 5: return x > r;
    case 6: return x != r;
    case 7: return (x & r) != 0;
    default: return false;
    }
}

uint32_t SetOrClear(uint32_t style, uint32_t bit, bool set)
{
    return set ? style | bit : style & ~bit;
}

}  // namespace

CVcmCtrl::CVcmCtrl(const VariableInfo* variable)
    : m_pMaster(GetTarvixMaster()), m_pVariable(variable)
{
    if (CBaseDriver* driver = m_pMaster->GetDriver(); driver && m_pVariable)
        m_nDefault = driver->GetDefaultValue(m_pVariable->number);
    const VcmColours& colours = GetVcmColours();
    m_brNormal = QBrush(colours.kColourNormalBack);
    m_brChanged = QBrush(colours.kColourChangedBack);
    m_brEdited = QBrush(colours.kColourEditedBack);
    m_brInvalid = QBrush(colours.kColourInvalidBack);
}

CVcmCtrl::~CVcmCtrl() = default;

CVcmCtrl* CVcmCtrl::FromWindow(QWidget* window)
{
    return dynamic_cast<CVcmCtrl*>(window);
}

bool CVcmCtrl::DependsOn(uint16_t number)
{
    return m_pVariable->conditions[0].param == number ||
           m_pVariable->conditions[1].param == number;
}

bool CVcmCtrl::ReadConditionValue(uint16_t number, int32_t* value)
{
    int v = 0;
    if (!m_pMaster->GetParameter(&v, number, true))
        return false;
    *value = v;
    return true;
}

uint32_t CVcmCtrl::ApplyConditions(uint32_t style)
{
    const VcmCondition* conditions = m_pVariable->conditions;
    const int kind = GetKind();
    if (conditions[0].op != 0) {
        bool hasDisable = false, anyDisable = false;
        bool hasReadOnly = false, anyReadOnly = false;
        bool hasHide = false, anyHide = false;
        for (int i = 1; i >= 0; --i) {
            const VcmCondition& c = conditions[i];
            if (c.op == 0)
                continue;
            int32_t x = 0;
            // An entry whose parameter cannot be read counts for nothing.
            if (!ReadConditionValue(c.param, &x))
                continue;
            const bool holds = ConditionHolds(c.op, x, c.reference);
            switch (c.effect) {
            case kEffectDisable:
                hasDisable = true;
                anyDisable |= holds;
                break;
            case kEffectReadOnly:
                hasReadOnly = true;
                anyReadOnly |= holds;
                break;
            case kEffectHide:
                hasHide = true;
                anyHide |= holds;
                break;
            default:
                break;
            }
        }
        if (hasDisable)
            style = SetOrClear(style, WS_DISABLED, anyDisable);
        if (hasReadOnly) {
            if (kind == kVcmKindEdit)
                style = SetOrClear(style, ES_READONLY, anyReadOnly);
            else if (kind == kVcmKindButton || kind == kVcmKindCombo || kind == kVcmKindSwitch ||
                     kind == kVcmKindHeader)
                style = SetOrClear(style, WS_DISABLED, anyReadOnly);
        }
        if (hasHide)
            style = SetOrClear(style, WS_VISIBLE, !anyHide);
    }
    // A read-only record stays read-only whatever its conditions say; a header
    // writes nothing and keeps its look.
    if (IsReadOnly() && kind != kVcmKindHeader)
        style |= kind == kVcmKindEdit ? ES_READONLY : WS_DISABLED;
    return style;
}

int CVcmCtrl::GetKind() { return m_pVariable->kind; }
int CVcmCtrl::GetFormat() { return m_pVariable->format; }
uint8_t CVcmCtrl::IsReadOnly() { return m_pVariable->readOnly ? 1 : 0; }
uint8_t CVcmCtrl::IsLive() { return m_pVariable->live ? 1 : 0; }
uint8_t CVcmCtrl::NotifiesParent() { return m_pVariable->notify ? 1 : 0; }

QWidget* CVcmCtrl::ParentPage()
{
    return Window()->parentWidget();
}

bool CVcmCtrl::WriteValueToDrive(int32_t value)
{
    // A read-only record is never written, whatever path asks for it.
    if (IsReadOnly())
        return false;
    const uint16_t number = m_pVariable->number;
    // The exchange's error box runs an event loop that may delete this control.
    QPointer<QWidget> alive(Window());
    int answer = 0;
    if (!m_pMaster->WriteParameter(number, value, &answer))
        return false;
    if (!alive)
        return false;
    if (ParamCacheEntry* entry = m_pMaster->GetCacheEntry(number)) {
        entry->value = answer;
        entry->valid = 1;
    }
    ShowValue(value);
    return static_cast<bool>(alive);
}

bool CVcmCtrl::ObtainValue(int source, int32_t* value)
{
    bool useCache;
    switch (source) {
    case kReadThroughCache: useCache = true; break;
    case kReadPoll: useCache = !IsLive(); break;
    case kReadFromDrive: useCache = false; break;
    default: return false;
    }
    int v = 0;
    if (!m_pMaster->GetParameter(&v, m_pVariable->number, useCache))
        return false;
    *value = v;
    return true;
}

bool CVcmCtrl::ReadValueFromDrive(int source)
{
    QPointer<QWidget> alive(Window());
    int32_t value = 0;
    if (!ObtainValue(source, &value) || !alive)
        return false;
    ShowValue(value);
    return true;
}

void CVcmCtrl::ApplyStyle(bool readOnlyStep, bool rowWindows)
{
    QWidget* window = Window();
    QPointer<QWidget> alive(window);
    const uint32_t style = ApplyConditions(GetWindowStyle(window));
    if (!alive || style == m_dwAppliedStyle)
        return;
    const uint32_t changed = style ^ m_dwAppliedStyle;
    const bool visible = style & WS_VISIBLE;
    auto* edit = readOnlyStep ? qobject_cast<QLineEdit*>(window) : nullptr;
    // Shown only after its state is set, hidden only after it: no flash of the old state.
    if (changed & WS_VISIBLE) {
        window->setEnabled(!(style & WS_DISABLED));
        if (edit)
            edit->setReadOnly(style & ES_READONLY);
        window->setVisible(visible);
    } else {
        if (changed & WS_DISABLED)
            window->setEnabled(!(style & WS_DISABLED));
        if (edit && (changed & ES_READONLY))
            edit->setReadOnly(style & ES_READONLY);
    }
    m_dwAppliedStyle = style;
    if (!rowWindows)
        return;
    if (m_pLabel)
        m_pLabel->setVisible(visible);
    if (m_bHasDetail && m_pDetail)
        m_pDetail->setVisible(visible);
}
