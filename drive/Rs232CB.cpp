#include "drive/Rs232CB.h"

#include "platform/Clock.h"
#include "platform/ComPorts.h"

CRs232CB::CRs232CB() = default;

CRs232CB::~CRs232CB()
{
    Close();
}

void CRs232CB::EnumeratePorts(std::vector<unsigned>& ports)
{
    ports = host::ExistingComPorts();
}

bool CRs232CB::Open(uint8_t port, int baudRate)
{
    m_nPort = port;
    m_nBaudRate = baudRate;
    m_bOpen = false;
    m_bStaleInput = false;
    std::string path = host::ComDevicePath(port);
    if (path.empty() || !m_hPort.Open(path, baudRate))
        return false;
    m_bOpen = true;
    return true;
}

void CRs232CB::Close()
{
    if (!m_bOpen)
        return;
    m_bOpen = false;
    m_bStaleInput = false;
    m_hPort.Close();
}

void CRs232CB::MarkInputStale()
{
    m_bStaleInput = m_bOpen;
}

void CRs232CB::DropStaleInput()
{
    if (!m_bStaleInput)
        return;
    m_bStaleInput = false;
    const uint32_t start = host::TickMs();
    uint32_t lastByte = start;
    for (;;) {
        uint8_t byte = 0;
        const bool got = m_hPort.ReadByte(byte) == host::SerialPort::ReadResult::Byte;
        const uint32_t now = host::TickMs();
        if (got)
            lastByte = now;
        else if (now - lastByte >= kQuietMs)
            return;
        if (now - start >= kStaleDropLimitMs)
            return;
    }
}
