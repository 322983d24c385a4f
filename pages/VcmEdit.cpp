#include "pages/VcmEdit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <limits>

#include "drive/BaseDriver.h"
#include "drive/ErrorTable.h"
#include "drive/MotorTable.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmColours.h"
#include "platform/MessageBox.h"
#include "ui/DriveGate.h"
#include "ui/VcmMessages.h"

namespace {

// The typed text is read with room for this many characters.
constexpr int kMaxTextLength = 10;

// 10^e in single precision, by repeated squaring; its reciprocal for e < 0.
float PowerOfTen(int32_t e)
{
    uint32_t n = e < 0 ? 0u - static_cast<uint32_t>(e) : static_cast<uint32_t>(e);
    float result = 1.0f;
    float base = 10.0f;
    while (n) {
        if (n & 1)
            result *= base;
        base *= base;
        n >>= 1;
    }
    return e < 0 ? 1.0f / result : result;
}

// "%g" with the exponent printed in at least three digits (1.5e-005).
QString FormatGeneral(double value)
{
    QString text = QString::asprintf("%g", value);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    QString digits = text.mid(e + 2);
    while (digits.size() < 3)
        digits.prepend(QLatin1Char('0'));
    return text.left(e + 2) + digits;
}

// One whole decimal number: sign, digits with at most one point, an exponent
// introduced by e, E, d or D. Anchored to the whole text: "$" would let a
// final line break through.
bool IsDecimalNumber(const QString& text)
{
    static const QRegularExpression kNumber(QRegularExpression::anchoredPattern(QStringLiteral(
        "[ \\t\\n\\v\\f\\r]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eEdD][+-]?[0-9]+)?")));
    return kNumber.match(text).hasMatch();
}

// The number of a text that IsDecimalNumber accepted, independent of the locale.
double ParseDecimal(const QString& text)
{
    std::string s = text.trimmed().toStdString();
    for (char& c : s) {
        if (c == 'd' || c == 'D')
            c = 'e';
    }
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    double value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc())
        return std::numeric_limits<double>::quiet_NaN();
    return value;
}

