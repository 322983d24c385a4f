// The simulated drive as a program: prints the device it serves on the first
// line of stdout and answers there until SIGINT or SIGTERM.
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "tools/drivesim/SimulatedDrive.h"

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: drivesim [--drive NAME|TEXT] [--version-text TEXT] [--params N]\n"
                 "                [--baud-param N] [--rate BPS] [--pace]\n"
                 "  --drive NAME|TEXT    play a drive version of the database beside the program:\n"
                 "                       bipolar (the default), unipolar, multi, servo, or its\n"
                 "                       \"VR\" answer; \"builtin\" keeps the built-in table\n"
                 "  --version-text TEXT  answer to \"VR\" (default \"Tarvix Bipolar Version 1.2.3\")\n"
                 "  --params N           parameter count of the built-in table (default 128)\n"
                 "  --baud-param N       parameter whose baud code switches the line rate\n"
                 "  --rate BPS           line rate at start (default 9600)\n"
                 "  --pace               send and receive at the speed of the line rate\n");
}

const char* SampleVersion(const std::string& name)
{
    if (name == "bipolar")
        return kSampleBipolarVersion;
    if (name == "unipolar")
        return kSampleUnipolarVersion;
    if (name == "multi")
        return kSampleMultiMotorVersion;
    if (name == "servo")
        return kSampleServoVersion;
    return nullptr;
}

bool PlayDatabaseVersion(SimulatedDrive& drive, const std::string& driveName)
{
    const char* sample = SampleVersion(driveName);
    DriveProfile profile;
    std::string error;
    if (!LoadDriveProfile(sample ? sample : driveName, profile, error)) {
        std::fprintf(stderr, "drivesim: cannot load \"%s\": %s\n", driveName.c_str(), error.c_str());
        return false;
    }
    drive.ApplyProfile(profile);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    SimulatedDrive drive;
    std::string driveName = "bipolar";
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--drive" && i + 1 < argc)
            driveName = argv[++i];
    }
    // The database version comes first; the options below adjust it.
    if (driveName != "builtin" && !PlayDatabaseVersion(drive, driveName))
        return 1;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        if (option == "--drive" && hasValue) {
            ++i;
        } else if (option == "--version-text" && hasValue) {
            drive.SetVersionText(argv[++i]);
        } else if (option == "--params" && hasValue) {
            drive.SetParameterCount(std::strtoul(argv[++i], nullptr, 10));
        } else if (option == "--baud-param" && hasValue) {
            drive.SetBaudRateParam(std::atoi(argv[++i]));
        } else if (option == "--rate" && hasValue) {
            drive.SetLineRate(std::atoi(argv[++i]));
        } else if (option == "--pace") {
            drive.SetPacing(true);
        } else {
            Usage();
            return 2;
        }
    }

    // Signals are taken by sigwait below, not by whichever thread they hit.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    if (!drive.Start()) {
        std::fprintf(stderr, "drivesim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", drive.SlavePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "drivesim: \"%s\", %zu parameters, %d bit/s; Ctrl+C ends\n",
                 drive.GetVersionText().c_str(), drive.GetParameterCount(), drive.GetLineRate());

    int signal = 0;
    sigwait(&signals, &signal);
    drive.Stop();
    return 0;
}
