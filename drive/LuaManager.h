#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "drive/DriveRecords.h"

struct lua_State;

// Version-list lookup: the DriverType of the first entry whose pattern matches.
LuaDbResult LookupDriverType(const char* versionText, int* driverType);

// 'x' in a pattern stands for a run of digits; either string ending ends the match.
bool MatchVersionPattern(const char* text, unsigned textLength, const char* pattern,
                         unsigned patternLength);

// The drive database of one drive version: its open DriveDB state, the names
// of its files and the last content error.
class CLuaManager {
public:
    CLuaManager();
    virtual ~CLuaManager();
    CLuaManager(const CLuaManager&) = delete;
    CLuaManager& operator=(const CLuaManager&) = delete;

    LuaDbResult OpenDriveDb(const char* versionText);
    void CloseDriveDb();
    bool IsDbOpen() const { return m_bDbOpen; }

    uint16_t GetGlobalNumber(const char* name);
    LuaDbResult GetNumber(const char* name, int* value);
    std::string GetLastErrorText() const { return m_strLastError; }

    LuaDbResult LoadParamInfo(std::deque<ParamInfo>& infos, int count);
    LuaDbResult LoadParamView(std::deque<SectionInfo>& sections);
    LuaDbResult ReadSections(std::deque<SectionInfo>& sections);
    LuaDbResult ReadSectionVariables(int sectionIndex, std::deque<VariableInfo>& variables);

    const char* GetDriveDbFile() const { return m_szDriveDbFile; }
    const char* GetDefaultFile() const { return m_szDefaultFile; }
    const char* GetDescriptionFile() const { return m_szDescriptionFile; }

private:
    friend void ReadVariableOptions(std::deque<OptionInfo>& options, CLuaManager& db, int kind,
                                    int format);
    const char* GetStringField(int index);

    lua_State* m_pDbState = nullptr;
    char m_szDriveDbFile[256] = {};
    char m_szDefaultFile[256] = {};
    char m_szDescriptionFile[256] = {};
    bool m_bDbOpen = false;
    std::string m_strLastError;  // UTF-8
};

// Fills options from field [5] of the variable table on top of the DriveDB stack.
void ReadVariableOptions(std::deque<OptionInfo>& options, CLuaManager& db, int kind, int format);
