// The parameter edit field: display formats, typed text, colours, Enter.

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "drive/MotorTable.h"
#include "pages/VcmColours.h"
#include "pages/VcmEdit.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint16_t kValue = 40;  // the bound parameter; 41 is its exponent in format 4

class VcmEditTest : public ControlTest {
protected:
    void MakeEdit(int format, bool notify = false)
    {
        m_variable = Variable(kVcmKindEdit, kValue, format);
        m_variable.notify = notify;
        m_edit = std::make_unique<CVcmEdit>(&m_variable);
        m_edit->m_nExponentParam = kValue + 1;
        m_edit->m_bHasDetail = 1;
        m_edit->m_pDetail = &m_detail;
        m_edit->Create(WS_CHILD | WS_VISIBLE | ES_RIGHT, QRect(10, 10, 110, 20), &m_page, 3002);
    }
    // Shows a raw value as a page refresh does.
    void Show(int32_t raw, int32_t exponent = 0)
    {
        Drive().SetValue(kValue, raw);
        Drive().SetValue(kValue + 1, exponent);
        ASSERT_TRUE(m_edit->ReadValue(kReadFromDrive));
        ClearWire();
        m_page.messages.clear();
    }
    void Type(const QString& text)
    {
        m_edit->clear();
        QTest::keyClicks(m_edit.get(), text);
    }
    void Enter() { QTest::keyClick(m_edit.get(), Qt::Key_Return); }
    QColor Colour(QPalette::ColorRole role) const
    {
        return m_edit->palette().color(QPalette::Active, role);
    }
    int State() const { return m_edit->GetColourState(); }

    VariableInfo m_variable;
    QLabel m_detail{&m_page};
    std::unique_ptr<CVcmEdit> m_edit;
};

TEST_F(VcmEditTest, ShowsEachFormat)
{
    Drive().SetValue(kMotorNoParam, 3);  // motor factor 4
    struct Case { int format; int32_t raw, exponent; const char *text, *detail; };
    const Case cases[] = {
        {kVcmFormatPlain, -7, 0, "-7", ""},          {kVcmFormatOneDecimal, 1234, 0, "123.4", ""},
        {kVcmFormatTwoDecimals, 150, 0, "1.50", ""}, {kVcmFormatThreeDecimals, -5, 0, "-0.005", ""},
        {kVcmFormatPowerOfTen, 15, -1, "1.5", ""},   {kVcmFormatPowerOfTen, 3, 2, "300", ""},
        {kVcmFormatPowerOfTen, 15, -6, "1.5e-005", ""}, {kVcmFormatMotorFactor, 3, 0, "12", ""},
        {kVcmFormatMotorFactor, 1000000000, 0, "4000000000", ""},
        {kVcmFormatMotorName, 3, 0, "3", "TX-42S 1.5A 1.8deg"},
        {kVcmFormatErrorText, 2, 0, "2", "Over voltage"},
        {kVcmFormatErrorText, 9999, 0, "9999", ""},
    };
    for (const Case& c : cases) {
        MakeEdit(c.format);
        Show(c.raw, c.exponent);
        EXPECT_EQ(m_edit->text().toStdString(), c.text) << c.format << " " << c.raw;
        EXPECT_EQ(m_detail.text().toStdString(), c.detail) << c.format << " " << c.raw;
    }
}

TEST_F(VcmEditTest, ConvertsTypedText)
{
    Drive().SetValue(kMotorNoParam, 3);  // motor factor 4
    const int32_t bad = kInvalidValue;
    struct Case { int format; int32_t exponent; const char* typed; int32_t raw; };
    const Case cases[] = {
        {kVcmFormatOneDecimal, 0, "123.45", 1235}, {kVcmFormatOneDecimal, 0, "-0.05", -1},
        {kVcmFormatOneDecimal, 0, "1d3", 10000},   {kVcmFormatThreeDecimals, 0, ".0015", 2},
        {kVcmFormatPowerOfTen, -1, "1.5", 15},     {kVcmFormatMotorFactor, 0, "-250", -62},
        {kVcmFormatPlain, 0, "12.7", 12},          {kVcmFormatPlain, 0, " 12", 12},
        {kVcmFormatPlain, 0, "+1e3", 1},           {kVcmFormatPlain, 0, "-123456789", -123456789},
        {kVcmFormatPlain, 0, "12 ", bad},          {kVcmFormatPlain, 0, "77\n", bad},
        {kVcmFormatOneDecimal, 0, "\n7.7", 77},    {kVcmFormatPlain, 0, "0x10", bad},
        {kVcmFormatPlain, 0, "", bad},             {kVcmFormatPlain, 0, "inf", bad},
        {kVcmFormatPlain, 0, "1e", bad},           {kVcmFormatPlain, 0, "12345678901", bad},
        {kVcmFormatPlain, 0, "2147483647", bad},
        // Beyond 32 bits, or not finite: never written.
        {kVcmFormatPlain, 0, "9999999999", bad},   {kVcmFormatThreeDecimals, 0, "9999999.99", bad},
        {kVcmFormatPowerOfTen, -30, "1", bad},
    };
    for (const Case& c : cases) {
        MakeEdit(c.format);
        Show(0, c.exponent);
        m_edit->setText(c.typed);
        EXPECT_EQ(m_edit->GetEnteredValue(), c.raw) << c.format << " '" << c.typed << "'";
    }
}

