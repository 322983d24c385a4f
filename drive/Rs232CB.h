#pragma once

#include <cstdint>
#include <vector>

#include "platform/SerialPort.h"

// The one serial port through which the program talks to a drive. Its open
// flag is what the whole program means by being connected.
class CRs232CB {
public:
    CRs232CB();
    virtual ~CRs232CB();
    CRs232CB(const CRs232CB&) = delete;
    CRs232CB& operator=(const CRs232CB&) = delete;

    // Replaces the contents of ports with the COM numbers found.
    static void EnumeratePorts(std::vector<unsigned>& ports);

    // Opens COM <port> at baudRate (8N1, no handshake, DTR and RTS raised).
    // Only called on a closed port.
    bool Open(uint8_t port, int baudRate);
    void Close();

    bool IsOpen() const { return m_bOpen; }
    int GetPort() const { return m_nPort; }
    int GetBaudRate() const { return m_nBaudRate; }

    // A failed exchange may leave bytes behind, and the drive may still be
    // sending them (a late answer, the rest of a flood): they belong to no
    // later exchange.
    void MarkInputStale();
    // When the input is stale: drops what comes until the line has been quiet
    // for kQuietMs, giving up after kStaleDropLimitMs so that a drive that
    // never stops cannot hold the program. Otherwise nothing.
    void DropStaleInput();

    static constexpr unsigned kQuietMs = 100;
    static constexpr unsigned kStaleDropLimitMs = 500;

protected:
    host::SerialPort m_hPort;
    int m_nPort = 0;
    int m_nBaudRate = 0;
    bool m_bOpen = false;
    bool m_bStaleInput = false;  // only while open: an open purges the line
};
