// The control base: conditions, the shared read and write through the cache.

#include <QLabel>

#include "pages/VcmButton.h"
#include "pages/VcmCombo.h"
#include "pages/VcmEdit.h"
#include "pages/VcmSwitch.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint32_t kShown = WS_CHILD | WS_VISIBLE;
constexpr QRect kRect(0, 0, 100, 20);

using VcmCtrlTest = ControlTest;

VariableInfo Combo(uint16_t number)
{
    VariableInfo v = Variable(kVcmKindCombo, number);
    for (int32_t value : {1, 2})
        v.options.push_back(OptionInfo{"", "", value, "Item", 0, 0});
    return v;
}

TEST_F(VcmCtrlTest, EveryOperatorComparesAsSigned32Bit)
{
    struct Case { uint8_t op; int32_t x, reference; bool holds; };
    const Case cases[] = {{1, 5, 5, true}, {1, 5, 6, false}, {2, 5, 5, true}, {2, 6, 5, false},
                          {3, 5, 5, true}, {3, -1, 0, false}, {4, -2, -1, true}, {4, 5, 5, false},
                          {5, 6, 5, true}, {5, 5, 5, false}, {6, 4, 5, true}, {6, 5, 5, false},
                          {7, 6, 2, true}, {7, 4, 3, false}, {7, -1, 0, false}, {8, 5, 5, false}};
    for (const Case& c : cases) {
        VariableInfo v = Variable(kVcmKindEdit, 40);
        v.conditions[0] = Condition(30, c.op, c.reference, 1);
        Cache(30, c.x);
        EXPECT_EQ((CVcmEdit(&v).ApplyConditions(kShown) & WS_DISABLED) != 0, c.holds)
            << "op " << int(c.op) << " x " << c.x << " r " << c.reference;
    }
    EXPECT_TRUE(Wire().empty());  // every tested value came from the cache
}