TEST_F(VcmEditTest, ShownTextStandsForTheShownValue)
{
    MakeEdit(kVcmFormatPowerOfTen);
    m_variable.notify = true;
    Show(1234567, -1);
    ASSERT_EQ(m_edit->text(), "123457");  // converted back, that would be 1234570
    EXPECT_EQ(State(), kColourStateChanged);
    Enter();  // written again, unchanged
    EXPECT_EQ(Wire(), (Lines{"MA40", "MD1234567"}));
    EXPECT_EQ(m_page.Count(WM_VCM_VALUE_CHANGED), 0);  // an unchanged value is not news
}

TEST_F(VcmEditTest, AnUnchangedValueIsShownAgainInANewScale)
{
    // The exponent comes with every read; a new motor number comes as the
    // page's news, since reading it for each unchanged value would cost an
    // exchange on every poll.
    struct Case { int format; int32_t exponent, motor; const char *before, *after; };
    const Case cases[] = {
        {kVcmFormatPowerOfTen, 0, 3, "15", "1.5"},  // exponent 0, then -1
        {kVcmFormatMotorFactor, 0, 5, "60", "120"},  // factor 4, then 8
    };
    for (const Case& c : cases) {
        Drive().SetValue(kMotorNoParam, 3);
        MakeEdit(c.format, true);
        Show(15, 0);
        ASSERT_EQ(m_edit->text().toStdString(), c.before);
        Drive().SetValue(kMotorNoParam, c.motor);
        Drive().SetValue(kValue + 1, c.format == kVcmFormatPowerOfTen ? -1 : 0);
        ASSERT_TRUE(m_edit->ReadValue(kReadFromDrive));
        if (c.format == kVcmFormatMotorFactor) {
            EXPECT_EQ(Wire(), (Lines{"MA40", "MD"}));
            EXPECT_EQ(m_edit->text().toStdString(), c.before);
            m_edit->ShowInMotorScale(c.motor);
            EXPECT_EQ(Wire(), (Lines{"MA40", "MD"}));
        }
        EXPECT_EQ(m_edit->text().toStdString(), c.after);
        EXPECT_EQ(m_edit->GetEnteredValue(), 15);
        EXPECT_EQ(State(), m_edit->GetShownValue() == Master()->GetDriver()->GetDefaultValue(kValue)
                               ? kColourStateNormal
                               : kColourStateChanged);
        QCoreApplication::sendPostedEvents(&m_page);
        EXPECT_EQ(m_page.Count(WM_VCM_VALUE_CHANGED), 0);  // the value is no news
    }
}

TEST_F(VcmEditTest, MotorFactorOfZeroAcceptsNoTypedValue)
{
    CMotorTable::GetInstance()->m_Motors.push_back(MotorInfo{99, 0, "Unscaled"});
    Drive().SetValue(kMotorNoParam, 99);
    MakeEdit(kVcmFormatMotorFactor);
    Show(5);
    EXPECT_EQ(m_edit->text(), "0");
    EXPECT_NE(State(), kColourStateInvalid);
    Type("10");
    EXPECT_EQ(State(), kColourStateInvalid);
    Enter();
    EXPECT_EQ(m_edit->text(), "0");
    EXPECT_EQ(Drive().GetValue(kValue), 5);
    CMotorTable::GetInstance()->m_Motors.pop_back();
}

