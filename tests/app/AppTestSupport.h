#pragma once

#include <QApplication>
#include <QObject>

#include <string>
#include <vector>

#include "tests/support/ModalWindows.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"
#include "tests/support/TempProgramFolder.h"

using Lines = std::vector<std::string>;
using Fault = SimulatedDrive::Fault;
using FaultKind = SimulatedDrive::FaultKind;

// A program folder of the test's own, holding a copy of the sample database.
class ProgramFolderWithData : public TempProgramFolder {
public:
    ProgramFolderWithData();
    std::string Read(const std::string& name) const;
    // "Connection.ini" with the port and rate the Connect dialog preselects.
    void StoreConnection(unsigned port, int rate) const;
};

// Presses Connect in the next Connect dialog.
void PressConnectWhenAsked();

// Answers the next file dialog with path (an empty path cancels it).
void AnswerFileDialog(const std::string& path);

// Records, in order, the busy, resume and re-read messages a window receives
// and the message boxes shown meanwhile ("stop", "start", "refresh 2",
// "box <text>").
class MessageLog : public QObject {
public:
    MessageLog(QObject* watched, ScriptedMessageBoxes& boxes);
    std::vector<std::string> entries;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The simulated drive plays a version of the sample database.
void PlaySampleDrive(SimulatedDriveOnCom& sim, const std::string& versionText);

// The whole content of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
