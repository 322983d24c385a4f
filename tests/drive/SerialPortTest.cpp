#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <termios.h>
#include <fcntl.h>
#include <unistd.h>

#include "drive/Rs232CB.h"
#include "platform/ComPorts.h"
#include "platform/SerialPort.h"
#include "tests/support/SimulatedDriveOnCom.h"

using namespace std::chrono_literals;

namespace {

// Reads whatever arrives until LF or until nothing came for a while.
std::string ReadUntilLf(host::SerialPort& port)
{
    std::string text;
    int idle = 0;
    while (idle < 500) {
        uint8_t byte = 0;
        auto r = port.ReadByte(byte);
        if (r != host::SerialPort::ReadResult::Byte) {
            ++idle;
            continue;
        }
        text.push_back(static_cast<char>(byte));
        if (byte == '\n')
            break;
    }
    return text;
}

}  // namespace

TEST(ComPorts, FixedMappingOfComNumbers)
{
    ComOverride none1(1, ""), none33(33, ""), none65(65, ""), none0(0, "");
    EXPECT_EQ(host::ComDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(host::ComDevicePath(32), "/dev/ttyS31");
    EXPECT_EQ(host::ComDevicePath(33), "/dev/ttyUSB0");
    EXPECT_EQ(host::ComDevicePath(64), "/dev/ttyUSB31");
    EXPECT_EQ(host::ComDevicePath(65), "/dev/ttyACM0");
    EXPECT_EQ(host::ComDevicePath(255), "/dev/ttyACM190");
    EXPECT_EQ(host::ComDevicePath(0), "");
}

TEST(ComPorts, OverrideWinsAndIsListedWhenItExists)
{
    SimulatedDriveOnCom sim(7);
    ComOverride missing(9, "/dev/no-such-tarvix-port");
    EXPECT_EQ(host::ComDevicePath(7), sim.Path());
    EXPECT_EQ(host::ComDevicePath(9), "/dev/no-such-tarvix-port");

    std::vector<unsigned> ports = host::ExistingComPorts();
    EXPECT_NE(std::find(ports.begin(), ports.end(), 7u), ports.end());
    EXPECT_EQ(std::find(ports.begin(), ports.end(), 9u), ports.end());
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end()));

    std::vector<unsigned> listed = {99, 98};
    CRs232CB::EnumeratePorts(listed);
    EXPECT_EQ(listed, ports);  // replaced, not appended to
}

TEST(Rs232CB, OpenOfMissingDeviceFailsAndKeepsWhatWasAsked)
{
    ComOverride missing(201, "/dev/no-such-tarvix-port");
    CRs232CB port;
    EXPECT_FALSE(port.Open(201, 19200));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.GetPort(), 201);
    EXPECT_EQ(port.GetBaudRate(), 19200);

    ComOverride none(0, "");
    EXPECT_FALSE(port.Open(0, 9600));  // COM0 maps to nothing
}

TEST(Rs232CB, OpenOfDeviceHeldByAnotherProgramFails)
{
    SimulatedDriveOnCom sim(202);
    CRs232CB first;
    CRs232CB second;
    ASSERT_TRUE(first.Open(202, 9600));
    EXPECT_FALSE(second.Open(202, 9600));
    EXPECT_FALSE(second.IsOpen());
    // Released with the close: nothing of the first holder stays behind.
    first.Close();
    EXPECT_TRUE(second.Open(202, 9600));
}

TEST(Rs232CB, CloseTwiceAndCloseWhenNeverOpened)
{
    SimulatedDriveOnCom sim(203);
    CRs232CB never;
    never.Close();
    EXPECT_FALSE(never.IsOpen());

    CRs232CB port;
    ASSERT_TRUE(port.Open(203, 9600));
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.Open(203, 9600));  // reopened after the double close
}

