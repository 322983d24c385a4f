#pragma once

// Shared by the control tests: the master connected to a simulated drive of the
// sample Bipolar 1.1 version, a page and a main window that record the messages
// the controls send them.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/VcmMessages.h"

namespace controltest {

using Lines = std::vector<std::string>;

class RecordingWindow : public QWidget {
public:
    std::vector<std::pair<int, intptr_t>> messages;  // type, wParam
    int keys = 0;                                    // key presses that reached it
    int Count(int type) const
    {
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [type](auto& m) { return m.first == type; }));
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() <= QEvent::User || e->type() >= QEvent::User + 0x100)
            return QWidget::event(e);
        messages.push_back({e->type(), static_cast<CVcmMessage*>(e)->wParam});
        return true;
    }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

constexpr uint16_t kMotorNoParam = 20;  // of the sample Bipolar 1.1 version
constexpr uint16_t kParameterCount = 128;

class ControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        DriveProfile profile;
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(kSampleBipolarVersion, profile, error)) << error;
        Drive().ApplyProfile(profile);
        Drive().SetParameterCount(kParameterCount + 8);  // a few beyond the cached range
        ASSERT_EQ(Master()->Connect(static_cast<uint8_t>(m_sim.Com()), kBaudCode9600, true),
                  kConnectOk);
        Master()->SetShowErrorBox(false);
        Master()->InvalidateParameterCache();
        SetMainWnd(&m_main);
        m_page.resize(400, 300);
        m_page.show();
        Drive().ClearRecord();
    }
    void TearDown() override
    {
        SetMainWnd(nullptr);
        Master()->Close();
    }

    static CTarvixMaster* Master() { return GetTarvixMaster(); }
    SimulatedDrive& Drive() { return m_sim.Drive(); }
    Lines Wire() { return Drive().ReceivedLines(); }
    void ClearWire() { Drive().ClearRecord(); }
    void Cache(uint16_t number, int32_t value) { *Master()->GetCacheEntry(number) = {1, value}; }
    bool Cached(uint16_t number) { return Master()->GetCacheEntry(number)->valid; }
    int32_t CachedValue(uint16_t number) { return Master()->GetCacheEntry(number)->value; }
    // The drive stores `stored` instead of the next value written to `number`.
    void RefuseNextWrite(uint16_t number, int32_t stored)
    {
        auto once = std::make_shared<bool>(true);
        Drive().SetWriteHook([=](uint16_t address, int32_t& value) {
            if (address == number && std::exchange(*once, false))
                value = stored;
        });
    }
    void FailNext(const std::string& command)
    {
        Drive().InjectFault(SimulatedDrive::Fault(SimulatedDrive::FaultKind::ErrorAnswer), 1,
                            command);
    }

    ScriptedMessageBoxes m_boxes;
    SimulatedDriveOnCom m_sim{231};
    RecordingWindow m_main;
    RecordingWindow m_page;
};

inline VariableInfo Variable(int kind, uint16_t number, int format = 0)
{
    VariableInfo v;
    v.kind = kind;
    v.number = number;
    v.format = format;
    return v;
}

inline VcmCondition Condition(uint16_t param, uint8_t op, int32_t reference, uint8_t effect)
{
    return VcmCondition{param, op, reference, effect};
}

}  // namespace controltest
