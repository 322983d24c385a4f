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
using Names = std::vector<std::string>;

// Runs the probe at the read's first look for a cancel, and cancels it.
struct ProbeProgress : RecordingProgress {
    std::function<void()> probe;
    bool CheckCancel() override
    {
        probe();
        return true;
    }
};

class DriveGateTest : public testing::Test {
protected:
    void TearDown() override { GetTarvixMaster()->Close(); }

    // Runs probe while the activity is under way, as it is in the program.
    void WhileUnderWay(Gate::Activity activity, const std::function<void()>& probe)
    {
        if (activity == Gate::kBoxUp) {
            ScriptedMessageBoxes boxes;
            boxes.Answer(host::IDOK);
            boxes.WhileShown(probe);
            host::MessageBox("busy", host::MB_OK);
        } else if (activity == Gate::kTestArrayRead) {
            DriveProfile profile;
            std::string error;
            ASSERT_TRUE(LoadDriveProfile(kSampleServoVersion, profile, error)) << error;
            m_sim->ApplyProfile(profile);
            ASSERT_EQ(GetTarvixMaster()->Connect(kCom, kBaudCode9600, true), kConnectOk);
            ProbeProgress progress;
            progress.probe = probe;
            std::vector<int16_t> values(1 << 16);
            GetTarvixMaster()->ReadTestArray(&progress, values.data(), values.size());
            GetTarvixMaster()->Close();
        } else if (activity == Gate::kNestedLoop) {
            QEventLoop outer, inner;  // the outer one stands for the program's own
            QTimer::singleShot(0, [&] {
                QTimer::singleShot(0, [&] {
                    probe();
                    inner.quit();
                });
                inner.exec();
                outer.quit();
            });
            outer.exec();
        } else {
            Gate::Scope scope(activity);
            probe();
        }
    }

    // Asks the gate for a work that records its name when it runs.
    void Request(QObject* owner, unsigned activities, const std::string& name,
                 std::function<void()> then = {})
    {
        m_gate.RunWhenFree(owner, activities, [this, name, then] {
            m_ran.push_back(name);
            if (then)
                then();
        });
    }

    // Lets the gate's ticks run until the works ran, and a few more.
    void ExpectRan(const Names& names)
    {
        static_cast<void>(QTest::qWaitFor([&] { return m_ran.size() >= names.size(); }, 2000));
        QTest::qWait(60);
        EXPECT_EQ(m_ran, names);
    }

    Gate& m_gate = Gate::Instance();
    QObject m_owner, m_other;
    Names m_ran;
    SimulatedDriveOnCom m_sim{kCom};
};

// Each activity holds off the kinds of work that wait for it, and no other.
struct ActivityCase {
    const char* name;
    Gate::Activity activity;
    bool holdsOff[3];  // exchange, row removal, close
};

class GateActivityTest : public DriveGateTest, public testing::WithParamInterface<ActivityCase> {};

TEST_P(GateActivityTest, HoldsOffExactlyTheWorkThatWaitsForIt)
{
    const unsigned kinds[] = {Gate::kExchange, Gate::kRowRemoval, Gate::kClose};
    for (int k = 0; k < 3; ++k) {
        m_ran.clear();
        Names ranAtOnce;
        WhileUnderWay(GetParam().activity, [&] {
            Request(&m_owner, kinds[k], "work");
            ranAtOnce = m_ran;
        });
        EXPECT_EQ(ranAtOnce.empty(), GetParam().holdsOff[k]) << "kind " << k;
        ExpectRan({"work"});
    }
}

const ActivityCase kActivityCases[] = {
    {"BoxUp", Gate::kBoxUp, {true, true, true}},
    {"TestArrayRead", Gate::kTestArrayRead, {true, false, true}},
    {"PageLoop", Gate::kPageLoop, {false, true, false}},
    {"Command", Gate::kCommand, {false, false, true}},
    {"NestedLoop", Gate::kNestedLoop, {false, false, true}},
};
INSTANTIATE_TEST_SUITE_P(Activities, GateActivityTest, testing::ValuesIn(kActivityCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriveGateTest, ARequestReplacesTheOneOfItsOwnerAndKind)
{
    WhileUnderWay(Gate::kBoxUp, [&] {
        Request(&m_owner, Gate::kExchange, "replaced");
        Request(&m_owner, Gate::kClose, "other kind");
        Request(&m_other, Gate::kExchange, "other owner");
        Request(&m_owner, Gate::kExchange, "replacement");
    });
    ExpectRan({"other kind", "other owner", "replacement"});
}

TEST_F(DriveGateTest, ARequestFromWorkInATickReplacesWorkWaitingInIt)
{
    WhileUnderWay(Gate::kPageLoop, [&] {
        Request(&m_owner, Gate::kRowRemoval, "first", [&] {
            Request(&m_other, Gate::kRowRemoval, "replacement");
            Gate::Scope busy(Gate::kPageLoop);
            Request(&m_owner, Gate::kRowRemoval, "next tick");
        });
        Request(&m_other, Gate::kRowRemoval, "replaced");
    });
    ExpectRan({"first", "replacement", "next tick"});
}

TEST_F(DriveGateTest, WorkGoesWithItsOwner)
{
    auto owner = std::make_unique<QObject>();
    WhileUnderWay(Gate::kCommand, [&] {
        Request(owner.get(), Gate::kClose, "dropped");
        Request(&m_owner, Gate::kClose, "kept");
        owner.reset();
    });
    ExpectRan({"kept"});
}

}  // namespace
