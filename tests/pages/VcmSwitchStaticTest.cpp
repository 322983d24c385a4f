// Bit switches with their cells, and section headers.

#include <QTest>

#include "pages/ToggleStatic.h"
#include "pages/VcmStatic.h"
#include "pages/VcmSwitch.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint16_t kValue = 10;

class VcmSwitchTest : public ControlTest {
protected:
    void MakeSwitch(const std::vector<uint8_t>& bits)
    {
        m_variable = Variable(kVcmKindSwitch, kValue);
        for (uint8_t bit : bits)
            m_variable.options.push_back(OptionInfo{"", "", 0, "", 0, bit});
        m_switch = std::make_unique<CVcmSwitch>(&m_variable);
        m_switch->Create("", WS_CHILD | WS_VISIBLE, QRect(10, 10, 110, 20), &m_page, 3004);
    }
    // The cells' texts from left to right.
    std::string Shown() const
    {
        std::string text(m_switch->GetBitCount(), '?');
        for (int i = 0; i < m_switch->GetBitCount(); ++i)
            text[m_switch->GetCell(i)->x() / 27] = m_switch->GetCell(i)->text().at(0).toLatin1();
        return text;
    }
    void Click(int i) { QTest::mouseClick(m_switch->GetCell(i), Qt::LeftButton); }

    VariableInfo m_variable;
    std::unique_ptr<CVcmSwitch> m_switch;
};

TEST_F(VcmSwitchTest, CellsRunFromTheLastOptionOnTheLeft)
{
    MakeSwitch({0, 1, 2, 35});
    for (int k = 0; k < 4; ++k) {
        CToggleStatic* cell = m_switch->GetCell(3 - k);
        EXPECT_EQ(cell->property("controlId").toInt(), 3000 + k);
        EXPECT_EQ(cell->geometry(), QRect(k * 27 + 1, 1, 26, 18));
    }
    EXPECT_EQ(Shown(), "0000");
    m_switch->ShowValue(9);  // bit 35 stands for bit 3
    EXPECT_EQ(Shown(), "1001");
    EXPECT_EQ(m_switch->GetEnteredValue(), 9);
}

TEST_F(VcmSwitchTest, ClickWritesTheFlippedBitAndLeavesTheRestOfTheCache)
{
    MakeSwitch({0, 1, 2, 3});
    m_switch->ShowValue(5);
    Cache(5, 1);
    Click(1);
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD7"}));
    EXPECT_EQ(Shown(), "0111");
    EXPECT_EQ(CachedValue(kValue), 7);
    EXPECT_TRUE(Cached(5));
    EXPECT_TRUE(m_main.messages.empty());  // no re-read after a bit
}

TEST_F(VcmSwitchTest, UnreadSwitchReadsBeforeItWrites)
{
    Drive().SetValue(kValue, 12);
    MakeSwitch({0, 1, 2, 3});
    FailNext("MD");
    Click(0);  // the read fails: nothing written
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD"}));
    Click(0);
    Click(0);
    EXPECT_EQ(Drive().GetValue(kValue), 13);
    EXPECT_EQ(Shown(), "1101");
}

TEST_F(VcmSwitchTest, RefusedWriteKeepsTheShownValue)
{
    MakeSwitch({0, 1, 2, 3});
    m_switch->ShowValue(5);
    RefuseNextWrite(kValue, 0);
    Click(1);
    EXPECT_EQ(m_switch->GetShownValue(), 5);
    EXPECT_EQ(Shown(), "0111");  // the clicked cell keeps its flip
    ClearWire();
    Click(3);  // the old value with only this bit changed
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD13"}));
    EXPECT_EQ(Shown(), "1101");
}

using VcmStaticTest = ControlTest;

TEST_F(VcmStaticTest, HeaderObeysItsConditionsOnly)
{
    VariableInfo v = Variable(kVcmKindHeader, 0);
    v.conditions[0] = Condition(30, 1, 1, 4);
    v.conditions[1] = Condition(31, 1, 1, 1);
    CVcmStatic header(&v);
    header.Create("Motor", WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE,
                  QRect(10, 10, 200, 18), &m_page, 3000);
    EXPECT_EQ(header.alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(header.ReadValue(kReadFromDrive));
    struct Step { int32_t hide, disable; bool hidden, enabled; };
    const Step steps[] = {{1, 0, true, true}, {0, 1, false, false}, {0, 0, false, true}};
    for (const Step& s : steps) {
        Cache(30, s.hide);
        Cache(31, s.disable);
        header.UpdateStyle();
        EXPECT_EQ(header.isHidden(), s.hidden) << s.hide << s.disable;
        EXPECT_EQ(header.isEnabled(), s.enabled) << s.hide << s.disable;
    }
    EXPECT_TRUE(Wire().empty());
}

}  // namespace
}  // namespace controltest
