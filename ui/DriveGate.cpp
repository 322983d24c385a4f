#include "ui/DriveGate.h"

#include <QThread>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "drive/TarvixMaster.h"
#include "platform/MessageBox.h"

namespace {

// How soon waiting work looks again.
constexpr int kTickMs = 20;

}  // namespace

CDriveGate& CDriveGate::Instance()
{
    static CDriveGate* gate = new CDriveGate;  // lives as long as the program
    return *gate;
}

CDriveGate::CDriveGate()
{
    m_pTimer = new QTimer(this);
    m_pTimer->setSingleShot(true);
    m_pTimer->setInterval(kTickMs);
    connect(m_pTimer, &QTimer::timeout, this, &CDriveGate::OnTick);
}

bool CDriveGate::IsBusy(unsigned activities) const
{
    return ((activities & kBoxUp) && host::IsMessageBoxOpen()) ||
           ((activities & kTestArrayRead) && GetTarvixMaster()->IsReadingTestArray()) ||
           ((activities & kPageLoop) && m_nPageLoops > 0) ||
           ((activities & kCommand) && m_nCommands > 0) ||
           ((activities & kNestedLoop) && QThread::currentThread()->loopLevel() > 1);
}

CDriveGate::Scope::Scope(Activity activity) : m_activity(activity)
{
    CDriveGate& gate = Instance();
    ++(m_activity == kCommand ? gate.m_nCommands : gate.m_nPageLoops);
}

CDriveGate::Scope::~Scope()
{
    CDriveGate& gate = Instance();
    --(m_activity == kCommand ? gate.m_nCommands : gate.m_nPageLoops);
}

void CDriveGate::RunWhenFree(QObject* owner, unsigned activities, std::function<void()> work)
{
    const auto same = [owner, activities](const Waiting& w) {
        return w.owner == owner && w.activities == activities;
    };
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(), same), m_waiting.end());
    if (!IsBusy(activities)) {
        work();
        return;
    }
    m_waiting.push_back({owner, activities, std::move(work)});
    m_pTimer->start();
}

void CDriveGate::OnTick()
{
    // Work may queue more work, or free what other work waits for.
    std::vector<Waiting> due = std::exchange(m_waiting, {});
    for (Waiting& w : due) {
        const auto replaced = [&w](const Waiting& later) {
            return later.owner == w.owner && later.activities == w.activities;
        };
        if (!w.owner || std::any_of(m_waiting.begin(), m_waiting.end(), replaced))
            continue;
        if (IsBusy(w.activities))
            m_waiting.push_back(std::move(w));
        else
            w.work();
    }
    if (!m_waiting.empty())
        m_pTimer->start();
}