bool FitsInt32(double value)
{
    return std::isfinite(value) && value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

// Half away from zero; kInvalidValue when the result is not a 32-bit value.
int32_t RoundToRaw(double product)
{
    const double rounded = product > 0 ? std::trunc(product + 0.5) : std::trunc(product - 0.5);
    return FitsInt32(rounded) ? static_cast<int32_t>(rounded) : kInvalidValue;
}

int32_t TruncateToRaw(double quotient)
{
    const double truncated = std::trunc(quotient);
    return FitsInt32(truncated) ? static_cast<int32_t>(truncated) : kInvalidValue;
}

// The integer at the start of the text: white space, sign, digits.
int32_t LeadingInteger(const QString& text)
{
    const QString s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        negative = s[i++] == QLatin1Char('-');
    int64_t value = 0;
    for (; i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'); ++i)
        value = value * 10 + (s[i].unicode() - '0');
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return kInvalidValue;
    return static_cast<int32_t>(value);
}

// The 32-bit product of a raw value and the motor's factor.
QString MotorScaledText(int32_t x, int motorNo)
{
    const int64_t factor = CMotorTable::GetInstance()->GetMotorFactor(motorNo);
    return QString::number(static_cast<int64_t>(x) * factor);
}

}  // namespace

CVcmEdit::CVcmEdit(const VariableInfo* variable) : CVcmCtrl(variable)
{
    setFrame(true);  // the sunken border
    connect(this, &QLineEdit::textChanged, this, [this] { OnEnChange(); });
}

CVcmEdit::~CVcmEdit() = default;

bool CVcmEdit::Create(uint32_t style, const QRect& rect, QWidget* parent, int id)
{
    if (IsReadOnly())
        style |= ES_READONLY;
    setAlignment((style & ES_RIGHT) ? Qt::AlignRight | Qt::AlignVCenter
                                    : Qt::AlignLeft | Qt::AlignVCenter);
    PlaceWindow(this, style, rect.x(), rect.y(), rect.width(), rect.height(), parent, id);
    CtlColor();
    return true;
}

int32_t CVcmEdit::GetShownValue() { return m_nShownValue; }

bool CVcmEdit::WriteValue(int32_t value) { return WriteValueToDrive(value); }

bool CVcmEdit::ReadValue(int source)
{
    QPointer<QWidget> alive(this);
    int32_t value = 0;
    if (!ObtainValue(source, &value) || !alive)
        return false;
    if (GetFormat() == kVcmFormatPowerOfTen) {
        int exponent = 0;
        if (!m_pMaster->GetParameter(&exponent, m_nExponentParam, false) || !alive)
            return false;
        m_nExponent = exponent;
    }
    ShowValue(value);
    return true;
}

QString CVcmEdit::FormatValue(int32_t x)
{
    switch (GetFormat()) {
    case kVcmFormatOneDecimal:
        return QString::asprintf("%.1f", x / 10.0);
    case kVcmFormatTwoDecimals:
        return QString::asprintf("%.2f", x / 100.0);
    case kVcmFormatThreeDecimals:
        return QString::asprintf("%.3f", x / 1000.0);
    case kVcmFormatPowerOfTen:
        return FormatGeneral(static_cast<double>(x) * PowerOfTen(m_nExponent));
    case kVcmFormatMotorFactor: {
        QPointer<QWidget> alive(this);
        const int motorNo = m_pMaster->GetDriver() ? m_pMaster->GetDriver()->ReadMotorNo() : 0;
        if (!alive)
            return {};
        m_nTextMotorNo = motorNo;
        return MotorScaledText(x, motorNo);
    }
    default:
        return QString::number(x);
    }
}

int32_t CVcmEdit::GetEnteredValue()
{
    const QString t = text();
    // The text as shown stands for the shown value, also where the format
    // cannot give it back exactly (six digits of "%g", a motor factor of 0).
    if (t == m_strShownText && m_nShownValue != kInvalidValue)
        return m_nShownValue;
    if (t.isEmpty() || t.size() > kMaxTextLength)
        return kInvalidValue;
    if (!IsDecimalNumber(t))
        return kInvalidValue;
    switch (GetFormat()) {
    case kVcmFormatOneDecimal:
        return RoundToRaw(ParseDecimal(t) * 10);
    case kVcmFormatTwoDecimals:
        return RoundToRaw(ParseDecimal(t) * 100);
    case kVcmFormatThreeDecimals:
        return RoundToRaw(ParseDecimal(t) * 1000);
    case kVcmFormatPowerOfTen:
        return RoundToRaw(ParseDecimal(t) / static_cast<double>(PowerOfTen(m_nExponent)));
    case kVcmFormatMotorFactor: {
        const uint32_t factor = static_cast<uint32_t>(CMotorTable::GetInstance()->GetMotorFactor(
            m_pMaster->GetDriver() ? m_pMaster->GetDriver()->ReadMotorNo() : 0));
        // Without a factor no typed text stands for a value.
        if (factor == 0)
            return kInvalidValue;
        return TruncateToRaw(ParseDecimal(t) / factor);
    }
    default:
        return LeadingInteger(t);
    }
}

void CVcmEdit::ShowDetail(int32_t x)
{
    if (!m_bHasDetail || !m_pDetail)
        return;
    auto* detail = qobject_cast<QLabel*>(m_pDetail.data());
    std::string text;
    if (GetFormat() == kVcmFormatMotorName)
        text = CMotorTable::GetInstance()->GetMotorName(x);
    else if (GetFormat() == kVcmFormatErrorText)
        text = CErrorTable::GetInstance()->GetErrorText(static_cast<unsigned>(x));
    if (detail)
        detail->setText(QString::fromUtf8(text.c_str()));
}

void CVcmEdit::ShowValue(int32_t x)
{
    m_nState = x != m_nDefault ? kColourStateChanged : kColourStateNormal;
    CtlColor();
    if (x == m_nShownValue) {
        // The exponent came with the value, at no further exchange: a new one
        // shows the same value in its scale.
        if (GetFormat() == kVcmFormatPowerOfTen)
            SetShownText(FormatValue(x));
        return;
    }
    m_nShownValue = x;
    QPointer<QWidget> alive(this);
    const QString shown = FormatValue(x);  // format 8 asks the drive
    if (!alive)
        return;
    m_strShownText = shown;
    setText(shown);
    ShowDetail(x);
    if (NotifiesParent())
        SendVcmMessage(ParentPage(), WM_VCM_VALUE_CHANGED, m_pVariable->number, x);
}

void CVcmEdit::ShowInMotorScale(int motorNo)
{
    if (GetFormat() != kVcmFormatMotorFactor || m_nShownValue == kInvalidValue ||
        motorNo == m_nTextMotorNo)
        return;
    m_nTextMotorNo = motorNo;
    SetShownText(MotorScaledText(m_nShownValue, motorNo));
}

void CVcmEdit::SetShownText(const QString& shown)
{
    if (shown == m_strShownText)
        return;
    m_strShownText = shown;
    setText(shown);
}

void CVcmEdit::RevertText()
{
    m_nState = m_nShownValue != m_nDefault ? kColourStateChanged : kColourStateNormal;
    CtlColor();
    QPointer<QWidget> alive(this);
    const QString shown = FormatValue(m_nShownValue);
    if (!alive)
        return;
    m_strShownText = shown;
    setText(shown);
    ShowDetail(m_nShownValue);
    if (NotifiesParent())
        PostVcmMessage(ParentPage(), WM_VCM_VALUE_CHANGED, m_pVariable->number, m_nShownValue);
}

void CVcmEdit::OnEnChange()
{
    QPointer<QWidget> alive(this);
    const int32_t v = GetEnteredValue();  // format 8 asks the drive
    if (!alive)
        return;
    int state;
    if (v == kInvalidValue)
        state = kColourStateInvalid;
    else if (v != m_nShownValue)
        state = kColourStateEdited;
    else
        state = v != m_nDefault ? kColourStateChanged : kColourStateNormal;
    if (state != m_nState) {
        m_nState = state;
        CtlColor();
        repaint();
    }
}

void CVcmEdit::ApplyTypedValue()
{
    const CDriveGate::Scope action(CDriveGate::kPageLoop);
    QPointer<QWidget> alive(this);
    const int32_t v = GetEnteredValue();
    if (!alive)
        return;
    if (v == kInvalidValue) {
        RevertText();
        return;
    }
    if (!WriteValue(v))
        return;
    m_pMaster->InvalidateParameterCache();
    SendVcmMessage(GetMainWnd(), WM_VCM_REFRESH, kReadFromDrive);
}

void CVcmEdit::OnEnKillFocus()
{
    // Focus taken by the box of a failed exchange is not the user leaving the
    // field; reverting a format-8 text now would read the motor number from
    // the drive between the failed exchange and its Retry.
    if (CDriveGate::Instance().IsBusy(CDriveGate::kBoxUp))
        return;
    if (m_nState == kColourStateEdited)
        RevertText();
}

bool CVcmEdit::event(QEvent* e)
{
    // Escape belongs to the field: no shortcut of a window around it takes it.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Escape) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CVcmEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        e->accept();  // never reaches the field
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Nor when a condition made it read-only: the shown value may be a
        // poll old, and writing it back would undo what the drive did since.
        if (!IsReadOnly() && !isReadOnly()) {
            QPointer<QWidget> alive(this);
            ApplyTypedValue();
            if (!alive) {
                e->accept();  // nothing left to pass the key on from
                return;
            }
        }
        // On to the page, which swallows it.
        e->ignore();
        return;
    }
    default:
        QLineEdit::keyPressEvent(e);
    }
}