TEST_F(VcmEditTest, ColourStatesFollowTheText)
{
    MakeEdit(kVcmFormatTwoDecimals);
    const int32_t def = Master()->GetDriver()->GetDefaultValue(kValue);
    Show(def);
    EXPECT_EQ(State(), kColourStateNormal);
    EXPECT_EQ(Colour(QPalette::Base), GetVcmColours().kColourNormalBack);
    Show(def + 100);
    EXPECT_EQ(Colour(QPalette::Text), QColor(16, 16, 255));
    Type(QString::number((def + 100) / 100.0, 'f', 1));  // another form of the shown value
    EXPECT_EQ(State(), kColourStateChanged);
    Type("7");
    EXPECT_EQ(Colour(QPalette::Base), QColor(255, 255, 32));
    Type("7x");
    EXPECT_EQ(Colour(QPalette::Base), QColor(255, 32, 32));
    // A field the user cannot type in shows the system colours; a read-only
    // one lies on the face colour, unlike the white of a field that takes input.
    const QPalette system = QApplication::palette(m_edit.get());
    m_edit->setReadOnly(true);
    EXPECT_EQ(Colour(QPalette::Base), system.color(QPalette::Active, QPalette::Window));
    EXPECT_NE(Colour(QPalette::Base), system.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(Colour(QPalette::Text), system.color(QPalette::Active, QPalette::Text));
    m_edit->setReadOnly(false);
    m_edit->setEnabled(false);
    EXPECT_EQ(Colour(QPalette::Base), system.color(QPalette::Active, QPalette::Base));
}

TEST_F(VcmEditTest, EnterWritesThenAsksForAFullReRead)
{
    MakeEdit(kVcmFormatOneDecimal);
    Show(10);
    Cache(5, 1);
    Type("2.5");
    Enter();
    EXPECT_EQ(Wire(), (Lines{"MA40", "MD25"}));
    EXPECT_EQ(m_edit->GetShownValue(), 25);
    EXPECT_FALSE(Cached(5) || Cached(kValue));
    EXPECT_EQ(m_main.messages, (decltype(m_main.messages){{WM_VCM_REFRESH, kReadFromDrive}}));
    EXPECT_EQ(m_page.keys, 1);  // Enter goes on to the page; Escape does not
    QTest::keyClick(m_edit.get(), Qt::Key_Escape);
    EXPECT_EQ(m_page.keys, 1);
}

TEST_F(VcmEditTest, EnterInAReadOnlyFieldWritesNothing)
{
    MakeEdit(kVcmFormatPlain);
    Show(33);
    m_edit->setReadOnly(true);  // as an effect-2 condition does
    Drive().SetValue(kValue, 34);  // the drive moved on since the last read
    Enter();
    EXPECT_TRUE(Wire().empty());
    EXPECT_EQ(Drive().GetValue(kValue), 34);
    EXPECT_TRUE(m_main.messages.empty());
}

TEST_F(VcmEditTest, RefusedWriteKeepsTheTypedText)
{
    MakeEdit(kVcmFormatPlain);
    Show(33);
    Cache(kValue, 33);
    RefuseNextWrite(kValue, 99);
    Type("44");
    Enter();
    EXPECT_EQ(m_edit->text(), "44");
    EXPECT_EQ(State(), kColourStateEdited);
    EXPECT_EQ(CachedValue(kValue), 33);
    EXPECT_TRUE(m_main.messages.empty());
}

TEST_F(VcmEditTest, InvalidOrAbandonedTextIsRestored)
{
    MakeEdit(kVcmFormatPlain, true);
    Show(33);
    Type("abc");
    Enter();  // nothing written; the value is announced again, posted
    EXPECT_EQ(m_edit->text(), "33");
    EXPECT_TRUE(Wire().empty());
    EXPECT_EQ(m_page.Count(WM_VCM_VALUE_CHANGED), 0);
    QCoreApplication::sendPostedEvents(&m_page);
    EXPECT_EQ(m_page.Count(WM_VCM_VALUE_CHANGED), 1);

    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    Type("44");  // edited: leaving restores
    QCoreApplication::sendEvent(m_edit.get(), &out);
    EXPECT_EQ(m_edit->text(), "33");
    Type("4x");  // invalid: stays red
    QCoreApplication::sendEvent(m_edit.get(), &out);
    EXPECT_EQ(m_edit->text(), "4x");
}

TEST_F(VcmEditTest, FocusTakenByABoxKeepsTheTypedTextAndTheDriveQuiet)
{
    Drive().SetValue(kMotorNoParam, 3);
    MakeEdit(kVcmFormatMotorFactor);
    Show(5);
    Type("12");
    ClearWire();
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    m_boxes.WhileShown([&] { QCoreApplication::sendEvent(m_edit.get(), &out); });
    m_boxes.Answer(host::IDIGNORE);
    host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
    EXPECT_TRUE(Wire().empty());
    EXPECT_EQ(m_edit->text(), "12");
    EXPECT_EQ(State(), kColourStateEdited);
}

TEST_F(VcmEditTest, FailedReadKeepsTheText)
{
    MakeEdit(kVcmFormatPowerOfTen);
    Show(15, -1);
    FailNext("MD");
    EXPECT_FALSE(m_edit->ReadValue(kReadFromDrive));
    // The value read but not its exponent: nothing shown either.
    Master()->ForgetCurrentAddress();
    Drive().InjectFault(SimulatedDrive::Fault(SimulatedDrive::FaultKind::Answer, "20"), 1, "MD");
    FailNext("MD");
    EXPECT_FALSE(m_edit->ReadValue(kReadFromDrive));
    EXPECT_EQ(m_edit->text(), "1.5");
}

TEST_F(VcmEditTest, FieldDeletedWhileTheWriteBoxIsUp)
{
    MakeEdit(kVcmFormatPlain);
    Show(33);
    Master()->SetShowErrorBox(true);
    FailNext("MD");
    m_boxes.Answer(host::IDRETRY);
    m_boxes.WhileShown([this] { m_edit.reset(); });  // the page cleared from the box's loop
    QPointer<CVcmEdit> edit(m_edit.get());
    Type("44");
    QTest::keyClick(edit.data(), Qt::Key_Return);
    EXPECT_TRUE(edit.isNull());
    EXPECT_EQ(Drive().GetValue(kValue), 44);  // Retry completed the write
    EXPECT_TRUE(m_main.messages.empty());
}

}  // namespace
}  // namespace controltest
