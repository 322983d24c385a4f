// Combo boxes and command buttons.

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

#include "pages/VcmButton.h"
#include "pages/VcmColours.h"
#include "pages/VcmCombo.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint16_t kValue = 12;

class VcmComboTest : public ControlTest {
protected:
    CVcmCombo* MakeCombo(int format, const std::vector<std::pair<int32_t, uint16_t>>& options,
                         bool notify = false, bool readOnly = false)
    {
        m_variable = Variable(kVcmKindCombo, kValue, format);
        m_variable.notify = notify;
        m_variable.readOnly = readOnly;
        for (auto [value, param] : options) {
            OptionInfo o;
            o.value = value;
            o.param = param;
            o.text = "Item " + std::to_string(value);
            m_variable.options.push_back(o);
        }
        m_combo = std::make_unique<CVcmCombo>(&m_variable);
        m_combo->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                        QRect(10, 10, 110, 200), &m_page, 3002);
        return m_combo.get();
    }
    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < m_combo->count(); ++i)
            items.push_back(m_combo->itemText(i).toStdString());
        return items;
    }

    VariableInfo m_variable;
    std::unique_ptr<CVcmCombo> m_combo;
};

TEST_F(VcmComboTest, FixedItemsInOptionOrder)
{
    MakeCombo(0, {{3, 0}, {1, 0}, {2, 0}});
    EXPECT_EQ(Items(), (std::vector<std::string>{"Item 3", "Item 1", "Item 2"}));
    EXPECT_TRUE(Wire().empty());
    EXPECT_TRUE(m_combo->isEnabled());
    EXPECT_EQ(m_combo->height(), 20);
}

struct LiveItemsCase {
    int format;
    int32_t motor;
    std::vector<std::string> items;
};

TEST_F(VcmComboTest, LiveItemsAreOtherParametersReadOnce)
{
    const LiveItemsCase cases[] = {
        {kVcmFormatTwoDecimals, 3, {"5", "-3"}},
        {kVcmFormatPowerOfTen, 3, {"20", "-12"}},  // motor 3: factor 4
    };
    for (const LiveItemsCase& c : cases) {
        Drive().SetValue(kMotorNoParam, c.motor);
        Drive().SetValue(60, 5);
        Drive().SetValue(61, -3);
        Master()->InvalidateParameterCache();
        MakeCombo(c.format, {{0, 60}, {1, 61}});
        EXPECT_EQ(Items(), c.items) << c.format;
        EXPECT_TRUE(Cached(60) && Cached(61));
        // Later values of those parameters do not reach the list.
        Drive().SetValue(60, 9);
        m_combo->ShowValue(1);
        EXPECT_EQ(m_combo->itemText(0).toStdString(), c.items[0]);
    }
}

TEST_F(VcmComboTest, UnreadableItemSaysReloadAndStillWrites)
{
    FailNext("MD");
    MakeCombo(kVcmFormatTwoDecimals, {{7, 60}, {8, 61}});
    ASSERT_EQ(Items().front(), "Reload it!");
    m_combo->setCurrentIndex(1);
    ClearWire();
    QTest::keyClick(m_combo.get(), Qt::Key_Up);  // the user picks the first item
    EXPECT_EQ(Wire(), (Lines{"MA12", "MD7"}));
}

TEST_F(VcmComboTest, ShowSelectsTheLastOptionOfTheValue)
{
    MakeCombo(0, {{1, 0}, {2, 0}, {1, 0}}, true);
    m_combo->ShowValue(1);
    EXPECT_EQ(m_combo->currentIndex(), 2);
    m_combo->ShowValue(1);
    m_combo->ShowValue(9);
    EXPECT_EQ(m_combo->currentIndex(), -1);
    EXPECT_EQ(m_combo->GetEnteredValue(), -1);
    // Every show is announced, posted.
    EXPECT_TRUE(m_page.Of(WM_VCM_VALUE_CHANGED).empty());
    QCoreApplication::sendPostedEvents(&m_page);
    EXPECT_EQ(m_page.Of(WM_VCM_VALUE_CHANGED).size(), 3u);
    // Showing never writes.
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmComboTest, ChangedValueIsBlue)
{
    const int32_t def = Default(kValue);
    MakeCombo(0, {{def, 0}, {def + 1, 0}});
    m_combo->ShowValue(def);
    EXPECT_EQ(m_combo->GetColourState(), kColourStateNormal);
    m_combo->ShowValue(def + 1);
    EXPECT_EQ(m_combo->GetColourState(), kColourStateChanged);
    EXPECT_EQ(m_combo->palette().color(QPalette::Active, QPalette::Text), QColor(16, 16, 255));
}