void CVcmEdit::focusOutEvent(QFocusEvent* e)
{
    QPointer<QWidget> alive(this);
    OnEnKillFocus();
    if (alive)
        QLineEdit::focusOutEvent(e);
}

void CVcmEdit::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::ReadOnlyChange)
        CtlColor();
}

void CVcmEdit::CtlColor()
{
    // A read-only or disabled field keeps the system colours; a read-only one
    // is drawn on the face colour as a static, so it does not look typeable.
    if (!isEnabled() || isReadOnly() || m_nState < kColourStateNormal ||
        m_nState > kColourStateInvalid) {
        QPalette palette;
        if (isEnabled() && isReadOnly())
            palette.setBrush(QPalette::Base, palette.brush(QPalette::Window));
        setPalette(palette);
        return;
    }
    const VcmColours& c = GetVcmColours();
    const QColor* const text[] = {&c.kColourNormalText, &c.kColourChangedText,
                                     &c.kColourEditedText, &c.kColourInvalidText};
    const QBrush* const back[] = {&m_brNormal, &m_brChanged, &m_brEdited, &m_brInvalid};
    QPalette palette;
    palette.setColor(QPalette::Text, *text[m_nState]);
    palette.setBrush(QPalette::Base, *back[m_nState]);
    setPalette(palette);
}

void CVcmEdit::UpdateStyle()
{
    ApplyStyle(true, true);
}
