// The program against a bare client on the same simulated drive.
//
// The drive runs as a process of its own (drivesim beside this program), one
// instance per case for both clients. A bare client (termios and poll, nothing
// else) and the program take turns at the same command sequence, at least
// five pairs per case. Printed per case: min / median / max of program/bare
// and, where the drive paces its bytes, of program/wire (the wire time of the
// bytes exchanged at the line rate).
//
// Cases: ReadAllParameters unpaced and paced at 115200; paced at 9600 on a
// drive version whose every read succeeds; ExecuteScriptFile paced at 115200;
// and with --rate BPS a paced read at any rate of the baud table.
//
// With a display (run it under xvfb-run -a; the xcb platform is taken unless
// QT_QPA_PLATFORM says otherwise) the cases that the user waits for follow, the
// program's windows on screen: ReadAllParameters behind a real progress window
// over the main window, paced at 115200 and 9600; the test-array read behind
// one at 115200; the page's graph button from its click to the graph window's
// first frame with the data, at 115200, printed also as program - wire; and
// the connect command from the master's Connect to the page shown (its first
// paint after the build), paced at 115200 and 9600. The bare client replays
// exactly the lines that the program sent. Last, the platform's own share of
// a graph window: an empty OpenGL window's first frame.
//
// Exits 1 when a case's median program/bare ratio is above 1.10 (for the
// graph button: its median program - wire above 100 ms), 2 on bad options,
// 3 when a run fails.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SerialPort.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"

#ifdef TARVIX_BENCH_GUI
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "app/MainFrame.h"
#include "bench/PaintWatch.h"
#include "graphwin/GraphCtrlDlg.h"
#include "graphwin/GraphDlg.h"
#include "graphwin/PlotSurface.h"
#include "pages/VcmButton.h"
#include "pages/ViewSetting.h"
#include "tools/drivesim/SimulatedDrive.h"
#include "ui/ProgressDlg.h"
#endif

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRatioLimit = 1.10;
// The graph button's case: at most this much longer than its wire time.
constexpr double kClickToPlotLimitMs = 100;
constexpr int kMinPairs = 7;
constexpr uint8_t kComNumber = 240;
constexpr int kExchangeTimeoutMs = 5000;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

int BaudCodeOf(int rate)
{
    for (int code = 0; code < kBaudRateCount; ++code)
        if (kBaudRateTable[code] == rate)
            return code;
    return -1;
}

// One drivesim process serving one drive version on a pseudo-terminal.
class DriveProcess {
public:
    ~DriveProcess() { Stop(); }

    bool Start(const std::string& versionText, int rate, bool paced)
    {
        int out[2];
        if (::pipe(out) != 0)
            return false;
        const std::string program = host::ProgramFilePath("drivesim");
        const std::string rateText = std::to_string(rate);
        std::vector<const char*> args = {program.c_str(), "--drive", versionText.c_str(),
                                         "--rate", rateText.c_str()};
        if (paced)
            args.push_back("--pace");
        args.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawn(&m_pid, program.c_str(), &actions, nullptr,
                                        const_cast<char* const*>(args.data()), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (spawned != 0) {
            m_pid = -1;
            ::close(out[0]);
            return false;
        }
        m_path = ReadFirstLine(out[0]);
        ::close(out[0]);
        return !m_path.empty();
    }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    const std::string& Path() const { return m_path; }

private:
    static std::string ReadFirstLine(int fd)
    {
        std::string line;
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kExchangeTimeoutMs) <= 0)
                return {};
            char c = 0;
            if (::read(fd, &c, 1) != 1)
                return {};
            if (c == '\n')
                return line;
            line += c;
        }
    }

    pid_t m_pid = -1;
    std::string m_path;
};

// termios and poll, nothing else: writes a line, waits for its echo and answer.
class BareClient {
public:
    ~BareClient() { Close(); }

    bool Open(const std::string& path, int rate)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0)
            return false;
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
        host::SetTerminalLineRate(m_fd, rate);
        ::tcflush(m_fd, TCIOFLUSH);
        m_bytes = 0;
        return true;
    }

    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool Exchange(const std::string& command)
    {
        const std::string line = command + "\r\n";
        if (::write(m_fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return false;
        m_bytes += line.size();
        int lineEnds = 0;
        char buffer[256];
        while (lineEnds < 2) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, kExchangeTimeoutMs) <= 0)
                return false;
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            m_bytes += static_cast<size_t>(n);
            lineEnds += static_cast<int>(std::count(buffer, buffer + n, '\n'));
        }
        return true;
    }

    // Bytes sent and received since Open.
    size_t Bytes() const { return m_bytes; }

