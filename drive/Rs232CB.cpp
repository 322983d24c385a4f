#include "drive/Rs232CB.h"

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
    m_hPort.Close();
}
