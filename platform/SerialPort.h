#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A serial device on POSIX termios: raw 8N1, no flow control, DTR and RTS raised
// where the device supports it, pending data purged at open, exclusive use.
namespace host {

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device at the given rate (any rate of the drive's baud table,
    // standard or not). Fails when the device is missing, not accessible or
    // held by another program. Set-up calls after the open are not checked:
    // a rate the device refuses shows up later as a missing or garbled echo.
    bool Open(const std::string& devicePath, int baudRate);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    enum class ReadResult { Byte, NoByte, Error };
    // Waits at most about 2 ms for one byte and returns as soon as one is there.
    ReadResult ReadByte(uint8_t& byte);

    // Writes all bytes; false when the device refuses them (it has vanished).
    bool Write(const void* data, size_t length);
    // Waits until the written bytes have left.
    void Flush();

private:
    int m_fd = -1;
};

}  // namespace host
