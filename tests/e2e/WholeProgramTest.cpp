#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdlib>
#include <filesystem>
#include <memory>
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

// The program started against the simulated bipolar drive. Without a
// "Connection.ini" beside it the program offers COM1 at 19200.
class WholeProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        DriveProfile profile;
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(kSampleBipolarVersion, profile, error)) << error;
        m_drive.ApplyProfile(profile);
        ASSERT_TRUE(m_drive.Start());
        fs::remove(m_ini);
        m_program = std::make_unique<AutomatedProgram>(m_drive.SlavePath());
        ASSERT_EQ(m_program->Ask("wait mainFrame"), "ok");
    }
    void TearDown() override
    {
        m_program.reset();
        m_drive.Stop();
        fs::remove(m_ini);
    }

    void Connect()
    {
        ASSERT_EQ(m_program->Ask("trigger actionConnect"), "ok");
        ASSERT_EQ(m_program->Ask("wait connectDlg"), "ok");
        ASSERT_EQ(m_program->Ask("click connect"), "ok");
        ASSERT_EQ(m_program->AskUntil("text versionText", kSampleBipolarVersion), kSampleBipolarVersion);
    }
    // Closes the program; its exit code.
    int Close()
    {
        EXPECT_EQ(m_program->Ask("close"), "ok");
        int exitCode = -1;
        EXPECT_TRUE(m_program->Finished(exitCode));
        return exitCode;
    }

    SimulatedDrive m_drive;
    const fs::path m_ini = fs::path(TARVIX_AUTOMATED_EXE).parent_path() / "Connection.ini";
    std::unique_ptr<AutomatedProgram> m_program;
};

}  // namespace

TEST_F(WholeProgramTest, ConnectChangeAValueAndTheDriveHasIt)
{
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_EQ(m_drive.GetLineRate(), 19200);

    const std::string edit = m_program->Ask("editable");
    ASSERT_EQ(edit.rfind("error", 0), std::string::npos) << edit;
    m_drive.ClearRecord();
    ASSERT_EQ(m_program->Ask("type " + edit + " 7"), "ok");
    int param = -1;
    long value = 0;
    QElapsedTimer clock;
    clock.start();
    while (!FindWrite(m_drive.ReceivedLines(), param, value) && clock.elapsed() < kAnswerMs)
        QThread::msleep(20);
    ASSERT_GE(param, 0) << "no write reached the drive";
    EXPECT_EQ(m_drive.GetValue(static_cast<uint16_t>(param)), value);
    EXPECT_EQ(m_program->Ask("grab " TARVIX_BUILD_DIR "/e2e-main.png"), "ok");

    EXPECT_EQ(Close(), 0);
    // Closing at 19200 set the drive back to 9600.
    EXPECT_EQ(m_drive.GetLineRate(), 9600);
}

// The box after a save comes up painted: the screen shows it as it is drawn.
TEST_F(WholeProgramTest, SaveResultBoxIsOnScreenAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_EQ(m_program->Ask("trigger actionSaveToEeprom"), "ok");
    ASSERT_EQ(m_program->Ask("wait messageBox"), "ok");
    EXPECT_EQ(m_program->Ask("onscreen messageBox " TARVIX_BUILD_DIR "/e2e-save-result-box.png"), "ok");
    ASSERT_EQ(m_program->Ask("accept messageBox"), "ok");
    EXPECT_EQ(Close(), 0);
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
