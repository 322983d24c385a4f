#pragma once

// Shared by the control tests: the master connected to a simulated drive of
// the sample Bipolar 1.1 version, a page that records what the controls tell
// it, and a main window that records what they ask of the frame.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmMessages.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"

namespace controltest {

using Lines = std::vector<std::string>;

struct Message {
    int type;
    intptr_t wParam;
    intptr_t lParam;
    bool operator==(const Message&) const = default;
};

// Records every window message it gets.
class RecordingWindow : public QWidget {
public:
    std::vector<Message> messages;
    int keys = 0;  // key presses that reached this window
    std::vector<Message> Of(int type) const
    {
        std::vector<Message> found;
        for (const Message& m : messages) {
            if (m.type == type)
                found.push_back(m);
        }
        return found;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() > QEvent::User && e->type() < QEvent::User + 0x100) {
            auto* m = static_cast<CVcmMessage*>(e);
            messages.push_back({m->type(), m->wParam, m->lParam});
            return true;
        }
        return QWidget::event(e);
    }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

// Parameter numbers of the sample Bipolar 1.1 version used by the tests.
constexpr uint16_t kMotorNoParam = 20;
constexpr uint16_t kParameterCount = 128;

class ControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        DriveProfile profile;
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(kSampleBipolarVersion, profile, error)) << error;
        m_sim.Drive().ApplyProfile(profile);
        // A few numbers beyond the cached range, for conditions and writes there.
        m_sim.Drive().SetParameterCount(kParameterCount + 8);
        ASSERT_EQ(Master()->Connect(static_cast<uint8_t>(m_sim.Com()), kBaudCode9600, true),
                  kConnectOk);
        ASSERT_EQ(Master()->GetDriver()->GetParameterCount(), kParameterCount);
        Master()->SetShowErrorBox(false);
        Master()->InvalidateParameterCache();
        SetMainWnd(&m_main);
        m_page.resize(400, 300);
        m_page.show();
        m_sim.Drive().ClearRecord();
    }
    void TearDown() override
    {
        SetMainWnd(nullptr);
        Master()->Close();
    }

    static CTarvixMaster* Master() { return GetTarvixMaster(); }
    SimulatedDrive& Drive() { return m_sim.Drive(); }
    Lines Wire() const { return const_cast<SimulatedDriveOnCom&>(m_sim).Drive().ReceivedLines(); }
    void ClearWire() { m_sim.Drive().ClearRecord(); }
    int Default(uint16_t number) { return Master()->GetDriver()->GetDefaultValue(number); }
    // Puts a value into the cache as a read would.
    void Cache(uint16_t number, int32_t value)
    {
        ParamCacheEntry* entry = Master()->GetCacheEntry(number);
        ASSERT_NE(entry, nullptr);
        entry->value = value;
        entry->valid = 1;
    }
    bool Cached(uint16_t number)
    {
        ParamCacheEntry* entry = Master()->GetCacheEntry(number);
        return entry && entry->valid;
    }
    int ValidCount()
    {
        int valid = 0;
        for (uint16_t i = 0; i < kParameterCount; ++i)
            valid += Cached(i) ? 1 : 0;
        return valid;
    }
    // The drive refuses the next write of `number` by storing `stored` instead.
    void RefuseNextWrite(uint16_t number, int32_t stored)
    {
        auto once = std::make_shared<bool>(true);
        Drive().SetWriteHook([=](uint16_t address, int32_t& value) {
            if (address == number && *once) {
                value = stored;
                *once = false;
            }
        });
    }
    void FailNext(const std::string& command, int times = 1)
    {
        Drive().InjectFault(SimulatedDrive::Fault(SimulatedDrive::FaultKind::ErrorAnswer), times,
                            command);
    }

    ScriptedMessageBoxes m_boxes;
    SimulatedDriveOnCom m_sim{231};
    RecordingWindow m_main;
    RecordingWindow m_page;
};

// A descriptor of one page row.
inline VariableInfo Variable(int kind, uint16_t number, int format = 0)
{
    VariableInfo v;
    v.kind = kind;
    v.number = number;
    v.format = format;
    v.text = "Row " + std::to_string(number);
    return v;
}

inline VcmCondition Condition(uint16_t param, uint8_t op, int32_t reference, uint8_t effect)
{
    VcmCondition c;
    c.param = param;
    c.op = op;
    c.reference = reference;
    c.effect = effect;
    return c;
}

}  // namespace controltest
