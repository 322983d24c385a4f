#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "tools/drivesim/SimulatedDrive.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kCom = 1;
constexpr int kAnswerMs = 15000;

// The test build of the program, driven through its automation hook.
class AutomatedProgram {
public:
    explicit AutomatedProgram(const std::string& comPath)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARVIX_COM%1").arg(kCom), QString::fromStdString(comPath));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Arguments are ignored, also those the toolkit would take as its own.
        m_process.start(QStringLiteral(TARVIX_AUTOMATED_EXE),
                        {QStringLiteral("-platform"), QStringLiteral("none"),
                         QStringLiteral("-reverse"), QStringLiteral("script.txt")});
        EXPECT_TRUE(m_process.waitForStarted(kAnswerMs));
    }
    ~AutomatedProgram()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kAnswerMs);
        }
    }

    std::string Ask(const std::string& line)
    {
        m_process.write((line + "\n").c_str());
        m_process.waitForBytesWritten(kAnswerMs);
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < kAnswerMs)
            m_process.waitForReadyRead(100);
        return QString::fromUtf8(m_process.readLine()).trimmed().toStdString();
    }

    // Asks until the answer is `want` or the time is up; the last answer.
    std::string AskUntil(const std::string& line, const std::string& want)
    {
        QElapsedTimer clock;
        clock.start();
        std::string answer;
        while ((answer = Ask(line)) != want && clock.elapsed() < kAnswerMs)
            QThread::msleep(50);
        return answer;
    }

    bool Finished(int& exitCode)
    {
        if (!m_process.waitForFinished(kAnswerMs))
            return false;
        exitCode = m_process.exitCode();
        return m_process.exitStatus() == QProcess::NormalExit;
    }

private:
    QProcess m_process;
};

// The written value when the lines hold "MA<p>" directly followed by "MD<v>".
bool FindWrite(const std::vector<std::string>& lines, int& param, long& value)
{
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string& ma = lines[i];
        const std::string& md = lines[i + 1];
        if (ma.rfind("MA", 0) == 0 && md.rfind("MD", 0) == 0 && md.size() > 2) {
            param = std::atoi(ma.c_str() + 2);
            value = std::atol(md.c_str() + 2);
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(WholeProgramTest, ConnectChangeAValueAndTheDriveHasIt)
{
    SimulatedDrive drive;
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(kSampleBipolarVersion, profile, error)) << error;
    drive.ApplyProfile(profile);
    ASSERT_TRUE(drive.Start());

    // Without a "Connection.ini" beside it the program offers COM1 at 19200.
    const fs::path ini = fs::path(TARVIX_AUTOMATED_EXE).parent_path() / "Connection.ini";
    fs::remove(ini);

    AutomatedProgram program(drive.SlavePath());
    ASSERT_EQ(program.Ask("wait mainFrame"), "ok");
    ASSERT_EQ(program.Ask("trigger actionConnect"), "ok");
    ASSERT_EQ(program.Ask("wait connectDlg"), "ok");
    ASSERT_EQ(program.Ask("click connect"), "ok");
    ASSERT_EQ(program.AskUntil("text versionText", kSampleBipolarVersion), kSampleBipolarVersion);
    EXPECT_EQ(drive.GetLineRate(), 19200);

    const std::string edit = program.Ask("editable");
    ASSERT_EQ(edit.rfind("error", 0), std::string::npos) << edit;
    drive.ClearRecord();
    ASSERT_EQ(program.Ask("type " + edit + " 7"), "ok");
    int param = -1;
    long value = 0;
    QElapsedTimer clock;
    clock.start();
    while (!FindWrite(drive.ReceivedLines(), param, value) && clock.elapsed() < kAnswerMs)
        QThread::msleep(20);
    ASSERT_GE(param, 0) << "no write reached the drive";
    EXPECT_EQ(drive.GetValue(static_cast<uint16_t>(param)), value);
    EXPECT_EQ(program.Ask("grab " TARVIX_BUILD_DIR "/e2e-main.png"), "ok");

    ASSERT_EQ(program.Ask("close"), "ok");
    int exitCode = -1;
    ASSERT_TRUE(program.Finished(exitCode));
    EXPECT_EQ(exitCode, 0);
    // Closing at 19200 set the drive back to 9600.
    EXPECT_EQ(drive.GetLineRate(), 9600);
    drive.Stop();
    fs::remove(ini);
}

// The box after a save comes up painted: the screen shows it as it is drawn.
TEST(WholeProgramTest, SaveResultBoxIsOnScreenAtOnce)
{
    SimulatedDrive drive;
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(kSampleBipolarVersion, profile, error)) << error;
    drive.ApplyProfile(profile);
    ASSERT_TRUE(drive.Start());
    const fs::path ini = fs::path(TARVIX_AUTOMATED_EXE).parent_path() / "Connection.ini";
    fs::remove(ini);

    AutomatedProgram program(drive.SlavePath());
    ASSERT_EQ(program.Ask("wait mainFrame"), "ok");
    ASSERT_EQ(program.Ask("trigger actionConnect"), "ok");
    ASSERT_EQ(program.Ask("wait connectDlg"), "ok");
    ASSERT_EQ(program.Ask("click connect"), "ok");
    ASSERT_EQ(program.AskUntil("text versionText", kSampleBipolarVersion), kSampleBipolarVersion);

    ASSERT_EQ(program.Ask("trigger actionSaveToEeprom"), "ok");
    ASSERT_EQ(program.Ask("wait messageBox"), "ok");
    EXPECT_EQ(program.Ask("onscreen messageBox " TARVIX_BUILD_DIR "/e2e-save-result-box.png"), "ok");
    ASSERT_EQ(program.Ask("accept messageBox"), "ok");

    ASSERT_EQ(program.Ask("close"), "ok");
    int exitCode = -1;
    ASSERT_TRUE(program.Finished(exitCode));
    drive.Stop();
    fs::remove(ini);
}

int main(int argc, char** argv)
{
    // A private runtime folder for the program (its exchange lock and Qt's own).
    std::string runtime = (fs::temp_directory_path() / "tarvix-e2e-XXXXXX").string();
    if (char* dir = mkdtemp(runtime.data()))
        setenv("XDG_RUNTIME_DIR", dir, 1);
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
