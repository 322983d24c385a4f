#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drive/TarvixMaster.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/DriveGate.h"

namespace {

constexpr unsigned kCom = 214;
using Gate = CDriveGate;

// Cancels the test-array read at its first look, after running the probe.
class ProbeProgress : public RecordingProgress {
public:
    explicit ProbeProgress(std::function<void()> probe) : m_probe(std::move(probe)) {}
    bool CheckCancel() override
    {
        m_probe();
        return true;
    }

private:
    std::function<void()> m_probe;
};

class DriveGateTest : public testing::Test {
protected:
    void TearDown() override { GetTarvixMaster()->Close(); }

    // Runs probe while the activity is under way, as it is in the program.
    void WhileUnderWay(Gate::Activity activity, const std::function<void()>& probe)
    {
        switch (activity) {
        case Gate::kBoxUp: {
            ScriptedMessageBoxes boxes;
            boxes.Answer(host::IDOK);
            boxes.WhileShown(probe);
            host::MessageBox("busy", host::MB_OK);
            break;
        }
        case Gate::kTestArrayRead: {
            ConnectServoDrive();
            ProbeProgress progress(probe);
            std::vector<int16_t> values(1 << 16);
            GetTarvixMaster()->ReadTestArray(&progress, values.data(), values.size());
            break;
        }
        case Gate::kPageLoop:
        case Gate::kCommand: {
            Gate::Scope scope(activity);
            probe();
            break;
        }
        case Gate::kNestedLoop: {
            // The program's own loop is the first level.
            QEventLoop outer, inner;
            QTimer::singleShot(0, [&] {
                QTimer::singleShot(0, [&] {
                    probe();
                    inner.quit();
                });
                inner.exec();
                outer.quit();
            });
            outer.exec();
            break;
        }
        }
    }

    void ConnectServoDrive()
    {
        if (GetTarvixMaster()->IsOpen())
            return;
        DriveProfile profile;
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(kSampleServoVersion, profile, error)) << error;
        m_sim->ApplyProfile(profile);
        ASSERT_EQ(GetTarvixMaster()->Connect(static_cast<uint8_t>(kCom), kBaudCode9600, true),
                  kConnectOk);
    }

    // A work that counts its runs.
    std::function<void()> Counting(int& runs)
    {
        return [&runs] { ++runs; };
    }

    static bool TickUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, 2000); }

    Gate& m_gate = Gate::Instance();
    QObject m_owner;
    SimulatedDriveOnCom m_sim{kCom};
};

// Each kind of work waits for its own activities and no others.
struct ActivityCase {
    const char* name;
    Gate::Activity activity;
    bool holdsOffExchange, holdsOffRowRemoval, holdsOffClose;
};

const ActivityCase kActivityCases[] = {
    {"BoxUp", Gate::kBoxUp, true, true, true},
    {"TestArrayRead", Gate::kTestArrayRead, true, false, true},
    {"PageLoop", Gate::kPageLoop, false, true, false},
    {"Command", Gate::kCommand, false, false, true},
    {"NestedLoop", Gate::kNestedLoop, false, false, true},
};

class GateActivityTest : public DriveGateTest, public testing::WithParamInterface<ActivityCase> {};

TEST_P(GateActivityTest, HoldsOffExactlyTheWorkThatWaitsForIt)
{
    const ActivityCase& c = GetParam();
    const struct {
        unsigned mask;
        bool heldOff;
    } kinds[] = {{Gate::kExchange, c.holdsOffExchange},
                 {Gate::kRowRemoval, c.holdsOffRowRemoval},
                 {Gate::kClose, c.holdsOffClose}};
    for (const auto& kind : kinds) {
        int runs = 0;
        int runsWhileUnderWay = -1;
        WhileUnderWay(c.activity, [&] {
            m_gate.RunWhenFree(&m_owner, kind.mask, Counting(runs));
            runsWhileUnderWay = runs;
        });
        EXPECT_EQ(runsWhileUnderWay, kind.heldOff ? 0 : 1) << "mask " << kind.mask;
        EXPECT_TRUE(TickUntil([&] { return runs == 1; })) << "mask " << kind.mask;
    }
}

INSTANTIATE_TEST_SUITE_P(Activities, GateActivityTest, testing::ValuesIn(kActivityCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriveGateTest, RequestsOfOneOwnerAndKindCoalesce)
{
    int first = 0, second = 0, otherKind = 0, otherOwner = 0;
    QObject owner2;
    WhileUnderWay(Gate::kBoxUp, [&] {
        m_gate.RunWhenFree(&m_owner, Gate::kExchange, Counting(first));
        m_gate.RunWhenFree(&m_owner, Gate::kClose, Counting(otherKind));
        m_gate.RunWhenFree(&owner2, Gate::kExchange, Counting(otherOwner));
        m_gate.RunWhenFree(&m_owner, Gate::kExchange, Counting(second));
    });
    ASSERT_TRUE(TickUntil([&] { return second + otherKind + otherOwner == 3; }));
    QTest::qWait(60);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(otherKind, 1);
    EXPECT_EQ(otherOwner, 1);
}

// Work run by a tick that asks again for work still waiting in that tick
// replaces it, as any request does.
TEST_F(DriveGateTest, ARequestFromWorkInATickReplacesWorkWaitingInIt)
{
    QObject owner2;
    int replaced = 0, replacement = 0, queuedAgain = 0;
    std::function<void()> again = [&] { ++queuedAgain; };
    WhileUnderWay(Gate::kPageLoop, [&] {
        m_gate.RunWhenFree(&m_owner, Gate::kRowRemoval, [&] {
            m_gate.RunWhenFree(&owner2, Gate::kRowRemoval, Counting(replacement));
            // Asked again while busy: waits for a later tick, once.
            Gate::Scope scope(Gate::kPageLoop);
            m_gate.RunWhenFree(&m_owner, Gate::kRowRemoval, again);
        });
        m_gate.RunWhenFree(&owner2, Gate::kRowRemoval, Counting(replaced));
    });
    ASSERT_TRUE(TickUntil([&] { return queuedAgain == 1; }));
    QTest::qWait(60);
    EXPECT_EQ(replacement, 1);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(queuedAgain, 1);
}

TEST_F(DriveGateTest, WorkGoesWithItsOwner)
{
    int dropped = 0, kept = 0;
    auto owner = std::make_unique<QObject>();
    WhileUnderWay(Gate::kCommand, [&] {
        m_gate.RunWhenFree(owner.get(), Gate::kClose, Counting(dropped));
        m_gate.RunWhenFree(&m_owner, Gate::kClose, Counting(kept));
        owner.reset();
    });
    ASSERT_TRUE(TickUntil([&] { return kept == 1; }));
    QTest::qWait(60);
    EXPECT_EQ(dropped, 0);
}

}  // namespace