private:
    int m_fd = -1;
    size_t m_bytes = 0;
};

// What one case measures: the program's run on a connected master, and the
// bare client's command lines for the same exchanges.
struct Case {
    std::string name;
    std::string versionText;
    int rate = 115200;
    bool paced = true;
    // Unpaced runs are short: the sequence goes several times per run.
    int repeat = 1;
    std::function<bool(CTarvixMaster&)> program;
    // Cases that time more than an operation of a connected master (the
    // connect itself) bring their own timing.
    std::function<std::optional<double>()> timeProgram;
    std::vector<std::string> bareCommands;
    // Held to program - wire (median) of at most this many milliseconds
    // instead of program/bare: the program does more than exchange lines.
    double excessLimitMs = 0;
};

struct Figures {
    double min = 0, median = 0, max = 0;
};

Figures Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

std::optional<double> TimeProgram(const Case& c)
{
    if (c.timeProgram)
        return c.timeProgram();
    CTarvixMaster master;
    if (master.Connect(kComNumber, BaudCodeOf(c.rate), false) != kConnectOk)
        return std::nullopt;
    const Clock::time_point t0 = Clock::now();
    bool ok = true;
    for (int i = 0; ok && i < c.repeat; ++i)
        ok = c.program(master);
    const double elapsed = Seconds(Clock::now() - t0);
    master.Close();
    if (!ok)
        return std::nullopt;
    return elapsed;
}

// The bare client's time, and the bytes its exchanges put on the wire.
std::optional<std::pair<double, size_t>> TimeBare(const Case& c, const std::string& path)
{
    BareClient bare;
    if (!bare.Open(path, c.rate))
        return std::nullopt;
    const Clock::time_point t0 = Clock::now();
    for (int i = 0; i < c.repeat; ++i) {
        for (const std::string& command : c.bareCommands) {
            if (!bare.Exchange(command))
                return std::nullopt;
        }
    }
    return std::make_pair(Seconds(Clock::now() - t0), bare.Bytes());
}

// Runs the pairs of one case; false when a run failed. within tells whether
// the case's median stayed within its line.
bool RunCase(const Case& c, int pairs, bool& within)
{
    DriveProcess drive;
    if (!drive.Start(c.versionText, c.rate, c.paced)) {
        std::printf("%s: drivesim did not start\n", c.name.c_str());
        return false;
    }
    setenv(("TARVIX_COM" + std::to_string(kComNumber)).c_str(), drive.Path().c_str(), 1);

    std::vector<double> programTimes, bareTimes, toBare, toWire, bareToWire, excess;
    double wire = 0;
    for (int pair = 0; pair < pairs; ++pair) {
        // Who goes first takes turns, so a drift favours neither.
        std::optional<double> program;
        std::optional<std::pair<double, size_t>> bare;
        if (pair % 2 == 0) {
            program = TimeProgram(c);
            bare = TimeBare(c, drive.Path());
        } else {
            bare = TimeBare(c, drive.Path());
            program = TimeProgram(c);
        }
        if (!program || !bare) {
            std::printf("%s: the %s run of pair %d failed\n", c.name.c_str(),
                        program ? "bare client's" : "program's", pair + 1);
            return false;
        }
        programTimes.push_back(*program);
        bareTimes.push_back(bare->first);
        toBare.push_back(*program / bare->first);
        // Both clients exchange the same lines, so the bytes are the same.
        wire = static_cast<double>(bare->second) * 10.0 / c.rate;
        toWire.push_back(*program / wire);
        bareToWire.push_back(bare->first / wire);
        excess.push_back((*program - wire) * 1000.0);
    }

    const Figures p = Summarise(programTimes), b = Summarise(bareTimes);
    const Figures r = Summarise(toBare), w = Summarise(toWire), bw = Summarise(bareToWire);
    std::printf("%s\n", c.name.c_str());
    std::printf("  %zu exchanges x %d, %d pairs; program %.4f / %.4f / %.4f s, bare %.4f / %.4f / "
                "%.4f s (min / median / max)\n",
                c.bareCommands.size(), c.repeat, pairs, p.min, p.median, p.max, b.min, b.median, b.max);
    const bool byRatio = c.excessLimitMs <= 0;
    within = !byRatio || r.median <= kRatioLimit;
    std::printf("  program/bare  %.3f / %.3f / %.3f%s\n", r.min, r.median, r.max,
                within ? "" : "  ABOVE 1.10");
    if (c.paced) {
        std::printf("  program/wire  %.3f / %.3f / %.3f\n", w.min, w.median, w.max);
        std::printf("  bare/wire     %.3f / %.3f / %.3f\n", bw.min, bw.median, bw.max);
        if (!byRatio) {
            const Figures e = Summarise(excess);
            within = e.median <= c.excessLimitMs;
            std::printf("  program-wire  %+.0f / %+.0f / %+.0f ms (wire %.0f ms)%s\n", e.min, e.median,
                        e.max, wire * 1000.0, within ? "" : "  ABOVE wire + limit");
        }
    } else {
        std::printf("  program/wire  - (unpaced: the drive answers at once)\n");
    }
    return true;
}

