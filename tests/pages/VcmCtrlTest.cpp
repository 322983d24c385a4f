// The control base: conditions, the shared read and write through the cache.

#include <gtest/gtest.h>

#include <QLabel>

#include "pages/VcmCombo.h"
#include "pages/VcmEdit.h"
#include "tests/pages/ControlTestSupport.h"

namespace controltest {
namespace {

constexpr uint32_t kShown = WS_CHILD | WS_VISIBLE;
constexpr uint16_t kTested = 30;  // a parameter other rows' conditions test

class VcmCtrlTest : public ControlTest {
protected:
    VariableInfo Combo(uint16_t number, std::initializer_list<int32_t> values)
    {
        VariableInfo v = Variable(kVcmKindCombo, number);
        for (int32_t value : values) {
            OptionInfo o;
            o.value = value;
            o.text = "Item " + std::to_string(value);
            v.options.push_back(o);
        }
        return v;
    }
};

struct OperatorCase {
    uint8_t op;
    int32_t x;
    int32_t reference;
    bool holds;
};

TEST_F(VcmCtrlTest, EveryOperatorComparesAsSigned32Bit)
{
    const OperatorCase cases[] = {
        {1, 5, 5, true},   {1, 5, 6, false},  {2, 5, 5, true},  {2, 6, 5, false},
        {3, 5, 5, true},   {3, -1, 0, false}, {4, -2, -1, true}, {4, 5, 5, false},
        {5, 6, 5, true},   {5, 5, 5, false},  {6, 4, 5, true},  {6, 5, 5, false},
        {7, 6, 2, true},   {7, 4, 3, false},  {7, -1, 0, false}, {8, 5, 5, false},
        {200, 0, 0, false},
    };
    for (const OperatorCase& c : cases) {
        VariableInfo v = Variable(kVcmKindEdit, 40);
        v.conditions[0] = Condition(kTested, c.op, c.reference, 1);
        CVcmEdit edit(&v);
        Cache(kTested, c.x);
        EXPECT_EQ((edit.ApplyConditions(kShown) & WS_DISABLED) != 0, c.holds)
            << "op " << int(c.op) << " x " << c.x << " r " << c.reference;
    }
    EXPECT_TRUE(Wire().empty());  // every tested value came from the cache
}

struct EffectCase {
    const char* name;
    int kind;
    VcmCondition first;
    VcmCondition second;
    uint32_t style;
    uint32_t expected;
    bool readOnlyRecord = false;
};

TEST_F(VcmCtrlTest, EffectsSetAndClearTheirBitsByKind)
{
    Cache(30, 1);
    Cache(31, 0);
    const VcmCondition holds1 = Condition(30, 1, 1, 1), fails1 = Condition(31, 1, 1, 1);
    const VcmCondition holds2 = Condition(30, 1, 1, 2), fails2 = Condition(31, 1, 1, 2);
    const VcmCondition holds4 = Condition(30, 1, 1, 4), fails4 = Condition(31, 1, 1, 4);
    const EffectCase cases[] = {
        {"disable holds", kVcmKindEdit, holds1, {}, kShown, kShown | WS_DISABLED},
        {"disable fails clears", kVcmKindEdit, fails1, {}, kShown | WS_DISABLED, kShown},
        {"entries OR", kVcmKindEdit, fails1, holds1, kShown, kShown | WS_DISABLED},
        {"edit read-only", kVcmKindEdit, holds2, {}, kShown, kShown | ES_READONLY},
        {"edit read-only cleared", kVcmKindEdit, fails2, {}, kShown | ES_READONLY, kShown},
        {"combo read-only disables", kVcmKindCombo, holds2, {}, kShown, kShown | WS_DISABLED},
        {"read-only decides over disable", kVcmKindCombo, holds1, fails2, kShown, kShown},
        {"button read-only", kVcmKindButton, holds2, {}, kShown, kShown | WS_DISABLED},
        {"switch read-only", kVcmKindSwitch, holds2, {}, kShown, kShown | WS_DISABLED},
        {"header read-only", kVcmKindHeader, holds2, {}, kShown, kShown | WS_DISABLED},
        {"other kind untouched", 3, holds2, {}, kShown, kShown},
        {"hide", kVcmKindEdit, holds4, {}, kShown, WS_CHILD},
        {"show again", kVcmKindCombo, fails4, {}, WS_CHILD, kShown},
        {"unknown effect", kVcmKindEdit, Condition(30, 1, 1, 8), {}, kShown, kShown},
        {"first entry none", kVcmKindEdit, {}, holds1, kShown, kShown},
        {"read-only edit stays read-only", kVcmKindEdit, fails2, {}, kShown | ES_READONLY,
         kShown | ES_READONLY, true},
        {"read-only combo stays disabled", kVcmKindCombo, fails1, {}, kShown | WS_DISABLED,
         kShown | WS_DISABLED, true},
        {"read-only switch stays disabled", kVcmKindSwitch, fails2, {}, kShown | WS_DISABLED,
         kShown | WS_DISABLED, true},
    };
    for (const EffectCase& c : cases) {
        VariableInfo v = Variable(c.kind, 40);
        v.readOnly = c.readOnlyRecord;
        v.conditions[0] = c.first;
        v.conditions[1] = c.second;
        CVcmEdit control(&v);  // the kind comes from the descriptor
        EXPECT_EQ(control.ApplyConditions(c.style), c.expected) << c.name;
    }
}

TEST_F(VcmCtrlTest, FirstEntryWithoutOperatorReadsNothing)
{
    VariableInfo v = Variable(kVcmKindEdit, 40);
    v.conditions[1] = Condition(kTested, 1, 0, 1);
    CVcmEdit edit(&v);
    EXPECT_EQ(edit.ApplyConditions(kShown), kShown);
    EXPECT_TRUE(Wire().empty());
    EXPECT_FALSE(Cached(kTested));
    // Yet the row depends on it: a change of that parameter is passed to it.
    EXPECT_TRUE(edit.DependsOn(kTested));
    EXPECT_FALSE(edit.DependsOn(kTested + 1));
}

TEST_F(VcmCtrlTest, UnreadableTestedParameterCountsForNothing)
{
    VariableInfo v = Variable(kVcmKindEdit, 40);
    v.conditions[0] = Condition(kTested, 1, 0, 1);
    CVcmEdit edit(&v);
    FailNext("MD");
    EXPECT_EQ(edit.ApplyConditions(kShown | WS_DISABLED), kShown | WS_DISABLED);
    EXPECT_EQ(Wire(), (Lines{"MA30", "MD"}));
}

TEST_F(VcmCtrlTest, TestedParameterBeyondTheCountIsReadEveryTime)
{
    const uint16_t beyond = kParameterCount + 2;
    Drive().SetValue(beyond, 7);
    VariableInfo v = Variable(kVcmKindEdit, 40);
    v.conditions[0] = Condition(beyond, 1, 7, 4);
    CVcmEdit edit(&v);
    EXPECT_EQ(edit.ApplyConditions(kShown), WS_CHILD);
    EXPECT_EQ(edit.ApplyConditions(kShown), WS_CHILD);
    EXPECT_EQ(Wire(), (Lines{"MA130", "MD", "MA130", "MD"}));
}

TEST_F(VcmCtrlTest, TestedParameterIsReadOnceIntoTheCache)
{
    Drive().SetValue(kTested, 3);
    VariableInfo v = Variable(kVcmKindEdit, 40);
    v.conditions[0] = Condition(kTested, 5, 2, 1);
    CVcmEdit edit(&v);
    EXPECT_EQ(edit.ApplyConditions(kShown), kShown | WS_DISABLED);
    EXPECT_EQ(edit.ApplyConditions(kShown), kShown | WS_DISABLED);
    EXPECT_EQ(Wire(), (Lines{"MA30", "MD"}));
    EXPECT_TRUE(Cached(kTested));
}

struct SourceCase {
    const char* name;
    int source;
    bool live;
    bool readsDrive;
};

TEST_F(VcmCtrlTest, ReadSourceDecidesBetweenCacheAndDrive)
{
    const SourceCase cases[] = {
        {"built page, cached", kReadThroughCache, false, false},
        {"built page, live but cached", kReadThroughCache, true, false},
        {"poll of a live value", kReadPoll, true, true},
        {"poll of a set value", kReadPoll, false, false},
        {"re-read", kReadFromDrive, false, true},
    };
    for (const SourceCase& c : cases) {
        Cache(12, 1);
        Drive().SetValue(12, 2);
        ClearWire();
        VariableInfo v = Combo(12, {1, 2});
        v.live = c.live;
        CVcmCombo combo(&v);
        combo.Create(kShown | CBS_DROPDOWNLIST, QRect(0, 0, 100, 200), &m_page, 3000);
        ASSERT_TRUE(combo.ReadValue(c.source)) << c.name;
        EXPECT_EQ(combo.GetEnteredValue(), c.readsDrive ? 2 : 1) << c.name;
        EXPECT_EQ(!Wire().empty(), c.readsDrive) << c.name;
        if (c.readsDrive)
            EXPECT_EQ(Master()->GetCacheEntry(12)->value, 2) << c.name;
    }
}

TEST_F(VcmCtrlTest, UnknownSourceReadsNothing)
{
    VariableInfo v = Combo(12, {1, 2});
    CVcmCombo combo(&v);
    EXPECT_FALSE(combo.ReadValue(3));
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmCtrlTest, ConfirmedWriteFillsTheCacheEntry)
{
    VariableInfo v = Combo(12, {1, 2});
    CVcmCombo combo(&v);
    combo.Create(kShown | CBS_DROPDOWNLIST, QRect(0, 0, 100, 200), &m_page, 3000);
    ASSERT_TRUE(combo.WriteValue(2));
    EXPECT_EQ(Wire(), (Lines{"MA12", "MD2"}));
    ASSERT_TRUE(Cached(12));
    EXPECT_EQ(Master()->GetCacheEntry(12)->value, 2);
    EXPECT_EQ(combo.currentIndex(), 1);
}

TEST_F(VcmCtrlTest, RefusedWriteLeavesCacheAndDisplay)
{
    VariableInfo v = Combo(12, {1, 2, 5});
    CVcmCombo combo(&v);
    combo.Create(kShown | CBS_DROPDOWNLIST, QRect(0, 0, 100, 200), &m_page, 3000);
    combo.ShowValue(1);
    Cache(12, 1);
    RefuseNextWrite(12, 5);
    EXPECT_FALSE(combo.WriteValue(2));
    EXPECT_EQ(Master()->GetCacheEntry(12)->value, 1);
    EXPECT_EQ(combo.currentIndex(), 0);
}

TEST_F(VcmCtrlTest, WriteBeyondTheCountLeavesTheCacheAlone)
{
    const uint16_t beyond = kParameterCount + 1;
    VariableInfo v = Combo(beyond, {0, 4});
    CVcmCombo combo(&v);
    const int validBefore = ValidCount();
    ASSERT_TRUE(combo.WriteValue(4));
    EXPECT_EQ(Wire(), (Lines{"MA129", "MD4"}));
    EXPECT_EQ(ValidCount(), validBefore);
}

TEST_F(VcmCtrlTest, ReadOnlyRecordIsNeverWritten)
{
    VariableInfo v = Combo(12, {1, 2});
    v.readOnly = true;
    CVcmCombo combo(&v);
    EXPECT_FALSE(combo.WriteValue(2));
    EXPECT_TRUE(Wire().empty());
}

TEST_F(VcmCtrlTest, ConditionsHideAndShowTheRowLabel)
{
    VariableInfo v = Combo(12, {1, 2});
    v.conditions[0] = Condition(kTested, 1, 1, 4);
    CVcmCombo combo(&v);
    QLabel label("Row", &m_page);
    combo.m_pLabel = &label;
    combo.Create(kShown | CBS_DROPDOWNLIST, QRect(0, 0, 100, 200), &m_page, 3000);
    Cache(kTested, 1);
    combo.UpdateControlStyle();
    EXPECT_TRUE(combo.isHidden());
    EXPECT_TRUE(label.isHidden());
    Cache(kTested, 0);
    combo.UpdateControlStyle();
    EXPECT_FALSE(combo.isHidden());
    EXPECT_FALSE(label.isHidden());
}

TEST_F(VcmCtrlTest, PageFindsTheControlOfItsWidget)
{
    VariableInfo v = Combo(12, {1});
    CVcmCombo combo(&v);
    QLabel label("Row", &m_page);
    EXPECT_EQ(CVcmCtrl::FromWindow(&combo), static_cast<CVcmCtrl*>(&combo));
    EXPECT_EQ(CVcmCtrl::FromWindow(&label), nullptr);
    EXPECT_EQ(static_cast<CVcmCtrl&>(combo).Window(), &combo);
}

}  // namespace
}  // namespace controltest
