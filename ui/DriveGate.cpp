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
    m_waiting.push_back({owner, activities, std::move(work), m_nNextTicket++});
    m_pTimer->start();
}

void CDriveGate::OnTick()
{
    // Only what waited when the tick began runs in it. Work may queue, replace
    // or free other work, and a box it raises may run a tick of its own, so
    // the list is searched afresh after each run.
    const uint64_t endTicket = m_nNextTicket;
    for (;;) {
        m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                       [](const Waiting& w) { return !w.owner; }),
                        m_waiting.end());
        const auto due = std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Waiting& w) {
            return w.ticket < endTicket && !IsBusy(w.activities);
        });
        if (due == m_waiting.end())
            break;
        std::function<void()> work = std::move(due->work);
        m_waiting.erase(due);
        work();
    }
    if (!m_waiting.empty())
        m_pTimer->start();
}
