#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphwin/GraphCtrlDlg.h"
#include "graphwin/GraphDlg.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"

class QLineEdit;
class QPushButton;

// Runs action once, from inside the progress window's pumping while the test
// array is being read.
void DuringTheRead(std::function<void()> action);

// Stands in for the main window: records the busy messages it is sent and
// the clicks on a control of its own.
class MainWindowProbe : public QWidget {
public:
    MainWindowProbe();
    std::vector<int> busy;  // WM_POLL_STOP and WM_POLL_START, in order
    QPushButton* button;
    int clicks = 0;

protected:
    bool event(QEvent* e) override;
};

// A graph window over the master connected to the simulated servo drive.
class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Connects the master to the simulated drive playing this version.
    void ConnectTo(const std::string& version);
    // Opens a graph window, as the frame does, and waits for its load to end.
    void OpenGraph();
    CGraphCtrlDlg& Plot() { return *m_dlg->findChild<CGraphCtrlDlg*>(); }
    CFLineGraph& Graph() { return Plot().GetGraph(); }
    template <typename T = QWidget>
    T& Child(const char* name) { return *m_dlg->findChild<T*>(QString::fromLatin1(name)); }
    // One "MA" of the test array's start and one "MD" per value.
    static std::vector<std::string> TestArrayWire(size_t values);

    ScriptedMessageBoxes m_boxes;
    SimulatedDriveOnCom m_sim;
    MainWindowProbe m_main;
    std::unique_ptr<CGraphDlg> m_dlg;
};
