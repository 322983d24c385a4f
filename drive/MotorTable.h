#pragma once

#include <deque>
#include <string>

#include "drive/DriveRecords.h"

// Reads "MotorTable.lua" (global glb_TableMotorType) into motors.
LuaDbResult LoadMotorTable(std::deque<MotorInfo>& motors);

// The process-wide motor table: motor number -> factor and name.
class CMotorTable {
public:
    static CMotorTable* GetInstance();
    virtual ~CMotorTable();

    std::string GetMotorName(int motorNumber);
    const MotorInfo& FindMotor(int motorNumber);
    int GetMotorFactor(int motorNumber);

    std::deque<MotorInfo> m_Motors;

private:
    CMotorTable() = default;
};
