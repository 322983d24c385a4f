#pragma once

#include <cstdint>
#include <deque>
#include <string>

// Records read from the drive database. Texts shown to the user are UTF-8;
// descriptions and motor names keep the file's bytes as they are.

// Result of every drive-database reader.
using LuaDbResult = int;
enum : int {
    kLuaDbOk = 0,
    kLuaDbLoadFailed = 1,    // file cannot be loaded or run, or its global is missing
    kLuaDbNotOpen = 2,       // the DriveDB state is not open
    kLuaDbContentError = 3,  // wrong or missing entry; text kept by the CLuaManager
    kLuaDbBadVersion = 5,    // the version text has no '.'
    kLuaDbNoMatch = 7,       // no version-list entry matches
};

// Which control a page row gets.
enum VcmKind : int {
    kVcmKindEdit = 0,
    kVcmKindButton = 1,
    kVcmKindCombo = 2,
    kVcmKindSwitch = 4,
    kVcmKindHeader = 8,
};

// Display format of a value (edit fields), or action (buttons), or option
// source (combos); see the controls.
enum VcmFormat : int {
    kVcmFormatPlain = 0,
    kVcmFormatOneDecimal = 1,
    kVcmFormatTwoDecimals = 2,
    kVcmFormatThreeDecimals = 3,
    kVcmFormatPowerOfTen = 4,
    kVcmFormatMotorFactor = 8,
    kVcmFormatMotorName = 16,
    kVcmFormatErrorText = 32,
};

// A control's condition on another parameter's value.
struct VcmCondition {
    uint16_t param = 0;    // parameter whose value is tested
    uint8_t op = 0;        // 0 none, 1 ==, 2 <=, 3 >=, 4 <, 5 >, 6 !=, 7 (value & reference) != 0
    int32_t reference = 0;
    uint8_t effect = 0;    // 1 disable, 2 read-only (edit) or disable, 4 hide
};

// One entry of a variable's option list; the fields used depend on the kind.
struct OptionInfo {
    std::string caption;   // button (at most 49 bytes)
    std::string command;   // button (at most 9 bytes)
    int32_t value = 0;     // combo
    std::string text;      // combo, formats other than 2 and 4 (at most 49 bytes)
    uint16_t param = 0;    // combo, formats 2 and 4
    uint8_t bit = 0;       // switch
};

// The descriptor of one page row.
struct VariableInfo {
    uint16_t number = 0;
    int32_t kind = 0;
    int32_t format = 0;
    std::string text;  // UTF-8
    std::deque<OptionInfo> options;
    bool readOnly = false;
    bool live = false;
    bool notify = false;
    VcmCondition conditions[2];
};

// One ParamView section.
struct SectionInfo {
    int index = 0;
    std::deque<VariableInfo> variables;
    std::string title;  // UTF-8
};

// Default value and description of one parameter.
struct ParamInfo {
    int number = 0;
    bool isSet = false;
    int32_t defaultValue = 0;
    std::string description;
};

// One row of the motor table, or one motor slot of a multi-motor drive.
struct MotorInfo {
    int32_t number = 0;
    int32_t factor = 0;
    std::string name;
};