TEST_F(VcmComboTest, ChoosingWritesOnceAndAsksForAReRead)
{
    MakeCombo(0, {{4, 0}, {6, 0}});
    m_combo->ShowValue(4);
    Cache(5, 1);
    QTest::keyClick(m_combo.get(), Qt::Key_Down);
    EXPECT_EQ(Wire(), (Lines{"MA12", "MD6"}));
    EXPECT_EQ(Drive().GetValue(kValue), 6);
    EXPECT_EQ(ValidCount(), 0);
    EXPECT_EQ(m_main.Of(WM_VCM_REFRESH), (std::vector<Message>{{WM_VCM_REFRESH, 2, 0}}));
}

TEST_F(VcmComboTest, RefusedChoiceKeepsTheSelection)
{
    MakeCombo(0, {{4, 0}, {6, 0}});
    m_combo->ShowValue(4);
    Cache(kValue, 4);
    RefuseNextWrite(kValue, 5);
    QTest::keyClick(m_combo.get(), Qt::Key_Down);
    EXPECT_EQ(m_combo->currentIndex(), 1);
    EXPECT_EQ(Master()->GetCacheEntry(kValue)->value, 4);
    EXPECT_TRUE(m_main.Of(WM_VCM_REFRESH).empty());
}

TEST_F(VcmComboTest, ReadOnlyComboIsCreatedDisabled)
{
    MakeCombo(0, {{4, 0}, {6, 0}}, false, true);
    EXPECT_FALSE(m_combo->isEnabled());
    EXPECT_EQ(GetWindowStyle(m_combo.get()) & WS_DISABLED, WS_DISABLED);
}

class VcmButtonTest : public ControlTest {
protected:
    CVcmButton* MakeButton(int format, const std::string& command, bool readOnly = false)
    {
        m_variable = Variable(kVcmKindButton, 0, format);
        m_variable.readOnly = readOnly;
        OptionInfo o;
        o.caption = "Do";
        o.command = command;
        m_variable.options.push_back(o);
        m_button = std::make_unique<CVcmButton>(&m_variable);
        m_button->Create("Do", WS_CHILD | WS_VISIBLE, QRect(10, 10, 110, 20), &m_page, 3002);
        return m_button.get();
    }
    void AnswerCommand(const std::string& word, bool ok)
    {
        Drive().SetCommandHook(word, [ok](const SimulatedDrive::Command&) {
            return std::string(ok ? "OK" : "Error 3");
        });
    }
    std::vector<int> MainTypes() const
    {
        std::vector<int> types;
        for (const Message& m : m_main.messages)
            types.push_back(m.type);
        return types;
    }

    VariableInfo m_variable;
    std::unique_ptr<CVcmButton> m_button;
};

struct ButtonCase {
    const char* name;
    int format;
    const char* command;
    bool drivesAnswer;
    Lines wire;
    std::vector<int> toMain;
    bool invalidates;
};

TEST_F(VcmButtonTest, ClickByFormat)
{
    const ButtonCase cases[] = {
        {"motor list", 1, "ML", true, {}, {WM_SHOW_MOTOR_LIST}, false},
        {"graph", 2, "GT", true, {"GT"}, {WM_SHOW_GRAPH, WM_VCM_REFRESH}, true},
        {"graph, failed", 2, "GT", false, {"GT"}, {WM_VCM_REFRESH}, true},
        {"graph, no command", 2, "", true, {}, {}, false},
        {"command", 0, "CA", true, {"CA"}, {WM_VCM_REFRESH}, true},
        {"command, failed", 0, "CA", false, {"CA"}, {}, false},
        {"no command", 0, "", true, {}, {}, false},
    };
    for (const ButtonCase& c : cases) {
        MakeButton(c.format, c.command);
        if (*c.command)
            AnswerCommand(c.command, c.drivesAnswer);
        Cache(5, 1);
        ClearWire();
        m_main.messages.clear();
        QTest::mouseClick(m_button.get(), Qt::LeftButton);
        EXPECT_EQ(Wire(), c.wire) << c.name;
        EXPECT_EQ(MainTypes(), c.toMain) << c.name;
        EXPECT_EQ(ValidCount() == 0, c.invalidates) << c.name;
        for (const Message& m : m_main.Of(WM_VCM_REFRESH))
            EXPECT_EQ(m.wParam, 2) << c.name;
    }
}

TEST_F(VcmButtonTest, ButtonWithoutOptionsDoesNothing)
{
    m_variable = Variable(kVcmKindButton, 0, 0);
    CVcmButton button(&m_variable);
    button.Create("", WS_CHILD | WS_VISIBLE, QRect(10, 10, 110, 20), &m_page, 3002);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(Wire().empty());
    EXPECT_TRUE(m_main.messages.empty());
}

TEST_F(VcmButtonTest, ReadOnlyButtonSendsNothing)
{
    MakeButton(0, "CA", true);
    EXPECT_FALSE(m_button->isEnabled());
    m_button->setEnabled(true);  // even if something enabled it
    QTest::mouseClick(m_button.get(), Qt::LeftButton);
    EXPECT_TRUE(Wire().empty());
    EXPECT_TRUE(m_main.messages.empty());
}

}  // namespace
}  // namespace controltest
