#include "tests/app/AppTestSupport.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ConnectDlg.h"
#include "tools/drivesim/DriveProfile.h"
#include "ui/VcmMessages.h"

namespace fs = std::filesystem;

ProgramFolderWithData::ProgramFolderWithData()
{
    const fs::path from = QCoreApplication::applicationDirPath().toStdString();
    for (const char* name : {"VersionList.lua", "MotorTable.lua", "ErrorTable.lua", "db"})
        fs::copy(from / name, fs::path(Path()) / name, fs::copy_options::recursive);
}

std::string ProgramFolderWithData::Read(const std::string& name) const
{
    return ReadWholeFile(Path() + name);
}

void ProgramFolderWithData::StoreConnection(unsigned port, int rate) const
{
    Write("Connection.ini", "[COMM]\nPortNo=" + std::to_string(port) + "\nBaudrate=" +
                                std::to_string(rate) + "\n");
}

void PressConnectWhenAsked()
{
    WhenModal<CConnectDlg>(
        [](CConnectDlg* dlg) { dlg->findChild<QPushButton*>("connect")->click(); });
}

void AnswerFileDialog(const std::string& path)
{
    WhenModal<QFileDialog>([path](QFileDialog* dialog) {
        if (path.empty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

MessageLog::MessageLog(QObject* watched, ScriptedMessageBoxes& boxes)
{
    watched->installEventFilter(this);
    boxes.WhileShown([this, &boxes] { entries.push_back("box " + boxes.Shown().back().text); });
}

bool MessageLog::eventFilter(QObject*, QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_POLL_START: entries.push_back("start"); break;
    case WM_POLL_STOP: entries.push_back("stop"); break;
    case WM_VCM_REFRESH:
        entries.push_back("refresh " + std::to_string(static_cast<CVcmMessage*>(event)->wParam));
        break;
    default: break;
    }
    return false;
}

void PlaySampleDrive(SimulatedDriveOnCom& sim, const std::string& versionText)
{
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(versionText, profile, error)) << error;
    sim->ApplyProfile(profile);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}
