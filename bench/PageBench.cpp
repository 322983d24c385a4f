// The parameter page of the largest drive version of the sample database,
// against the simulated drive (unpaced) on a pseudo-terminal. With a display
// (xvfb-run -a) it paints on the xcb platform, otherwise offscreen.
//  1. Building the page (BuildForm, its combos' reads included) of the sample
//     version, and of a long page of its first section repeated to several
//     hundred rows, until it is shown: the first paint after the build
//     included (target below 150 ms).
//  2. One poll refresh of each page, and the same command lines sent directly
//     through the protocol: the difference is the page's own cost (target
//     below 5 ms).
// Every figure is the median of its runs.

#include <QApplication>
#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "bench/PaintWatch.h"
#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmCtrl.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "tools/drivesim/SimulatedDrive.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 9;
constexpr int kPollRuns = 25;
constexpr int kRepeat = 8;
constexpr uint8_t kCom = 231;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Measure(const char* name, const std::deque<VariableInfo>& records, SimulatedDrive& drive)
{
    CTarvixMaster* master = GetTarvixMaster();
    CFormParam page(nullptr);
    page.resize(424, 600);
    page.show();
    PaintWatch watch(&page);
    watch.WaitForPaint();
    watch.Reset();

    std::vector<double> builds, shown;
    size_t buildLines = 0;
    for (int run = 0; run < kRuns; ++run) {
        page.ClearControls();
        watch.WaitForPaint();
        watch.Reset();
        drive.ClearRecord();
        const auto start = Clock::now();
        page.BuildForm(records);
        builds.push_back(Ms(Clock::now() - start));
        watch.WaitForPaint();
        watch.Reset();
        shown.push_back(Ms(Clock::now() - start));
        buildLines = drive.ReceivedLines().size();
    }
    page.OnRefresh(kReadThroughCache);

    std::vector<double> polls, directs;
    size_t pollLines = 0;
    for (int run = 0; run < kPollRuns; ++run) {
        drive.ClearRecord();
        auto start = Clock::now();
        page.OnRefresh(kReadPoll);
        polls.push_back(Ms(Clock::now() - start));
        const std::vector<std::string> lines = drive.ReceivedLines();
        pollLines = lines.size();

        // The same command lines, each a full exchange, without the page.
        master->ForgetCurrentAddress();
        start = Clock::now();
        for (const std::string& line : lines)
            master->SendCommand(line.c_str());
        directs.push_back(Ms(Clock::now() - start));
        master->ForgetCurrentAddress();
    }
    const double poll = Median(polls), direct = Median(directs);

    std::printf("%s: %zu records, %zu edits, %zu combos, %zu switches\n", name, records.size(),
                page.GetEdits().size(), page.GetCombos().size(), page.GetSwitches().size());
    std::printf("  build:  %.2f ms, until shown %.2f ms (medians of %d, %zu command lines on the "
                "wire)\n",
                Median(builds), Median(shown), kRuns, buildLines);
    std::printf("  poll:   %.2f ms (median of %d, %zu command lines)\n", poll, kPollRuns,
                pollLines);
    std::printf("  the same lines sent alone: %.2f ms; the page's own cost: %.2f ms\n", direct,
                poll - direct);
    page.ClearControls();
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", std::getenv("DISPLAY") ? "xcb" : "offscreen", 1);
    QApplication app(argc, argv);
    std::printf("painting on the %s platform\n", qPrintable(QGuiApplication::platformName()));

    DriveProfile profile;
    std::string error;
    if (!LoadDriveProfile(kSampleServoVersion, profile, error)) {
        std::fprintf(stderr, "no profile: %s\n", error.c_str());
        return 1;
    }
    SimulatedDrive drive;
    drive.ApplyProfile(profile);
    if (!drive.Start()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    setenv(("TARVIX_COM" + std::to_string(kCom)).c_str(), drive.SlavePath().c_str(), 1);

    CTarvixMaster* master = GetTarvixMaster();
    if (master->Connect(kCom, kBaudCode9600, true) != kConnectOk ||
        !master->ReadAllParameters(nullptr)) {
        std::fprintf(stderr, "connect failed\n");
        return 1;
    }
    master->SetShowErrorBox(false);

    const std::deque<VariableInfo>& sample = master->GetDriver()->GetFirstSectionVariables();
    std::deque<VariableInfo> longPage;
    for (int i = 0; i < kRepeat; ++i)
        longPage.insert(longPage.end(), sample.begin(), sample.end());

    Measure(kSampleServoVersion, sample, drive);
    Measure("the same first section, 8 times", longPage, drive);

    master->Close();
    drive.Stop();
    return 0;
}
