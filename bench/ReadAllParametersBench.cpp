// ReadAllParameters of the largest drive version of the sample database
// against the simulated drive on a pseudo-terminal.
//  1. Unpaced: the drive answers at once, so the time per parameter is the
//     program's own overhead (target below 0.3 ms).
//  2. Paced at 115200 and 9600 bit/s: the drive spends 10 bits per byte on
//     the wire both ways; the ratio of the read's time to the wire time of
//     the bytes exchanged should stay within 1.15. At 9600 the read is
//     stopped after a subset of the parameters by a value of 65535, which
//     ends ReadAllParameters as a failed read does.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "platform/MessageBox.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "tools/drivesim/SimulatedDrive.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

size_t WireBytes(const std::vector<std::string>& lines)
{
    size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += line.size() + 2;  // CR LF
    return bytes;
}

struct Link {
    SimulatedDrive drive;
    uint8_t port = 0;

    bool Start(const DriveProfile& profile, int rate, uint8_t comNumber)
    {
        port = comNumber;
        drive.ApplyProfile(profile);
        drive.SetLineRate(rate);
        if (!drive.Start())
            return false;
        setenv(("TARVIX_COM" + std::to_string(port)).c_str(), drive.SlavePath().c_str(), 1);
        return true;
    }
};

int CodeOf(int rate)
{
    for (int code = 0; code < kBaudRateCount; ++code)
        if (kBaudRateTable[code] == rate)
            return code;
    return -1;
}

speed_t SpeedOf(int rate)
{
    return rate == 115200 ? B115200 : B9600;
}

// The same exchanges ("MA0", then one "MD" per parameter) from a bare client
// that only writes a line and waits for two line ends: what the paced drive
// itself allows. Returns the ratio to the wire time, or 0 on failure.
double PacedFloor(const DriveProfile& profile, int rate, int reads)
{
    SimulatedDrive drive;
    drive.ApplyProfile(profile);
    drive.SetLineRate(rate);
    if (!drive.Start())
        return 0;
    int fd = ::open(drive.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return 0;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, SpeedOf(rate));
    tcsetattr(fd, TCSANOW, &tio);
    auto exchange = [fd](const char* line) {
        if (::write(fd, line, std::strlen(line)) < 0)
            return false;
        int ends = 0;
        char buffer[256];
        while (ends < 2) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return false;
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i)
                ends += buffer[i] == '\n';
        }
        return true;
    };
    drive.SetPacing(true);
    auto t0 = Clock::now();
    bool ok = exchange("MA0\r\n");
    for (int i = 0; ok && i < reads; ++i)
        ok = exchange("MD\r\n");
    double elapsed = Seconds(Clock::now() - t0);
    drive.SetPacing(false);
    ::close(fd);
    if (!ok)
        return 0;
    size_t bytes = WireBytes(drive.ReceivedLines()) + WireBytes(drive.SentLines());
    return elapsed / (bytes * 10.0 / rate);
}

// One paced read; returns false when something failed.
bool PacedRun(const DriveProfile& profile, int rate, uint8_t comNumber, int subset)
{
    Link link;
    if (!link.Start(profile, rate, comNumber))
        return false;
    CTarvixMaster master;
    if (master.Connect(link.port, CodeOf(rate), false) != kConnectOk) {
        std::printf("connect at %d failed\n", rate);
        return false;
    }
    const int count = master.GetDriver()->GetParameterCount();
    int read = count;
    if (subset > 0 && subset < count) {
        link.drive.SetValue(static_cast<uint16_t>(subset), 65535);
        read = subset + 1;
    }
    link.drive.ClearRecord();
    link.drive.SetPacing(true);

    auto t0 = Clock::now();
    bool ok = master.ReadAllParameters(nullptr);
    double elapsed = Seconds(Clock::now() - t0);
    link.drive.SetPacing(false);

    if (ok != (read == count)) {
        std::printf("read at %d ended unexpectedly\n", rate);
        return false;
    }
    size_t bytes = WireBytes(link.drive.ReceivedLines()) + WireBytes(link.drive.SentLines());
    double wire = bytes * 10.0 / rate;
    const double floor = PacedFloor(profile, rate, read);
    std::printf("paced %6d bit/s: %d of %d parameters, %zu bytes on the wire, %.3f s "
                "(wire %.3f s), ratio %.3f (target <= 1.15); bare client on the same "
                "drive: ratio %.3f\n",
                rate, read, count, bytes, elapsed, wire, elapsed / wire, floor);
    return true;
}

}  // namespace

int main()
{
    // Nothing here should fail; if it does, no box may wait for a user.
    host::SetMessageBoxHandler([](const std::string& text, const std::string&, unsigned) {
        std::printf("unexpected box: %s\n", text.c_str());
        return host::IDIGNORE;
    });

    DriveProfile largest;
    for (const char* version : kSampleVersions) {
        DriveProfile profile;
        std::string error;
        if (!LoadDriveProfile(version, profile, error)) {
            std::printf("no profile for %s: %s\n", version, error.c_str());
            return 1;
        }
        if (profile.values.size() > largest.values.size())
            largest = profile;
    }
    std::printf("largest drive version: %s (%zu parameters)\n", largest.versionText.c_str(),
                largest.values.size());

    // 1. Unpaced overhead.
    {
        Link link;
        if (!link.Start(largest, 9600, 201))
            return 1;
        CTarvixMaster master;
        if (master.Connect(link.port, kBaudCode9600, true) != kConnectOk) {
            std::printf("connect failed\n");
            return 1;
        }
        const int count = master.GetDriver()->GetParameterCount();
        std::vector<double> perParameter;
        for (int run = 0; run < 30; ++run) {
            auto t0 = Clock::now();
            if (!master.ReadAllParameters(nullptr)) {
                std::printf("read failed\n");
                return 1;
            }
            perParameter.push_back(Seconds(Clock::now() - t0) * 1000.0 / count);
        }
        std::sort(perParameter.begin(), perParameter.end());
        std::printf("unpaced pty: %d parameters x 30 reads: per parameter median %.4f ms, "
                    "min %.4f ms, max %.4f ms (target < 0.3 ms)\n",
                    count, perParameter[perParameter.size() / 2], perParameter.front(),
                    perParameter.back());
    }

    // 2. Paced.
    if (!PacedRun(largest, 115200, 202, 0))
        return 1;
    if (!PacedRun(largest, 9600, 203, 100))
        return 1;
    return 0;
}
