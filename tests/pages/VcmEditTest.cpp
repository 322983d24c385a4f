// The parameter edit field: display formats, typed text, colours, Enter.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <memory>

#include "drive/MotorTable.h"
#include "pages/VcmColours.h"
#include "pages/VcmEdit.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint16_t kValue = 40;     // the bound parameter of most cases
constexpr uint16_t kExponent = 41;  // its exponent parameter in format 4

class VcmEditTest : public ControlTest {
protected:
    CVcmEdit* MakeEdit(int format, bool readOnly = false, bool notify = false)
    {
        m_variable = Variable(kVcmKindEdit, kValue, format);
        m_variable.readOnly = readOnly;
        m_variable.notify = notify;
        auto* edit = new CVcmEdit(&m_variable);
        if (format == kVcmFormatPowerOfTen)
            edit->m_nExponentParam = kExponent;
        if (format == kVcmFormatMotorName || format == kVcmFormatErrorText) {
            m_detail = std::make_unique<QLabel>(&m_page);
            edit->m_bHasDetail = 1;
            edit->m_pDetail = m_detail.get();
        }
        edit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT,
                     QRect(10, 10, 110, 20), &m_page, 3002);
        m_edit.reset(edit);
        return edit;
    }
    // Shows a raw value the way a page refresh does.
    void Show(int32_t raw, int32_t exponent = 0)
    {
        Drive().SetValue(kValue, raw);
        Drive().SetValue(kExponent, exponent);
        ASSERT_TRUE(m_edit->ReadValue(kReadFromDrive));
        ClearWire();
        m_page.messages.clear();
    }
    void Type(const QString& text)
    {
        m_edit->clear();
        QTest::keyClicks(m_edit.get(), text);
    }
    QColor Back() const { return m_edit->palette().color(QPalette::Active, QPalette::Base); }
    QColor TextColour() const { return m_edit->palette().color(QPalette::Active, QPalette::Text); }
    QColor SystemBack() const
    {
        return QApplication::palette(m_edit.get()).color(QPalette::Active, QPalette::Base);
    }
    void SetMotorNumber(int32_t motor) { Drive().SetValue(kMotorNoParam, motor); }

    VariableInfo m_variable;
    std::unique_ptr<QLabel> m_detail;
    std::unique_ptr<CVcmEdit> m_edit;
};

struct DisplayCase {
    int format;
    int32_t raw;
    int32_t exponent;
    const char* text;
};

TEST_F(VcmEditTest, ShowsEachFormat)
{
    SetMotorNumber(3);  // factor 4
    const DisplayCase cases[] = {
        {kVcmFormatPlain, -7, 0, "-7"},
        {kVcmFormatOneDecimal, 1234, 0, "123.4"},
        {kVcmFormatTwoDecimals, 150, 0, "1.50"},
        {kVcmFormatThreeDecimals, -5, 0, "-0.005"},
        {kVcmFormatPowerOfTen, 15, -1, "1.5"},
        {kVcmFormatPowerOfTen, 3, 2, "300"},
        {kVcmFormatPowerOfTen, 15, -6, "1.5e-005"},
        {kVcmFormatPowerOfTen, 1234567, 0, "1.23457e+006"},
        {kVcmFormatMotorFactor, 3, 0, "12"},
        {kVcmFormatMotorFactor, 1000000000, 0, "4000000000"},
        {kVcmFormatMotorName, 3, 0, "3"},
        {6, 12, 0, "12"},
    };
    for (const DisplayCase& c : cases) {
        MakeEdit(c.format);
        Show(c.raw, c.exponent);
        EXPECT_EQ(m_edit->text().toStdString(), c.text) << "format " << c.format << " raw " << c.raw;
    }
}

struct DetailCase {
    int format;
    int32_t raw;
    const char* detail;
};

TEST_F(VcmEditTest, DetailLineNamesMotorOrError)
{
    const DetailCase cases[] = {
        {kVcmFormatMotorName, 3, "TX-42S 1.5A 1.8deg"},
        {kVcmFormatErrorText, 2, "Over voltage"},
        {kVcmFormatErrorText, 9999, ""},
    };
    for (const DetailCase& c : cases) {
        MakeEdit(c.format);
        m_detail->setText("old");
        Show(c.raw);
        EXPECT_EQ(m_detail->text().toStdString(), c.detail) << c.raw;
    }
}

struct ConversionCase {
    int format;
    int32_t exponent;
    const char* typed;
    int32_t raw;
};

