#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "tests/support/SimulatedDriveOnCom.h"

class CViewSetting;

// A small top-level window in place of the main frame: 440 pixels wide, the
// view filling it, registered as the main window. It relays the busy, resume
// and re-read messages to the view as the frame does and counts what the
// controls asked of it.
class ViewHost : public QWidget {
public:
    explicit ViewHost(int height = 600);
    ~ViewHost() override;

    CViewSetting* View() const { return m_pView; }
    int ShowMotorListCount() const { return m_nMotorList; }
    int ShowGraphCount() const { return m_nGraph; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CViewSetting* m_pView;
    int m_nMotorList = 0;
    int m_nGraph = 0;
};

// A simulated drive of a sample version, connected through the master with all
// parameters read into the cache, as after a successful connect; disconnected
// again (port closed) when the object goes.
class ConnectedDrive {
public:
    explicit ConnectedDrive(const std::string& versionText);
    ~ConnectedDrive();
    ConnectedDrive(const ConnectedDrive&) = delete;
    ConnectedDrive& operator=(const ConnectedDrive&) = delete;

    bool Connected() const { return m_bConnected; }
    SimulatedDrive& Drive() { return m_sim.Drive(); }
    // Lines received since the last clear, without their line ends.
    std::vector<std::string> Lines() { return m_sim->ReceivedLines(); }
    void ClearLines() { m_sim->ClearRecord(); }

private:
    SimulatedDriveOnCom m_sim;
    bool m_bConnected = false;
};

// Fires a single-shot QTimer now, as its interval running out would.
void FireTimer(QObject* timer);
// Runs posted events (twice: handlers post further messages).
void RunPostedEvents();
// The numbers of the parameters read with "MD" in a wire record: the address
// set by the "MA" before it, advancing after each "MD".
std::vector<int> ReadParameters(const std::vector<std::string>& lines);
// A version text as a file-name part: the text before " (", blanks as '_'.
std::string VersionTag(const std::string& versionText);