// ReadAllParameters: "MA0" once, then one "MD" per parameter.
Case ReadAllCase(const std::string& name, const DriveProfile& profile, int rate, bool paced)
{
    Case c;
    c.name = name;
    c.versionText = profile.versionText;
    c.rate = rate;
    c.paced = paced;
    c.repeat = paced ? 1 : 20;
    c.program = [](CTarvixMaster& master) { return master.ReadAllParameters(nullptr); };
    c.bareCommands.push_back("MA0");
    c.bareCommands.insert(c.bareCommands.end(), profile.values.size(), "MD");
    return c;
}

// ExecuteScriptFile of a script that loads the EEPROM, writes every writable
// parameter its present value and saves: "VR" for the version check, then
// its commands one exchange each.
Case ScriptCase(const DriveProfile& profile, const std::string& scriptPath)
{
    Case c;
    c.name = "ExecuteScriptFile, paced 115200 bit/s, " + profile.versionText;
    c.versionText = profile.versionText;
    c.rate = 115200;
    std::string script = "VR" + profile.versionText + "\r\nLP\r\n";
    c.bareCommands = {"VR", "LP"};
    for (size_t i = 0; i < profile.values.size(); ++i) {
        if (static_cast<int>(i) == profile.baudRateParam ||
            profile.readOnly.count(static_cast<uint16_t>(i)))
            continue;
        const std::string n = std::to_string(i), v = std::to_string(profile.values[i]);
        script += "MA\t" + n + "\tMD\t" + v + "\t// parameter " + n + "\r\n";
        c.bareCommands.push_back("MA" + n);
        c.bareCommands.push_back("MD" + v);
    }
    script += "SP\r\n";
    c.bareCommands.push_back("SP");
    if (FILE* file = std::fopen(scriptPath.c_str(), "wb")) {
        std::fwrite(script.data(), 1, script.size(), file);
        std::fclose(file);
    }
    c.program = [scriptPath](CTarvixMaster& master) {
        FILE* file = std::fopen(scriptPath.c_str(), "rb");
        if (!file)
            return false;
        const bool ok = master.ExecuteScriptFile(file, nullptr);
        std::fclose(file);
        return ok;
    };
    return c;
}

#ifdef TARVIX_BENCH_GUI

// A case against a drive of this version paced at this rate.
Case PacedCase(const std::string& what, const DriveProfile& profile, int rate)
{
    Case c;
    c.name = what + ", paced " + std::to_string(rate) + " bit/s, " + profile.versionText;
    c.versionText = profile.versionText;
    c.rate = rate;
    return c;
}

// The read of all parameters as the connect command makes it: behind a
// progress window over the main window.
Case ProgressReadAllCase(const DriveProfile& profile, int rate, QWidget* mainWindow)
{
    const std::string name = "ReadAllParameters behind a progress window, paced " +
                             std::to_string(rate) + " bit/s, " + profile.versionText;
    Case c = ReadAllCase(name, profile, rate, true);
    c.program = [mainWindow](CTarvixMaster& master) {
        CProgressDlg progress;
        progress.Create(mainWindow);
        return master.ReadAllParameters(&progress);
    };
    return c;
}