TEST(SerialPort, OpenSetsRawEightNOneWithoutFlowControl)
{
    SimulatedDrive drive;
    ASSERT_TRUE(drive.Start());
    // Spoil the line settings first: the open must not depend on what it finds.
    {
        int fd = ::open(drive.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        tio.c_lflag |= ICANON | ECHO;
        tio.c_oflag |= OPOST | ONLCR;
        tio.c_iflag |= IXON | ICRNL;
        tio.c_cflag |= CRTSCTS | PARENB | CSTOPB;
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
        ::close(fd);
    }
    host::SerialPort port;
    ASSERT_TRUE(port.Open(drive.SlavePath(), 38400));
    int fd = ::open(drive.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);  // root may open past TIOCEXCL; this only looks
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(tio.c_cflag & (CRTSCTS | PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    EXPECT_EQ(drive.GetHostLineRate(), 38400);
}

TEST(SerialPort, EveryRateOfTheBaudTableIsSet)
{
    SimulatedDrive drive;
    ASSERT_TRUE(drive.Start());
    for (int rate : SimulatedDrive::kBaudRates) {
        host::SerialPort port;
        ASSERT_TRUE(port.Open(drive.SlavePath(), rate));
        EXPECT_EQ(drive.GetHostLineRate(), rate);
    }
}

TEST(SerialPort, PendingDataIsPurgedAtOpen)
{
    SimulatedDrive drive;
    ASSERT_TRUE(drive.Start());
    host::SerialPort port;
    ASSERT_TRUE(port.Open(drive.SlavePath(), 9600));
    ASSERT_TRUE(port.Write("VR\r\n", 4));
    // Echo and answer are on their way back; close without reading them.
    ASSERT_TRUE(drive.WaitForSentLines(2, 5s));
    port.Close();

    ASSERT_TRUE(port.Open(drive.SlavePath(), 9600));
    uint8_t byte = 0;
    EXPECT_EQ(port.ReadByte(byte), host::SerialPort::ReadResult::NoByte);

    // The line still works after the purge.
    ASSERT_TRUE(port.Write("VR\r\n", 4));
    EXPECT_EQ(ReadUntilLf(port), "VR\r\n");
}

TEST(SerialPort, VanishedDeviceReadsAsErrorAndRefusesWrites)
{
    SimulatedDrive drive;
    ASSERT_TRUE(drive.Start());
    host::SerialPort port;
    ASSERT_TRUE(port.Open(drive.SlavePath(), 9600));
    drive.VanishNow();
    EXPECT_TRUE(drive.HasVanished());
    uint8_t byte = 0;
    EXPECT_EQ(port.ReadByte(byte), host::SerialPort::ReadResult::Error);
    EXPECT_FALSE(port.Write("VR\r\n", 4));
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.ReadByte(byte), host::SerialPort::ReadResult::Error);
    EXPECT_FALSE(port.Write("VR\r\n", 4));
}

TEST(SerialPort, AtMostTheReceiveQueueWaitsAndTheNewestBytesAreLost)
{
    SimulatedDrive drive;
    ASSERT_TRUE(drive.Start());
    std::string flood;
    for (int i = 0; flood.size() < 6000; ++i)
        flood += std::to_string(i) + "\r\n";
    drive.InjectFault({SimulatedDrive::FaultKind::RawReply, flood});
    host::SerialPort port;
    ASSERT_TRUE(port.Open(drive.SlavePath(), 9600));
    ASSERT_TRUE(port.Write("VR\r\n", 4));
    ASSERT_TRUE(drive.WaitForReceivedLines(1, 5s));
    ASSERT_TRUE(drive.WaitUntilIdle(5s));  // all of it has been sent

    uint8_t byte = 0;
    std::string received = ReadUntilLf(port);  // the first bytes may take a moment
    while (port.ReadByte(byte) == host::SerialPort::ReadResult::Byte)
        received.push_back(static_cast<char>(byte));
    EXPECT_EQ(received, flood.substr(0, host::SerialPort::kReceiveQueueSize));

    // What comes after the overrun is read as usual.
    ASSERT_TRUE(port.Write("VR\r\n", 4));
    EXPECT_EQ(ReadUntilLf(port), "VR\r\n");
}
