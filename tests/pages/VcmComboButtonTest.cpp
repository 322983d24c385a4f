// Combo boxes and command buttons.

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "pages/VcmButton.h"
#include "pages/VcmCombo.h"
#include "tests/support/RecordingProgress.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint16_t kValue = 12;

class VcmComboTest : public ControlTest {
protected:
    // Options as (item value, listed parameter) pairs.
    void MakeCombo(int format, const std::vector<std::pair<int32_t, uint16_t>>& options,
                   bool notify = false)
    {
        m_variable = Variable(kVcmKindCombo, kValue, format);
        m_variable.notify = notify;
        for (auto [value, param] : options)
            m_variable.options.push_back(
                OptionInfo{"", "", value, "Item " + std::to_string(value), param, 0});
        m_combo = std::make_unique<CVcmCombo>(&m_variable);
        m_combo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, QRect(10, 10, 110, 200), &m_page,
                        3002);
    }
    Lines Items() const
    {
        Lines items;
        for (int i = 0; i < m_combo->count(); ++i)
            items.push_back(m_combo->itemText(i).toStdString());
        return items;
    }

    VariableInfo m_variable;
    std::unique_ptr<CVcmCombo> m_combo;
};

TEST_F(VcmComboTest, ItemsAreOptionTextsOrOtherParametersReadOnce)
{
    MakeCombo(0, {{3, 0}, {1, 0}});
    EXPECT_EQ(Items(), (Lines{"Item 3", "Item 1"}));
    EXPECT_TRUE(Wire().empty());

    Drive().SetValue(kMotorNoParam, 3);  // motor factor 4
    Drive().SetValue(60, 5);
    Drive().SetValue(61, -3);
    MakeCombo(kVcmFormatTwoDecimals, {{0, 60}, {1, 61}});
    EXPECT_EQ(Items(), (Lines{"5", "-3"}));
    EXPECT_TRUE(Cached(60) && Cached(61));
    MakeCombo(kVcmFormatPowerOfTen, {{0, 60}, {1, 61}});
    EXPECT_EQ(Items(), (Lines{"20", "-12"}));
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

TEST_F(VcmComboTest, ShowingSelectsAndAnnouncesButNeverWrites)
{
    const int32_t def = Master()->GetDriver()->GetDefaultValue(kValue);
    MakeCombo(0, {{def, 0}, {def + 1, 0}, {def, 0}}, true);
    m_combo->ShowValue(def);
    EXPECT_EQ(m_combo->currentIndex(), 2);  // the later of two equal options
    EXPECT_EQ(m_combo->GetColourState(), kColourStateNormal);
    m_combo->ShowValue(def + 1);
    EXPECT_EQ(m_combo->palette().color(QPalette::Active, QPalette::Text), QColor(16, 16, 255));
    m_combo->ShowValue(def + 9);
    EXPECT_EQ(m_combo->GetEnteredValue(), -1);
    QCoreApplication::sendPostedEvents(&m_page);
    EXPECT_EQ(m_page.Count(WM_VCM_VALUE_CHANGED), 3);
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmComboTest, ChoosingWritesOnceAndAsksForAReRead)
{
    MakeCombo(0, {{4, 0}, {6, 0}});
    m_combo->ShowValue(4);
    Cache(5, 1);
    QTest::keyClick(m_combo.get(), Qt::Key_Down);
    EXPECT_EQ(Wire(), (Lines{"MA12", "MD6"}));
    EXPECT_FALSE(Cached(5) || Cached(kValue));
    EXPECT_EQ(m_main.messages, (decltype(m_main.messages){{WM_VCM_REFRESH, kReadFromDrive}}));
}

TEST_F(VcmComboTest, WheelWritesOnlyInTheFocusedCombo)
{
    MakeCombo(0, {{4, 0}, {6, 0}});
    m_combo->ShowValue(4);
    ClearWire();
    const auto turnWheelDown = [this] {
        const QPointF at(m_combo->rect().center());
        QWheelEvent wheel(at, m_combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_combo.get(), &wheel);
    };
    // Scrolling the page across a combo leaves it alone.
    turnWheelDown();
    EXPECT_EQ(m_combo->currentIndex(), 0);
    EXPECT_FALSE(m_combo->hasFocus());
    EXPECT_TRUE(Wire().empty());

    QApplication::setActiveWindow(&m_page);
    m_combo->setFocus();
    ASSERT_TRUE(m_combo->hasFocus());
    turnWheelDown();
    EXPECT_EQ(m_combo->currentIndex(), 1);
    EXPECT_EQ(Wire(), (Lines{"MA12", "MD6"}));
}

using VcmButtonTest = ControlTest;

TEST_F(VcmButtonTest, ClickByFormat)
{
    struct Case {
        const char* name;
        int format;
        bool hasOption;
        const char* command;
        bool drivesAnswer;
        Lines wire;
        std::vector<int> toMain;
    };
    const Case cases[] = {
        {"motor list", 1, true, "ML", true, {}, {WM_SHOW_MOTOR_LIST}},
        {"graph", 2, true, "GT", true, {"GT"}, {WM_SHOW_GRAPH, WM_VCM_REFRESH}},
        {"graph, failed", 2, true, "GT", false, {"GT"}, {WM_VCM_REFRESH}},
        {"command", 0, true, "CA", true, {"CA"}, {WM_VCM_REFRESH}},
        {"command, failed", 0, true, "CA", false, {"CA"}, {}},
        {"no command", 2, true, "", true, {}, {}},
        {"no option", 0, false, "", true, {}, {}},
    };
    for (const Case& c : cases) {
        VariableInfo v = Variable(kVcmKindButton, 0, c.format);
        if (c.hasOption)
            v.options.push_back(OptionInfo{"Do", c.command, 0, "", 0, 0});
        CVcmButton button(&v);
        button.Create("Do", WS_CHILD | WS_VISIBLE, QRect(10, 10, 110, 20), &m_page, 3002);
        const bool ok = c.drivesAnswer;
        Drive().SetCommandHook(c.command, [ok](auto&) { return ok ? "OK" : "Error 3"; });
        Cache(5, 1);
        ClearWire();
        m_main.messages.clear();
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_EQ(Wire(), c.wire) << c.name;
        std::vector<int> toMain;
        for (auto [type, wParam] : m_main.messages)
            toMain.push_back(type);
        EXPECT_EQ(toMain, c.toMain) << c.name;
        // A refresh request re-reads everything, after the whole cache is forgotten.
        EXPECT_EQ(Cached(5), m_main.Count(WM_VCM_REFRESH) == 0) << c.name;
    }
}

TEST_F(VcmButtonTest, GraphButtonSendsNothingWhileTheTestArrayIsRead)
{
    DriveProfile servo;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(kSampleServoVersion, servo, error)) << error;
    Drive().ApplyProfile(servo);
    ASSERT_EQ(Master()->Connect(static_cast<uint8_t>(m_sim.Com()), kBaudCode9600, true),
              kConnectOk);
    VariableInfo v = Variable(kVcmKindButton, 0, 2);
    v.options.push_back(OptionInfo{"Record", "TR", 0, "", 0, 0});
    CVcmButton button(&v);
    button.Create("Record", WS_CHILD | WS_VISIBLE, QRect(10, 10, 110, 20), &m_page, 3002);
    // The user presses the button while the read pumps messages.
    struct ClickingProgress : RecordingProgress {
        CVcmButton* button;
        bool CheckCancel() override
        {
            if (checks++ == 3)
                button->click();
            return false;
        }
    } progress;
    progress.button = &button;
    m_boxes.Answer(host::IDOK);
    std::vector<int16_t> values(servo.testArrayLength);
    ClearWire();
    ASSERT_TRUE(Master()->ReadTestArray(&progress, values.data(), values.size()));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "It's reading graph data. Wait until reading is complete, "
                                       "or press 'Cancel' button.");
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_OK);
    Lines expected{"MA300"};
    expected.insert(expected.end(), values.size(), "MD");
    EXPECT_EQ(Wire(), expected);
    EXPECT_TRUE(m_main.messages.empty());
}

}  // namespace
}  // namespace controltest
