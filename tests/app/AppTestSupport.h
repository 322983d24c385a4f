#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

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

// Runs action on the next modal window of type T once it is up (its exec()
// loop is running). Gives up, failing the test, after timeoutMs.
template <typename T>
void WhenModal(std::function<void(T*)> action, int timeoutMs = 10000)
{
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutMs] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window && clock->elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (window)
            action(window);
        else
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " came up";
    });
    timer->start(5);
}

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
