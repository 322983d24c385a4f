#pragma once

#include <string>

#include "tools/drivesim/SimulatedDrive.h"

// A simulated drive, started, and reachable as COM <n> through TARVIX_COM<n>
// for the lifetime of the object.
class SimulatedDriveOnCom {
public:
    explicit SimulatedDriveOnCom(unsigned comNumber = 200);
    ~SimulatedDriveOnCom();
    SimulatedDriveOnCom(const SimulatedDriveOnCom&) = delete;
    SimulatedDriveOnCom& operator=(const SimulatedDriveOnCom&) = delete;

    SimulatedDrive& Drive() { return m_drive; }
    SimulatedDrive* operator->() { return &m_drive; }
    unsigned Com() const { return m_com; }
    const std::string& Path() const { return m_path; }

private:
    SimulatedDrive m_drive;
    unsigned m_com;
    std::string m_path;
};

// Sets TARVIX_COM<n> for the lifetime of the object ("" removes it).
class ComOverride {
public:
    ComOverride(unsigned comNumber, const std::string& path);
    ~ComOverride();
    ComOverride(const ComOverride&) = delete;
    ComOverride& operator=(const ComOverride&) = delete;

private:
    std::string m_name;
    bool m_hadValue = false;
    std::string m_previous;
};