// The graph's read of a servo drive's test array behind a progress window:
// one "MA" to its start, then one "MD" per sample, a cancel check each.
Case ProgressTestArrayCase(const DriveProfile& profile, int rate, QWidget* mainWindow)
{
    Case c = PacedCase("ReadTestArray behind a progress window", profile, rate);
    const size_t samples = static_cast<size_t>(profile.testArrayLength);
    c.program = [mainWindow, samples](CTarvixMaster& master) {
        std::vector<int16_t> values(samples);
        CProgressDlg progress;
        progress.Create(mainWindow);
        return master.ReadTestArray(&progress, values.data(), values.size());
    };
    c.bareCommands.push_back("MA" + std::to_string(profile.testArrayStart));
    c.bareCommands.insert(c.bareCommands.end(), samples, "MD");
    return c;
}

// What the user waits for after pressing Connect in the dialog: the master's
// connect (directly at the rate), the read of all parameters behind a progress
// window, the page built and painted. The bare client replays the lines that
// the program sent in a run against a drive of this process.
Case ConnectCase(const DriveProfile& profile, int rate, CMainFrame* frame)
{
    Case c = PacedCase("Connect to the page shown", profile, rate);
    c.timeProgram = [frame, rate]() -> std::optional<double> {
        CTarvixMaster* master = GetTarvixMaster();
        CViewSetting* view = frame->GetView();
        PaintWatch watch(view);
        const Clock::time_point t0 = Clock::now();
        bool ok = master->Connect(kComNumber, BaudCodeOf(rate), false) == kConnectOk;
        if (ok) {
            CProgressDlg progress;
            progress.Create(frame);
            ok = master->ReadAllParameters(&progress);
        }
        watch.Reset();
        ok = ok && view->ShowConnectedDrive() && watch.WaitForPaint();
        const double elapsed = Seconds(Clock::now() - t0);
        view->ClearShownDrive();
        if (master->IsOpen())
            master->Close();
        QCoreApplication::processEvents();
        if (!ok)
            return std::nullopt;
        return elapsed;
    };

    SimulatedDrive recorder;
    recorder.ApplyProfile(profile);
    recorder.SetLineRate(rate);
    if (recorder.Start()) {
        const std::string variable = "TARVIX_COM" + std::to_string(kComNumber);
        setenv(variable.c_str(), recorder.SlavePath().c_str(), 1);
        if (c.timeProgram())
            c.bareCommands = recorder.ReceivedLines();
        recorder.Stop();
    }
    return c;
}

// The page's graph button on the shown page of a connected drive.
CVcmButton* GraphButton(CViewSetting* view)
{
    // The button format that records and shows the graph.
    constexpr int kGraphButtonFormat = 2;
    for (CVcmButton* button : view->findChildren<CVcmButton*>())
        if (button->GetFormat() == kGraphButtonFormat && button->isVisible())
            return button;
    return nullptr;
}

