#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graph/GraphCtrlDlg.h"
#include "graph/GraphDlg.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"

class CTarvixMaster;
class QLineEdit;
class QPushButton;

// Runs action once, from inside the progress window's pumping while the test
// array is being read.
void DuringTheRead(std::function<void()> action);

// Stands in for the main window: records the busy messages the plot window
// sends it and every close that reaches it.
class MainWindowProbe : public QWidget {
public:
    MainWindowProbe();

    std::vector<int> busy;  // WM_POLL_STOP and WM_POLL_START, in order
    int closes = 0;
    bool readingAtClose = false;
    QPushButton* button = nullptr;  // a control of the main window
    int buttonClicks = 0;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
};

// A graph window over the master connected to a simulated drive.
class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Connects the master to the simulated drive playing this version.
    void ConnectTo(const std::string& version);
    // Opens a graph window, as the frame does, and lets it load.
    CGraphDlg& OpenGraph();
    CGraphCtrlDlg& Plot();
    CFLineGraph& Graph() { return Plot().GetGraph(); }
    QLineEdit& Edit(const char* name);
    QPushButton& Button(const char* name);
    // Lines the drive received since the last clear.
    std::vector<std::string> Wire();
    // The one "MA" of the test array and one "MD" per value.
    std::vector<std::string> TestArrayWire(size_t values);
    // Fills the graph with one channel of samples (x, value).
    void FillGraph(const std::vector<std::pair<int32_t, int32_t>>& samples);

    ScriptedMessageBoxes m_boxes;
    SimulatedDriveOnCom m_sim;
    CTarvixMaster* m_master = nullptr;
    MainWindowProbe m_main;
    std::unique_ptr<CGraphDlg> m_dlg;
};
