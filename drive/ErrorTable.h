#pragma once

#include <deque>
#include <string>

#include "drive/DriveRecords.h"

// Reads "ErrorTable.lua" (global glb_TableError) into errors.
LuaDbResult LoadErrorTable(std::deque<std::string>& errors);

// The process-wide error-text table: error number -> text.
class CErrorTable {
public:
    static CErrorTable* GetInstance();
    virtual ~CErrorTable();

    std::string GetErrorText(unsigned index);

    std::deque<std::string> m_Errors;

private:
    CErrorTable() = default;
};