TEST_F(VcmEditTest, ConvertsTypedText)
{
    SetMotorNumber(3);  // factor 4
    const ConversionCase cases[] = {
        {kVcmFormatOneDecimal, 0, "123.45", 1235},
        {kVcmFormatOneDecimal, 0, "-0.05", -1},
        {kVcmFormatOneDecimal, 0, "1d3", 10000},
        {kVcmFormatTwoDecimals, 0, "1.5", 150},
        {kVcmFormatThreeDecimals, 0, ".0015", 2},
        {kVcmFormatPowerOfTen, -1, "1.5", 15},
        {kVcmFormatPowerOfTen, 2, "250", 3},
        {kVcmFormatMotorFactor, 0, "250", 62},
        {kVcmFormatMotorFactor, 0, "-250", -62},
        {kVcmFormatPlain, 0, "12.7", 12},
        {kVcmFormatPlain, 0, " 12", 12},
        {kVcmFormatPlain, 0, "1d3", 1},
        {kVcmFormatPlain, 0, "+1e3", 1},
        {kVcmFormatPlain, 0, "-123456789", -123456789},
        {kVcmFormatPlain, 0, "12 ", kInvalidValue},
        {kVcmFormatPlain, 0, "0x10", kInvalidValue},
        {kVcmFormatPlain, 0, "", kInvalidValue},
        {kVcmFormatPlain, 0, "inf", kInvalidValue},
        {kVcmFormatPlain, 0, "nan", kInvalidValue},
        {kVcmFormatPlain, 0, "1.2.3", kInvalidValue},
        {kVcmFormatPlain, 0, "1e", kInvalidValue},
        {kVcmFormatPlain, 0, "12345678901", kInvalidValue},
        {kVcmFormatPlain, 0, "2147483647", kInvalidValue},
        {kVcmFormatPlain, 0, "9999999999", kInvalidValue},
        {kVcmFormatThreeDecimals, 0, "9999999.99", kInvalidValue},
        {kVcmFormatPowerOfTen, -30, "1", kInvalidValue},
    };
    for (const ConversionCase& c : cases) {
        MakeEdit(c.format);
        Show(0, c.exponent);
        m_edit->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(m_edit->GetEnteredValue(), c.raw) << "format " << c.format << " '" << c.typed
                                                    << "'";
    }
}

TEST_F(VcmEditTest, ShownTextStandsForTheShownValue)
{
    // "%g" keeps six digits: converting the text would give 1234570.
    MakeEdit(kVcmFormatPowerOfTen);
    Show(1234567, -1);
    ASSERT_EQ(m_edit->text(), "123457");
    EXPECT_EQ(m_edit->GetEnteredValue(), 1234567);
    EXPECT_LE(m_edit->GetColourState(), kColourStateChanged);

    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_EQ(Wire(), (Lines{"MA40", "MD1234567"}));
}

TEST_F(VcmEditTest, MotorFactorOfZeroAcceptsNoTypedValue)
{
    auto& motors = CMotorTable::GetInstance()->m_Motors;
    motors.push_back(MotorInfo{99, 0, "Unscaled"});
    SetMotorNumber(99);
    MakeEdit(kVcmFormatMotorFactor);
    Show(5);
    EXPECT_EQ(m_edit->text(), "0");
    EXPECT_EQ(m_edit->GetEnteredValue(), 5);

    Type("10");
    EXPECT_EQ(m_edit->GetColourState(), kColourStateInvalid);
    ClearWire();
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_EQ(m_edit->text(), "0");
    for (const std::string& line : Wire())
        EXPECT_TRUE(line == "MD" || line.rfind("MA", 0) == 0) << line;  // reads only
    motors.pop_back();
}

TEST_F(VcmEditTest, ColourStatesFollowTheText)
{
    const VcmColours& colours = GetVcmColours();
    MakeEdit(kVcmFormatTwoDecimals);
    const int32_t def = Default(kValue);
    Show(def);
    EXPECT_EQ(m_edit->GetColourState(), kColourStateNormal);
    EXPECT_EQ(Back(), colours.kColourNormalBack);

    Show(def + 100);
    EXPECT_EQ(m_edit->GetColourState(), kColourStateChanged);
    EXPECT_EQ(TextColour(), QColor(16, 16, 255));

    // Another form of the shown value is no edit.
    Type(QString::number((def + 100) / 100.0, 'f', 1));
    EXPECT_EQ(m_edit->GetColourState(), kColourStateChanged);

    Type("7");
    EXPECT_EQ(m_edit->GetColourState(), kColourStateEdited);
    EXPECT_EQ(Back(), QColor(255, 255, 32));

    Type("7x");
    EXPECT_EQ(m_edit->GetColourState(), kColourStateInvalid);
    EXPECT_EQ(Back(), QColor(255, 32, 32));

    // A field the user cannot type in shows the system colours.
    m_edit->setReadOnly(true);
    EXPECT_EQ(Back(), SystemBack());
    m_edit->setReadOnly(false);
    m_edit->setEnabled(false);
    EXPECT_EQ(Back(), SystemBack());
}