TEST_F(VcmCtrlTest, EffectsSetAndClearTheirBitsByKind)
{
    Cache(30, 1);
    Cache(31, 0);
    const VcmCondition on1 = Condition(30, 1, 1, 1), off1 = Condition(31, 1, 1, 1);
    const VcmCondition on2 = Condition(30, 1, 1, 2), off2 = Condition(31, 1, 1, 2);
    const VcmCondition on4 = Condition(30, 1, 1, 4), off4 = Condition(31, 1, 1, 4);
    const uint32_t off = kShown | WS_DISABLED, ro = kShown | ES_READONLY;
    struct Case { int kind; VcmCondition first, second; uint32_t style, expected; bool roRecord; };
    const Case cases[] = {
        {kVcmKindEdit, on1, {}, kShown, off, false},
        {kVcmKindEdit, off1, {}, off, kShown, false},
        {kVcmKindEdit, off1, on1, kShown, off, false},
        {kVcmKindEdit, on2, {}, kShown, ro, false},
        {kVcmKindEdit, off2, {}, ro, kShown, false},
        {kVcmKindCombo, on2, {}, kShown, off, false},
        {kVcmKindCombo, on1, off2, kShown, kShown, false},  // read-only decides WS_DISABLED
        {kVcmKindHeader, on2, {}, kShown, off, false},
        {3, on2, {}, kShown, kShown, false},
        {kVcmKindEdit, on4, {}, kShown, WS_CHILD, false},
        {kVcmKindSwitch, off4, {}, WS_CHILD, kShown, false},
        {kVcmKindEdit, Condition(30, 1, 1, 8), {}, kShown, kShown, false},  // unknown effect
        {kVcmKindEdit, {}, on1, kShown, kShown, false},  // first entry without operator
        // A read-only record stays so whatever its conditions say.
        {kVcmKindEdit, off2, {}, ro, ro, true},
        {kVcmKindButton, off1, {}, off, off, true},
        {kVcmKindHeader, off1, {}, kShown, kShown, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        VariableInfo v = Variable(c.kind, 40);
        v.readOnly = c.roRecord;
        v.conditions[0] = c.first;
        v.conditions[1] = c.second;
        EXPECT_EQ(CVcmEdit(&v).ApplyConditions(c.style), c.expected) << "case " << i;
    }
}

TEST_F(VcmCtrlTest, ConditionReadsGoThroughTheCache)
{
    VariableInfo v = Variable(kVcmKindEdit, 40);
    v.conditions[1] = Condition(30, 1, 0, 1);
    CVcmEdit edit(&v);
    // The first entry has no operator: nothing is read, yet the row depends on 30.
    EXPECT_EQ(edit.ApplyConditions(kShown), kShown);
    EXPECT_TRUE(Wire().empty());
    EXPECT_TRUE(edit.DependsOn(30));

    Drive().SetValue(30, 3);
    Drive().SetValue(130, 7);
    v.conditions[0] = Condition(130, 1, 7, 4);  // beyond the count: read every time
    v.conditions[1] = Condition(30, 5, 2, 1);   // read once into the cache
    EXPECT_EQ(edit.ApplyConditions(kShown), WS_CHILD | WS_DISABLED);
    EXPECT_EQ(edit.ApplyConditions(kShown), WS_CHILD | WS_DISABLED);
    EXPECT_EQ(Wire(), (Lines{"MA30", "MD", "MA130", "MD", "MA130", "MD"}));

    // An entry whose parameter cannot be read counts for nothing.
    Master()->InvalidateParameterCache();
    v.conditions[0] = Condition(30, 1, 0, 1);
    v.conditions[1] = {};
    FailNext("MD");
    EXPECT_EQ(edit.ApplyConditions(kShown | WS_DISABLED), kShown | WS_DISABLED);
}

TEST_F(VcmCtrlTest, ReadSourceDecidesBetweenCacheAndDrive)
{
    struct Case { int source; bool live, fromDrive; };
    const Case cases[] = {{kReadThroughCache, true, false}, {kReadPoll, true, true},
                          {kReadPoll, false, false}, {kReadFromDrive, false, true}};
    for (const Case& c : cases) {
        Cache(12, 1);
        Drive().SetValue(12, 2);
        VariableInfo v = Combo(12);
        v.live = c.live;
        CVcmCombo combo(&v);
        combo.Create(kShown, kRect, &m_page, 3000);
        ASSERT_TRUE(combo.ReadValue(c.source));
        EXPECT_EQ(combo.GetEnteredValue(), c.fromDrive ? 2 : 1) << c.source << c.live;
        EXPECT_EQ(CachedValue(12), c.fromDrive ? 2 : 1);
    }
    VariableInfo v = Combo(12);
    EXPECT_FALSE(CVcmCombo(&v).ReadValue(3));
}

TEST_F(VcmCtrlTest, WriteKeepsTheCacheAndDisplayWithTheDrive)
{
    VariableInfo v = Combo(12);
    CVcmCombo combo(&v);
    combo.Create(kShown, kRect, &m_page, 3000);
    ASSERT_TRUE(combo.WriteValue(2));
    EXPECT_EQ(Wire(), (Lines{"MA12", "MD2"}));
    EXPECT_EQ(CachedValue(12), 2);
    EXPECT_EQ(combo.currentIndex(), 1);

    RefuseNextWrite(12, 5);
    EXPECT_FALSE(combo.WriteValue(1));
    EXPECT_EQ(CachedValue(12), 2);
    EXPECT_EQ(combo.currentIndex(), 1);
}

TEST_F(VcmCtrlTest, ReadOnlyRecordIsNeverWritten)
{
    VariableInfo combo = Combo(12), bits = Variable(kVcmKindSwitch, 10),
                 button = Variable(kVcmKindButton, 0), edit = Variable(kVcmKindEdit, 40);
    button.options.push_back(OptionInfo{"Clear", "CA", 0, "", 0, 0});
    for (VariableInfo* v : {&combo, &bits, &button, &edit})
        v->readOnly = true;
    CVcmCombo c(&combo);
    CVcmSwitch s(&bits);
    CVcmButton b(&button);
    CVcmEdit e(&edit);
    c.Create(kShown, kRect, &m_page, 3000);
    s.Create("", kShown, kRect, &m_page, 3001);
    b.Create("Clear", kShown, kRect, &m_page, 3002);
    e.Create(kShown, kRect, &m_page, 3003);
    EXPECT_FALSE(c.isEnabled() || s.isEnabled() || b.isEnabled());
    EXPECT_TRUE(e.isReadOnly());
    EXPECT_FALSE(c.WriteValue(1) || s.WriteValue(1) || e.WriteValue(1));
    b.setEnabled(true);  // even a button something enabled sends nothing
    b.click();
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmCtrlTest, ConditionsHideAndShowTheRowLabel)
{
    VariableInfo v = Combo(12);
    v.conditions[0] = Condition(30, 1, 1, 4);
    CVcmCombo combo(&v);
    QLabel label("Row", &m_page);
    combo.m_pLabel = &label;
    combo.Create(kShown, kRect, &m_page, 3000);
    for (int32_t hide : {1, 0}) {
        Cache(30, hide);
        combo.UpdateControlStyle();
        EXPECT_EQ(combo.isHidden(), hide == 1);
        EXPECT_EQ(label.isHidden(), hide == 1);
    }
    // The page goes between widget and control part both ways.
    EXPECT_EQ(CVcmCtrl::FromWindow(&combo), static_cast<CVcmCtrl*>(&combo));
    EXPECT_EQ(CVcmCtrl::FromWindow(&label), nullptr);
    EXPECT_EQ(static_cast<CVcmCtrl&>(combo).Window(), &combo);
}

}  // namespace
}  // namespace controltest