// Lets events run for a while: the page's re-read after the graph button's
// command, deferred until the test array is in, runs here.
void RunEventsFor(std::chrono::milliseconds duration)
{
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// What the user waits for after clicking the page's graph button: its command
// ("TR"), the graph window opened by the main frame, the test array read
// behind a progress window, until the window's first frame with the data is
// on the screen. The drive is connected and its page shown beforehand,
// untimed. The bare client makes the same exchanges: the command, then the
// test array's "MA" and one "MD" per sample.
Case ClickToPlotCase(const DriveProfile& profile, int rate, CMainFrame* frame)
{
    Case c = PacedCase("Graph button to the plot drawn", profile, rate);
    c.timeProgram = [frame, rate]() -> std::optional<double> {
        CTarvixMaster* master = GetTarvixMaster();
        CViewSetting* view = frame->GetView();
        bool ok = master->Connect(kComNumber, BaudCodeOf(rate), false) == kConnectOk &&
                  master->ReadAllParameters(nullptr);
        PaintWatch page(view);
        ok = ok && view->ShowConnectedDrive() && page.WaitForPaint();
        RunEventsFor(std::chrono::milliseconds(100));
        CVcmButton* button = ok ? GraphButton(view) : nullptr;
        std::optional<double> elapsed;
        if (button) {
            bool drawn = false;
            const Clock::time_point t0 = Clock::now();
            Clock::time_point t1 = t0;
            button->click();
            auto* graph = frame->findChild<CGraphDlg*>();
            CGraphCtrlDlg* plot = graph ? graph->findChild<CGraphCtrlDlg*>() : nullptr;
            CPlotSurface* surface = plot ? plot->GetSurface() : nullptr;
            if (surface) {
                // The first frame on the screen that shows the samples.
                QObject::connect(surface, &QOpenGLWidget::frameSwapped, surface, [&] {
                    if (!drawn && plot->GetGraph().Samples().SampleCount() > 0) {
                        drawn = true;
                        t1 = Clock::now();
                    }
                });
                const Clock::time_point deadline = t0 + std::chrono::seconds(10);
                while (!drawn && graph->isVisible() && Clock::now() < deadline)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            }
            if (drawn)
                elapsed = Seconds(t1 - t0);
            RunEventsFor(std::chrono::milliseconds(300));
            delete graph;
        }
        view->ClearShownDrive();
        if (master->IsOpen())
            master->Close();
        QCoreApplication::processEvents();
        return elapsed;
    };
    c.excessLimitMs = kClickToPlotLimitMs;
    c.bareCommands.push_back("TR");
    c.bareCommands.push_back("MA" + std::to_string(profile.testArrayStart));
    c.bareCommands.insert(c.bareCommands.end(), static_cast<size_t>(profile.testArrayLength), "MD");
    return c;
}

// The platform's own share of the graph window's first frame: a dialog of the
// graph window's size whose OpenGL widget only clears, from show() to its
// first frame on the screen. A new window makes a new OpenGL context each
// time, so no graph window opens faster than this.
void PrintOpenGLWindowReference(int runs)
{
    // About the graph window's size on a display of 96 dots per inch.
    const QSize kGraphWindowSize(640, 500);
    class ClearingSurface : public QOpenGLWidget {
    public:
        using QOpenGLWidget::QOpenGLWidget;

    protected:
        void paintGL() override
        {
            context()->functions()->glClearColor(1, 1, 1, 1);
            context()->functions()->glClear(GL_COLOR_BUFFER_BIT);
        }
    };
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QDialog window;
        window.resize(kGraphWindowSize);
        auto* layout = new QVBoxLayout(&window);
        auto* surface = new ClearingSurface(&window);
        layout->addWidget(surface, 1);
        layout->addWidget(new QPushButton(QStringLiteral("Close"), &window));
        bool swapped = false;
        QObject::connect(surface, &QOpenGLWidget::frameSwapped, surface, [&] { swapped = true; });
        const Clock::time_point t0 = Clock::now();
        window.show();
        const Clock::time_point deadline = t0 + std::chrono::seconds(10);
        while (!swapped && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        if (swapped)
            times.push_back(Seconds(Clock::now() - t0) * 1000.0);
        window.hide();
        QCoreApplication::processEvents();
    }
    if (times.empty()) {
        std::printf("An empty OpenGL window: no frame\n");
        return;
    }
    const Figures f = Summarise(times);
    std::printf("An empty OpenGL window of the graph window's size, show() to its first frame "
                "(the platform's share)\n  %.0f / %.0f / %.0f ms (min / median / max), %zu runs\n",
                f.min, f.median, f.max, times.size());
}

#endif  // TARVIX_BENCH_GUI

bool EveryReadSucceeds(const DriveProfile& profile)
{
    return std::none_of(profile.values.begin(), profile.values.end(),
                        [](int32_t v) { return v == kReadFailed; });
}

void Usage()
{
    std::fprintf(stderr, "usage: ReadAllParametersBench [--pairs N (%d or more)] [--rate BPS] "
                         "[--windows-only]\n"
                         "  --rate BPS      adds a paced read at BPS, one of the baud table:",
                 kMinPairs);
    for (int rate : kBaudRateTable)
        std::fprintf(stderr, " %d", rate);
    std::fprintf(stderr,
                 "\n  --windows-only  only the cases with the program's windows on screen\n");
}

}  // namespace