TEST_F(VcmEditTest, EnterWritesThenAsksForAFullReRead)
{
    MakeEdit(kVcmFormatOneDecimal);
    Show(10);
    Cache(5, 1);
    Type("2.5");
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_EQ(Wire(), (Lines{"MA40", "MD25"}));
    EXPECT_EQ(Drive().GetValue(kValue), 25);
    EXPECT_EQ(m_edit->GetShownValue(), 25);
    EXPECT_EQ(ValidCount(), 0);
    EXPECT_EQ(m_main.Of(WM_VCM_REFRESH), (std::vector<Message>{{WM_VCM_REFRESH, 2, 0}}));
    EXPECT_EQ(m_page.keys, 1);  // Enter goes on to the page
}

TEST_F(VcmEditTest, EnterWritesTheUnchangedValueAgain)
{
    MakeEdit(kVcmFormatPlain);
    Show(33);
    Drive().SetValue(kMotorNoParam, 0);  // moves the drive's pointer elsewhere
    Master()->ForgetCurrentAddress();
    ClearWire();
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_EQ(Wire(), (Lines{"MA40", "MD33"}));
}

TEST_F(VcmEditTest, RefusedWriteKeepsTheTypedText)
{
    MakeEdit(kVcmFormatPlain);
    Show(33);
    Cache(kValue, 33);
    RefuseNextWrite(kValue, 99);
    Type("44");
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_EQ(m_edit->text(), "44");
    EXPECT_EQ(m_edit->GetColourState(), kColourStateEdited);
    EXPECT_EQ(Master()->GetCacheEntry(kValue)->value, 33);
    EXPECT_TRUE(m_main.Of(WM_VCM_REFRESH).empty());
}

TEST_F(VcmEditTest, InvalidTextOnEnterIsRestoredNotWritten)
{
    MakeEdit(kVcmFormatPlain, false, true);
    Show(33);
    Type("abc");
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_TRUE(Wire().empty());
    EXPECT_EQ(m_edit->text(), "33");
    // The restored value is announced later, by a posted message.
    EXPECT_TRUE(m_page.Of(WM_VCM_VALUE_CHANGED).empty());
    QCoreApplication::sendPostedEvents(&m_page);
    EXPECT_EQ(m_page.Of(WM_VCM_VALUE_CHANGED),
              (std::vector<Message>{{WM_VCM_VALUE_CHANGED, kValue, 33}}));
}

TEST_F(VcmEditTest, ReadOnlyRecordIgnoresEnter)
{
    MakeEdit(kVcmFormatPlain, true);
    Show(33);
    EXPECT_TRUE(m_edit->isReadOnly());
    m_edit->setReadOnly(false);  // even if something made it writable
    Type("44");
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmEditTest, EscapeStopsAtTheField)
{
    MakeEdit(kVcmFormatPlain);
    Show(33);
    Type("44");
    QTest::keyClick(m_edit.get(), Qt::Key_Escape);
    EXPECT_EQ(m_page.keys, 0);
    EXPECT_EQ(m_edit->text(), "44");
}

TEST_F(VcmEditTest, LeavingRestoresEditedButNotInvalidText)
{
    MakeEdit(kVcmFormatPlain, false, true);
    Show(33);
    Type("44");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(m_edit.get(), &out);
    EXPECT_EQ(m_edit->text(), "33");
    QCoreApplication::sendPostedEvents(&m_page);
    EXPECT_EQ(m_page.Of(WM_VCM_VALUE_CHANGED).size(), 1u);

    Type("4x");
    QCoreApplication::sendEvent(m_edit.get(), &out);
    EXPECT_EQ(m_edit->text(), "4x");
    EXPECT_EQ(m_edit->GetColourState(), kColourStateInvalid);
}

TEST_F(VcmEditTest, NotifiesOnlyWhenTheValueChanges)
{
    MakeEdit(kVcmFormatPlain, false, true);
    m_edit->ShowValue(5);
    m_edit->ShowValue(5);
    m_edit->ShowValue(6);
    EXPECT_EQ(m_page.Of(WM_VCM_VALUE_CHANGED),
              (std::vector<Message>{{WM_VCM_VALUE_CHANGED, kValue, 5},
                                    {WM_VCM_VALUE_CHANGED, kValue, 6}}));
}

TEST_F(VcmEditTest, FailedReadKeepsTheText)
{
    MakeEdit(kVcmFormatPowerOfTen);
    Show(15, -1);
    FailNext("MD");
    EXPECT_FALSE(m_edit->ReadValue(kReadFromDrive));
    // The value read but its exponent not: nothing is shown either.
    Master()->ForgetCurrentAddress();
    ClearWire();
    Drive().InjectFault(SimulatedDrive::Fault(SimulatedDrive::FaultKind::Answer, "20"), 1, "MD");
    FailNext("MD");
    EXPECT_FALSE(m_edit->ReadValue(kReadFromDrive));
    EXPECT_EQ(Wire(), (Lines{"MA40", "MD", "MD"}));
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
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Drive().GetValue(kValue), 44);  // Retry still completed the write
    EXPECT_TRUE(m_main.Of(WM_VCM_REFRESH).empty());
}

}  // namespace
}  // namespace controltest
