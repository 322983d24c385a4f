#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "tests/support/SimulatedDriveOnCom.h"

class CViewSetting;

// A small top-level window in place of the main frame: 440 pixels wide, the
// view filling it, registered as the main window. It relays the busy, resume
// and re-read messages to the view as the frame does.
class ViewHost : public QWidget {
public:
    explicit ViewHost(int height = 600);
    ~ViewHost() override;
    CViewSetting* View() const { return m_pView; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CViewSetting* m_pView;
};

// A simulated drive of a sample version, connected through the master with all
// parameters read into the cache and the error boxes off, as after a connect;
// the port is closed again when the object goes.
class ConnectedDrive {
public:
    explicit ConnectedDrive(const std::string& versionText);
    ~ConnectedDrive();
    ConnectedDrive(const ConnectedDrive&) = delete;
    ConnectedDrive& operator=(const ConnectedDrive&) = delete;

    SimulatedDrive& Drive() { return m_sim.Drive(); }
    std::vector<std::string> Lines() { return m_sim->ReceivedLines(); }
    void ClearLines() { m_sim->ClearRecord(); }

private:
    SimulatedDriveOnCom m_sim;
};

// Fires an armed single-shot QTimer now, as its interval running out would.
void FireTimer(QObject* timer);
// Runs posted events, also those their handlers post.
void RunPostedEvents();
// The parameters read with a bare "MD" in a wire record, by the address the
// "MA" before set, advancing after each "MD".
std::vector<int> ReadParameters(const std::vector<std::string>& lines);
