#include "platform/ComPorts.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

constexpr unsigned kHighestCom = 255;

std::string Override(unsigned comNumber)
{
    std::string name = "TARVIX_COM" + std::to_string(comNumber);
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

std::string MappedPath(unsigned comNumber)
{
    if (comNumber >= 1 && comNumber <= 32)
        return "/dev/ttyS" + std::to_string(comNumber - 1);
    if (comNumber >= 33 && comNumber <= 64)
        return "/dev/ttyUSB" + std::to_string(comNumber - 33);
    if (comNumber >= 65 && comNumber <= kHighestCom)
        return "/dev/ttyACM" + std::to_string(comNumber - 65);
    return {};
}

bool IsCharacterDevice(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// The kernel creates ttyS nodes whether or not a UART is behind them; only
// those with a known UART type are ports. A node that is busy or not readable
// is a port that exists, like a port held by another program.
bool UartPresent(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EBUSY || errno == EPERM;
    serial_struct info{};
    bool present = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return present;
}

}  // namespace

std::string ComDevicePath(unsigned comNumber)
{
    std::string path = Override(comNumber);
    if (!path.empty())
        return path;
    return MappedPath(comNumber);
}

std::vector<unsigned> ExistingComPorts()
{
    std::vector<unsigned> ports;
    for (unsigned n = 0; n <= kHighestCom; ++n) {
        std::string path = Override(n);
        if (!path.empty()) {
            if (IsCharacterDevice(path))
                ports.push_back(n);
            continue;
        }
        path = MappedPath(n);
        if (path.empty() || !IsCharacterDevice(path))
            continue;
        if (n <= 32 && !UartPresent(path))
            continue;
        ports.push_back(n);
    }
    return ports;
}

}  // namespace host