int main(int argc, char** argv)
{
    int pairs = kMinPairs;
    int extraRate = 0;
    bool windowsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--pairs" && i + 1 < argc) {
            pairs = std::atoi(argv[++i]);
        } else if (option == "--rate" && i + 1 < argc) {
            extraRate = std::atoi(argv[++i]);
        } else if (option == "--windows-only") {
            windowsOnly = true;
        } else {
            Usage();
            return 2;
        }
    }
    if (pairs < kMinPairs || (extraRate != 0 && BaudCodeOf(extraRate) < 0)) {
        Usage();
        return 2;
    }

    // Nothing here should fail; if it does, no box may wait for a user.
    host::SetMessageBoxHandler([](const std::string& text, const std::string&, unsigned) {
        std::printf("unexpected box: %s\n", text.c_str());
        return host::IDNO;
    });

    // The largest and the smallest version of the sample database whose
    // every parameter reads (a value of 65535 reads as a failure).
    std::optional<DriveProfile> largest, smallest, bipolar, testArray;
    for (const char* version : kSampleVersions) {
        DriveProfile profile;
        std::string error;
        if (!LoadDriveProfile(version, profile, error)) {
            std::printf("no profile for %s: %s\n", version, error.c_str());
            return 3;
        }
        if (std::string(version) == kSampleBipolarVersion)
            bipolar = profile;
        if (profile.testArrayLength > 0)
            testArray = profile;
        if (!EveryReadSucceeds(profile))
            continue;
        if (!largest || profile.values.size() > largest->values.size())
            largest = profile;
        if (!smallest || profile.values.size() < smallest->values.size())
            smallest = profile;
    }
    if (!largest || !bipolar) {
        std::printf("no sample drive version reads whole\n");
        return 3;
    }

    char scriptPath[] = "/tmp/tarvix-bench-XXXXXX";
    const int scriptFd = ::mkstemp(scriptPath);
    if (scriptFd < 0)
        return 3;
    ::close(scriptFd);

    std::vector<Case> cases;
    if (!windowsOnly) {
        cases = {
            ReadAllCase("ReadAllParameters, unpaced, " + largest->versionText, *largest, 115200,
                        false),
            ReadAllCase("ReadAllParameters, paced 115200 bit/s, " + largest->versionText,
                        *largest, 115200, true),
            ReadAllCase("ReadAllParameters, paced 9600 bit/s, " + smallest->versionText,
                        *smallest, 9600, true),
            ScriptCase(*bipolar, scriptPath),
        };
        if (extraRate != 0)
            cases.push_back(ReadAllCase("ReadAllParameters, paced " + std::to_string(extraRate) +
                                            " bit/s, " + smallest->versionText,
                                        *smallest, extraRate, true));
    }

#ifdef TARVIX_BENCH_GUI
    // The window cases need a display: xvfb-run -a gives one.
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::unique_ptr<QApplication> app;
    std::unique_ptr<CMainFrame> frame;
    if (std::getenv("QT_QPA_PLATFORM")) {
        app = std::make_unique<QApplication>(argc, argv);
        frame = std::make_unique<CMainFrame>();
        frame->show();
        PaintWatch shown(frame.get());
        shown.WaitForPaint();
        // As the program does once the page of a drive with a test array is up.
        CGraphCtrlDlg::PlatformHasOpenGL();
        std::printf("windows on the %s platform\n", qPrintable(QGuiApplication::platformName()));
        cases.push_back(ProgressReadAllCase(*largest, 115200, frame.get()));
        cases.push_back(ProgressReadAllCase(*smallest, 9600, frame.get()));
        if (testArray) {
            cases.push_back(ProgressTestArrayCase(*testArray, 115200, frame.get()));
            cases.push_back(ClickToPlotCase(*testArray, 115200, frame.get()));
        }
        cases.push_back(ConnectCase(*largest, 115200, frame.get()));
        cases.push_back(ConnectCase(*smallest, 9600, frame.get()));
    } else {
        std::printf("no display: the cases with windows need xvfb-run -a\n");
    }
#else
    std::printf("built without the GUI: no cases with windows\n");
#endif

    int result = 0;
    for (const Case& c : cases) {
        bool within = true;
        if (c.bareCommands.empty() || !RunCase(c, pairs, within)) {
            if (c.bareCommands.empty())
                std::printf("%s: no lines recorded\n", c.name.c_str());
            result = 3;
            break;
        }
        if (!within)
            result = std::max(result, 1);
    }
#ifdef TARVIX_BENCH_GUI
    if (result != 3 && app && testArray)
        PrintOpenGLWindowReference(pairs);
#endif
    ::unlink(scriptPath);
    std::printf("%s\n", result == 0   ? "every median within its line"
                        : result == 1 ? "a median above its line"
                                      : "a run failed");
    return result;
}
