#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A serial device on POSIX termios: raw 8N1, no flow control, DTR and RTS raised
// where the device supports it, pending data purged at open, exclusive use.
namespace host {

class SerialPort {
public:
    // At most this many received bytes wait to be read; bytes beyond are
    // lost, as in an overrun.
    static constexpr size_t kReceiveQueueSize = 4096;

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
    void TakeWhatElseWaits();

    int m_fd = -1;
    // The receive queue: bytes taken from the device but not yet handed out.
    // It is filled only when it has run empty, so one read call serves a
    // whole line instead of one call per byte.
    uint8_t m_queue[kReceiveQueueSize] = {};
    size_t m_queuePos = 0;
    size_t m_queueLength = 0;
};

// The line rate of a terminal in bits per second, non-standard rates included
// (0 when it cannot be read). On a pseudo-terminal master this is the rate the
// slave side was set to, which is how a simulated drive sees the host's rate.
int TerminalLineRate(int fd);
// Sets the line rate of a terminal, non-standard rates included.
bool SetTerminalLineRate(int fd, int baudRate);

}  // namespace host
