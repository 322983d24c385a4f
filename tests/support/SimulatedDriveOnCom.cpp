#include "tests/support/SimulatedDriveOnCom.h"

#include <cstdlib>

#include <gtest/gtest.h>

SimulatedDriveOnCom::SimulatedDriveOnCom(unsigned comNumber) : m_com(comNumber)
{
    EXPECT_TRUE(m_drive.Start()) << "no pseudo-terminal for the simulated drive";
    m_path = m_drive.SlavePath();
    setenv(("TARVIX_COM" + std::to_string(m_com)).c_str(), m_path.c_str(), 1);
}

SimulatedDriveOnCom::~SimulatedDriveOnCom()
{
    unsetenv(("TARVIX_COM" + std::to_string(m_com)).c_str());
    m_drive.Stop();
}

ComOverride::ComOverride(unsigned comNumber, const std::string& path)
    : m_name("TARVIX_COM" + std::to_string(comNumber))
{
    if (const char* value = std::getenv(m_name.c_str())) {
        m_hadValue = true;
        m_previous = value;
    }
    if (path.empty())
        unsetenv(m_name.c_str());
    else
        setenv(m_name.c_str(), path.c_str(), 1);
}

ComOverride::~ComOverride()
{
    if (m_hadValue)
        setenv(m_name.c_str(), m_previous.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}
