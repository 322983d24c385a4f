// Bit switches with their cells, and section headers.

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include <memory>

#include "pages/ToggleStatic.h"
#include "pages/VcmStatic.h"
#include "pages/VcmSwitch.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint16_t kValue = 10;

class VcmSwitchTest : public ControlTest {
protected:
    CVcmSwitch* MakeSwitch(std::vector<uint8_t> bits, int width = 110, bool readOnly = false)
    {
        m_variable = Variable(kVcmKindSwitch, kValue);
        m_variable.readOnly = readOnly;
        for (uint8_t bit : bits) {
            OptionInfo o;
            o.bit = bit;
            m_variable.options.push_back(o);
        }
        m_switch = std::make_unique<CVcmSwitch>(&m_variable);
        m_switch->Create("", WS_CHILD | WS_VISIBLE, QRect(10, 10, width, 20), &m_page, 3004);
        return m_switch.get();
    }
    // The cells' texts from left to right.
    std::string Shown() const
    {
        std::vector<CToggleStatic*> cells;
        for (int i = 0; i < m_switch->GetBitCount(); ++i)
            cells.push_back(m_switch->GetCell(i));
        std::sort(cells.begin(), cells.end(),
                  [](auto* a, auto* b) { return a->x() < b->x(); });
        std::string text;
        for (CToggleStatic* cell : cells)
            text += cell->text().toStdString();
        return text;
    }
    void Click(int i) { QTest::mouseClick(m_switch->GetCell(i), Qt::LeftButton); }

    VariableInfo m_variable;
    std::unique_ptr<CVcmSwitch> m_switch;
};

TEST_F(VcmSwitchTest, CellsRunFromTheLastOptionOnTheLeft)
{
    MakeSwitch({0, 1, 2, 3});
    ASSERT_EQ(m_switch->GetBitCount(), 4);
    for (int k = 0; k < 4; ++k) {
        CToggleStatic* cell = m_switch->GetCell(3 - k);
        EXPECT_EQ(cell->m_nBit, 3 - k);
        EXPECT_EQ(cell->property("controlId").toInt(), 3000 + k);
        EXPECT_EQ(cell->geometry(), QRect(k * 27 + 1, 1, 26, 18));
    }
    EXPECT_EQ(Shown(), "0000");
    m_switch->ShowValue(5);
    EXPECT_EQ(Shown(), "0101");
    EXPECT_EQ(m_switch->GetEnteredValue(), 5);
}

TEST_F(VcmSwitchTest, BitNumbersWrapAt32AndMayRepeat)
{
    MakeSwitch({33, 1, 4});
    m_switch->ShowValue(2);
    EXPECT_EQ(Shown(), "011");
    EXPECT_EQ(m_switch->GetEnteredValue(), 2);
}

TEST_F(VcmSwitchTest, WithoutOptionsStillStoresAndNotifies)
{
    MakeSwitch({});
    m_variable.notify = true;
    m_switch->ShowValue(9);
    EXPECT_EQ(m_switch->GetShownValue(), 9);
    EXPECT_EQ(m_switch->GetEnteredValue(), 0);
    QCoreApplication::sendPostedEvents(&m_page);
    EXPECT_EQ(m_page.Of(WM_VCM_VALUE_CHANGED),
              (std::vector<Message>{{WM_VCM_VALUE_CHANGED, kValue, 9}}));
}

TEST_F(VcmSwitchTest, NarrowSwitchGivesCellsWithoutWidth)
{
    MakeSwitch({0, 1, 2, 3}, 3);
    EXPECT_EQ(m_switch->GetCell(0)->width(), 0);
}

TEST_F(VcmSwitchTest, ClickWritesTheFlippedBitAndNothingElse)
{
    MakeSwitch({0, 1, 2, 3});
    m_switch->ShowValue(5);
    Cache(5, 1);
    Click(1);
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD7"}));
    EXPECT_EQ(Shown(), "0111");
    ASSERT_TRUE(Cached(kValue));
    EXPECT_EQ(Master()->GetCacheEntry(kValue)->value, 7);
    EXPECT_TRUE(Cached(5));  // the rest of the cache stays
    EXPECT_TRUE(m_main.messages.empty());

    ClearWire();
    Click(0);  // clears bit 0
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD6"}));
    EXPECT_EQ(Shown(), "0110");
}

TEST_F(VcmSwitchTest, UnreadSwitchReadsBeforeItWrites)
{
    Drive().SetValue(kValue, 12);
    MakeSwitch({0, 1, 2, 3});
    Click(0);
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD", "MA10", "MD13"}));
    EXPECT_EQ(Drive().GetValue(kValue), 13);
    EXPECT_EQ(Shown(), "1101");
}

TEST_F(VcmSwitchTest, UnreadSwitchWritesNothingWhenTheReadFails)
{
    Drive().SetValue(kValue, 12);
    MakeSwitch({0, 1, 2, 3});
    FailNext("MD");
    Click(0);
    EXPECT_EQ(Wire(), (Lines{"MA10", "MD"}));
    EXPECT_EQ(Drive().GetValue(kValue), 12);
}

TEST_F(VcmSwitchTest, RefusedWriteKeepsTheShownValue)
{
    MakeSwitch({0, 1, 2, 3});
    Drive().SetValue(kValue, 5);
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

TEST_F(VcmSwitchTest, ReadOnlySwitchIsCreatedDisabled)
{
    MakeSwitch({0, 1}, 110, true);
    EXPECT_FALSE(m_switch->isEnabled());
    EXPECT_FALSE(m_switch->WriteValue(1));
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmSwitchTest, SwitchDeletedWhileTheWriteBoxIsUp)
{
    MakeSwitch({0, 1});
    m_switch->ShowValue(0);
    Master()->SetShowErrorBox(true);
    FailNext("MD");
    m_boxes.Answer(host::IDIGNORE);
    m_boxes.WhileShown([this] { m_switch.reset(); });
    QPointer<CToggleStatic> cell(m_switch->GetCell(0));
    QTest::mouseClick(cell.data(), Qt::LeftButton);
    EXPECT_TRUE(cell.isNull());
    EXPECT_EQ(m_boxes.Count(), 1u);
}

class VcmStaticTest : public ControlTest {};

TEST_F(VcmStaticTest, HeaderObeysItsConditionsOnly)
{
    VariableInfo v = Variable(kVcmKindHeader, 0);
    v.text = "Motor";
    v.conditions[0] = Condition(30, 1, 1, 4);
    v.conditions[1] = Condition(31, 1, 1, 1);
    CVcmStatic header(&v);
    header.Create("Motor", WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE, QRect(10, 10, 200, 18),
                  &m_page, 3000);
    EXPECT_EQ(header.alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(header.ReadValue(kReadFromDrive));
    EXPECT_TRUE(Wire().empty());

    struct Step {
        int32_t hide, disable;
        bool hidden, enabled;
    };
    const Step steps[] = {{1, 0, true, true}, {0, 1, false, false}, {0, 0, false, true}};
    for (const Step& s : steps) {
        Cache(30, s.hide);
        Cache(31, s.disable);
        header.UpdateStyle();
        EXPECT_EQ(header.isHidden(), s.hidden) << s.hide << s.disable;
        EXPECT_EQ(header.isEnabled(), s.enabled) << s.hide << s.disable;
    }
}

}  // namespace
}  // namespace controltest
