#include "platform/SerialPort.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace host {

namespace {

// termios2 as the kernel has it: glibc 2.36 does not declare it, and the
// kernel header clashes with <termios.h>.
struct KernelTermios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
constexpr unsigned long kTcGets2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long kTcSets2 = _IOW('T', 0x2B, KernelTermios2);
constexpr tcflag_t kCbaud = 0010017;
constexpr tcflag_t kBother = 0010000;
constexpr int kIbshift = 16;

// The read window of the port: a one-byte read returns within about this long.
constexpr int kReadWindowMs = 2;
// A write that makes no progress for this long has met a dead device.
constexpr int kWriteStallMs = 2000;

speed_t StandardSpeed(int baudRate)
{
    switch (baudRate) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

// What a port with a broken line does: the read window passes without a byte.
void WaitReadWindow()
{
    ::poll(nullptr, 0, kReadWindowMs);
}

}  // namespace

int TerminalLineRate(int fd)
{
    KernelTermios2 tio{};
    if (::ioctl(fd, kTcGets2, &tio) != 0)
        return 0;
    return static_cast<int>(tio.c_ospeed);
}

bool SetTerminalLineRate(int fd, int baudRate)
{
    if (baudRate <= 0)
        return false;
    speed_t speed = StandardSpeed(baudRate);
    if (speed != B0) {
        termios tio{};
        if (::tcgetattr(fd, &tio) != 0)
            return false;
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        return ::tcsetattr(fd, TCSANOW, &tio) == 0;
    }
    KernelTermios2 tio{};
    if (::ioctl(fd, kTcGets2, &tio) != 0)
        return false;
    tio.c_cflag &= ~(kCbaud | (kCbaud << kIbshift));
    tio.c_cflag |= kBother | (kBother << kIbshift);
    tio.c_ispeed = static_cast<speed_t>(baudRate);
    tio.c_ospeed = static_cast<speed_t>(baudRate);
    return ::ioctl(fd, kTcSets2, &tio) == 0;
}

SerialPort::~SerialPort()
{
    Close();
}

bool SerialPort::Open(const std::string& devicePath, int baudRate)
{
    Close();
    int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Another program holding the device keeps it: the lock is taken before
    // anything about the device is changed.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !::isatty(fd)) {
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);

    // From here on the results are not checked: a setting the device refuses
    // shows up later as a missing or garbled echo.
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    SetTerminalLineRate(fd, baudRate);
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);  // pseudo-terminals refuse it
    ::tcflush(fd, TCIOFLUSH);

    m_fd = fd;
    m_queuePos = m_queueLength = 0;
    return true;
}

void SerialPort::Close()
{
    if (m_fd < 0)
        return;
    // The exclusive flag belongs to the device, not to this descriptor: a
    // device that stays alive (a pseudo-terminal) would refuse the next open.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    m_queuePos = m_queueLength = 0;
}

SerialPort::ReadResult SerialPort::ReadByte(uint8_t& byte)
{
    if (m_queuePos < m_queueLength) {
        byte = m_queue[m_queuePos++];
        return ReadResult::Byte;
    }
    if (m_fd < 0) {
        WaitReadWindow();
        return ReadResult::Error;
    }
    pollfd pfd{m_fd, POLLIN, 0};
    int ready = ::poll(&pfd, 1, kReadWindowMs);
    if (ready < 0)
        return errno == EINTR ? ReadResult::NoByte : ReadResult::Error;
    if (ready == 0)
        return ReadResult::NoByte;
    if (pfd.revents & POLLIN) {
        ssize_t n = ::read(m_fd, m_queue, kReceiveQueueSize);
        if (n > 0) {
            m_queueLength = static_cast<size_t>(n);
            TakeWhatElseWaits();
            m_queuePos = 1;
            byte = m_queue[0];
            return ReadResult::Byte;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return ReadResult::NoByte;
    }
    // Hang-up or EIO: the device has gone. Poll returns at once from now on,
    // so let the read window pass as a silent port would.
    WaitReadWindow();
    return ReadResult::Error;
}

void SerialPort::TakeWhatElseWaits()
{
    // A read hands over at most the terminal layer's own buffer (4 KB), which
    // a flood keeps full, with more behind it. Ordinary traffic is a line or
    // two per read: a read that brought less than half the queue has emptied
    // the device, and no further call is made.
    if (m_queueLength < kReceiveQueueSize / 2)
        return;
    while (m_queueLength < kReceiveQueueSize) {
        ssize_t n = ::read(m_fd, m_queue + m_queueLength, kReceiveQueueSize - m_queueLength);
        if (n <= 0)
            return;
        m_queueLength += static_cast<size_t>(n);
    }
    // The queue is full: whatever else has come is lost, as in an overrun.
    ::tcflush(m_fd, TCIFLUSH);
}

bool SerialPort::Write(const void* data, size_t length)
{
    if (m_fd < 0)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (length > 0) {
        ssize_t n = ::write(m_fd, bytes, length);
        if (n > 0) {
            bytes += n;
            length -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        pollfd pfd{m_fd, POLLOUT, 0};
        int ready = ::poll(&pfd, 1, kWriteStallMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
    }
    return true;
}

void SerialPort::Flush()
{
    if (m_fd >= 0)
        ::tcdrain(m_fd);
}

}  // namespace host
