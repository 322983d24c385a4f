// The sample drive database beside the test binary: every drive version loads
// through the readers, and together the versions exercise what the pages can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "drive/ErrorTable.h"
#include "drive/LuaFile.h"
#include "drive/LuaManager.h"
#include "drive/MotorTable.h"
#include "platform/ProgramFolder.h"
#include "tests/support/TempProgramFolder.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

struct SampleDrive {
    const char* version;
    int driverType;
    int parameterCount;
};

const SampleDrive kSamples[] = {
    {kSampleBipolarVersion, 1, 128},
    {kSampleUnipolarVersion, 300, 112},
    {kSampleMultiMotorVersion, 100, 160},
    {kSampleServoVersion, 200, 600},
};

// One drive version read the way a drive model reads it.
struct LoadedDrive {
    int count = 0;
    std::map<std::string, int> constants;
    std::deque<ParamInfo> infos;
    std::deque<SectionInfo> sections;
};

void Load(const char* version, LoadedDrive& drive)
{
    CLuaManager db;
    ASSERT_EQ(db.OpenDriveDb(version), 0) << version;
    for (const char* name :
         {"DB_Var_SerialComm_bps", "DB_Motor_No", "DB_Motor_Tab", "DB_Var_ResetDrv_Flag",
          "DB_ExternSwitchEnable_Flags", "DB_TestArrayStart", "NUMBER_OF_PARAMETERS",
          "NUMBER_OF_PARAMETERS_EEPROM_ONLY", "NUMBER_LINE_TESTARRAY", "NUMBER_COLUMN_TESTARRAY",
          "PARAM_DRIVER_START", "PARAM_DRIVER_END", "PARAM_MOTOR_START", "PARAM_MOTOR_END"}) {
        int value = -1;
        ASSERT_EQ(db.GetNumber(name, &value), 0);
        drive.constants[name] = value;
    }
    drive.count = drive.constants["NUMBER_OF_PARAMETERS"];
    ASSERT_EQ(db.LoadParamInfo(drive.infos, drive.count), 0) << db.GetLastErrorText();
    ASSERT_EQ(db.LoadParamView(drive.sections), 0) << db.GetLastErrorText();
    // One value too many asked for: the files hold exactly one value per parameter.
    std::deque<ParamInfo> more;
    ASSERT_EQ(db.LoadParamInfo(more, drive.count + 1), 0);
    EXPECT_FALSE(more.back().isSet) << version;
}

bool HasValueRow(const SectionInfo& section, int number, bool notify)
{
    return std::any_of(section.variables.begin(), section.variables.end(), [&](const VariableInfo& v) {
        return v.number == number && (v.kind == kVcmKindEdit || v.kind == kVcmKindCombo ||
                                      v.kind == kVcmKindSwitch) &&
               (!notify || v.notify);
    });
}

}  // namespace

TEST(SampleDatabase, EveryDriveVersionLoads)
{
    ASSERT_EQ(host::ProgramFolder(), host::ProgramFilePath(""));
    for (const SampleDrive& sample : kSamples) {
        SCOPED_TRACE(sample.version);
        int type = 0;
        ASSERT_EQ(LookupDriverType(sample.version, &type), 0);
        EXPECT_EQ(type, sample.driverType);

        LoadedDrive drive;
        Load(sample.version, drive);
        if (HasFatalFailure())
            return;
        EXPECT_EQ(drive.count, sample.parameterCount);
        EXPECT_GE(drive.count, 100);
        ASSERT_GE(drive.sections.size(), 1u);
        ASSERT_FALSE(drive.sections[0].variables.empty());
        for (const ParamInfo& info : drive.infos) {
            EXPECT_TRUE(info.isSet) << info.number;
            EXPECT_FALSE(info.description.empty()) << info.number;
        }
        const int baud = drive.constants["DB_Var_SerialComm_bps"];
        EXPECT_EQ(drive.infos.at(baud).defaultValue, 5);  // 9600 at first contact
        EXPECT_TRUE(HasValueRow(drive.sections[0], baud, false));
        EXPECT_LT(drive.constants["DB_Motor_No"], drive.count);
        EXPECT_LE(drive.constants["NUMBER_OF_PARAMETERS_EEPROM_ONLY"], drive.count);
    }
}

TEST(SampleDatabase, ConverterTargetOpensTheMultiMotorDatabase)
{
    int type = 0;
    ASSERT_EQ(LookupDriverType(kSampleConverterTargetVersion, &type), 0);
    EXPECT_EQ(type, 100);
    CLuaManager converter;
    CLuaManager multi;
    ASSERT_EQ(converter.OpenDriveDb(kSampleConverterTargetVersion), 0);
    ASSERT_EQ(multi.OpenDriveDb(kSampleMultiMotorVersion), 0);
    EXPECT_STREQ(converter.GetDriveDbFile(), multi.GetDriveDbFile());
}

TEST(SampleDatabase, RowsFitTheirDrive)
{
    for (const SampleDrive& sample : kSamples) {
        SCOPED_TRACE(sample.version);
        LoadedDrive drive;
        Load(sample.version, drive);
        if (HasFatalFailure())
            return;
        for (const SectionInfo& section : drive.sections) {
            for (const VariableInfo& v : section.variables) {
                SCOPED_TRACE(v.text);
                const bool valueRow = v.kind == kVcmKindEdit || v.kind == kVcmKindCombo ||
                                      v.kind == kVcmKindSwitch;
                if (valueRow) {
                    EXPECT_LT(v.number, drive.count);
                }
                if (v.kind == kVcmKindEdit && v.format == kVcmFormatPowerOfTen) {
                    EXPECT_LT(v.number + 1, drive.count);  // the exponent
                }
                if (v.kind == kVcmKindCombo) {
                    ASSERT_FALSE(v.options.empty());
                    if (v.format == 2 || v.format == 4) {
                        for (const OptionInfo& o : v.options)
                            EXPECT_LT(o.param, drive.count);
                    } else {
                        // The default must be one of the items, or the combo shows nothing.
                        const int def = drive.infos[v.number].defaultValue;
                        EXPECT_TRUE(std::any_of(v.options.begin(), v.options.end(),
                                                [&](const OptionInfo& o) { return o.value == def; }));
                    }
                }
                if (v.kind == kVcmKindSwitch) {
                    ASSERT_FALSE(v.options.empty());
                    for (const OptionInfo& o : v.options)
                        EXPECT_LT(o.bit, 32);
                }
                if (v.kind == kVcmKindButton) {
                    ASSERT_EQ(v.options.size(), 1u);
                    EXPECT_FALSE(v.options[0].caption.empty());
                    if (v.format != 1) {
                        EXPECT_FALSE(v.options[0].command.empty());
                    }
                }
                // A condition only takes effect through a notifying row of the same page.
                for (const VcmCondition& c : v.conditions) {
                    if (c.op == 0)
                        continue;
                    EXPECT_TRUE(c.effect == 1 || c.effect == 2 || c.effect == 4);
                    EXPECT_TRUE(HasValueRow(section, c.param, true)) << "condition on " << c.param;
                }
            }
        }
    }
}

TEST(SampleDatabase, VersionsTogetherUseEveryRowFeature)
{
    std::set<int> kinds, editFormats, comboFormats, buttonFormats, ops, effects;
    bool readOnly = false, live = false, notify = false, secondCondition = false;
    bool fixedCombo = false, bigDrive = false;
    for (const SampleDrive& sample : kSamples) {
        LoadedDrive drive;
        Load(sample.version, drive);
        if (HasFatalFailure())
            return;
        bigDrive |= drive.count >= 500;
        for (const SectionInfo& section : drive.sections) {
            for (const VariableInfo& v : section.variables) {
                kinds.insert(v.kind);
                if (v.kind == kVcmKindEdit)
                    editFormats.insert(v.format);
                if (v.kind == kVcmKindCombo) {
                    comboFormats.insert(v.format);
                    fixedCombo |= v.format != 2 && v.format != 4;
                }
                if (v.kind == kVcmKindButton)
                    buttonFormats.insert(v.format);
                readOnly |= v.readOnly;
                live |= v.live;
                notify |= v.notify;
                secondCondition |= v.conditions[1].op != 0;
                for (const VcmCondition& c : v.conditions) {
                    if (c.op != 0) {
                        ops.insert(c.op);
                        effects.insert(c.effect);
                    }
                }
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 2, 4, 8}));
    EXPECT_EQ(editFormats, (std::set<int>{0, 1, 2, 3, 4, 8, 16, 32}));
    EXPECT_TRUE(comboFormats.count(2) && comboFormats.count(4) && fixedCombo);
    EXPECT_TRUE(buttonFormats.count(0) && buttonFormats.count(1) && buttonFormats.count(2));
    EXPECT_EQ(ops, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(effects, (std::set<int>{1, 2, 4}));
    EXPECT_TRUE(readOnly && live && notify && secondCondition && bigDrive);
}

TEST(SampleDatabase, EveryControlKindCarriesTheEffectsItReactsTo)
{
    // Pooled features cannot show that, say, no header ever hides: count the pairs.
    std::set<std::pair<int, int>> pairs;
    bool readOnlyButton = false, liveReadOnlyCombo = false;
    for (const SampleDrive& sample : kSamples) {
        LoadedDrive drive;
        Load(sample.version, drive);
        ASSERT_FALSE(HasFatalFailure());
        for (const SectionInfo& section : drive.sections) {
            for (const VariableInfo& v : section.variables) {
                for (const VcmCondition& c : v.conditions) {
                    if (c.op != 0)
                        pairs.insert({v.kind, c.effect});
                }
                readOnlyButton |= v.kind == kVcmKindButton && v.readOnly;
                liveReadOnlyCombo |= v.kind == kVcmKindCombo && v.readOnly && v.live;
            }
        }
    }
    const int kDisable = 1, kReadOnly = 2, kHide = 4;
    for (int kind : {kVcmKindEdit, kVcmKindButton, kVcmKindCombo, kVcmKindSwitch}) {
        for (int effect : {kDisable, kReadOnly, kHide})
            EXPECT_TRUE(pairs.count({kind, effect})) << "kind " << kind << " effect " << effect;
    }
    EXPECT_TRUE(pairs.count({kVcmKindHeader, kDisable}));
    EXPECT_TRUE(pairs.count({kVcmKindHeader, kHide}));
    EXPECT_TRUE(readOnlyButton);
    EXPECT_TRUE(liveReadOnlyCombo);  // polled: a live combo is re-read while disabled
}

TEST(SampleDatabase, NoRowLocksItselfOrSharesItsParameterWithAnotherCombo)
{
    for (const SampleDrive& sample : kSamples) {
        SCOPED_TRACE(sample.version);
        LoadedDrive drive;
        Load(sample.version, drive);
        ASSERT_FALSE(HasFatalFailure());
        for (const SectionInfo& section : drive.sections) {
            std::map<int, std::string> comboOf;
            for (const VariableInfo& v : section.variables) {
                SCOPED_TRACE(v.text);
                // A value the user types must never keep the user from changing it back.
                const bool writable = !v.readOnly && v.kind != kVcmKindHeader &&
                                      v.kind != kVcmKindButton;
                for (const VcmCondition& c : v.conditions) {
                    if (writable && c.op != 0) {
                        EXPECT_NE(c.param, v.number) << "condition on its own parameter";
                    }
                }
                if (v.kind == kVcmKindCombo) {
                    auto [it, inserted] = comboOf.emplace(v.number, v.text);
                    EXPECT_TRUE(inserted) << "parameter " << v.number << " also in " << it->second;
                }
            }
        }
    }
}

TEST(SampleDatabase, EveryFileRunsFarWithinTheInstructionBudget)
{
    std::vector<std::string> files = {"VersionList.lua", "MotorTable.lua", "ErrorTable.lua"};
    for (const char* name : {"DriveDB", "Default", "Description"}) {
        for (const char* prefix : {"MorvaneVcm_2_0", "TarvixBipolar_1_1", "TarvixBipolar_1_1_3",
                                   "TarvixUnipolar_3_0"})
            files.push_back(std::string("db/") + prefix + "_" + name + ".lua");
    }
    for (const std::string& file : files) {
        luadb::StateHolder holder;
        EXPECT_TRUE(luadb::RunDatabaseFile(file.c_str(), holder, luadb::kInstructionBudget / 100))
            << file;
    }
}

TEST(SampleDatabase, SimulatedServoRecordsSineAndStepCurves)
{
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(kSampleServoVersion, profile, error)) << error;
    LoadedDrive servo;
    Load(kSampleServoVersion, servo);
    ASSERT_FALSE(HasFatalFailure());
    const int lines = servo.constants["NUMBER_LINE_TESTARRAY"];
    const int columns = servo.constants["NUMBER_COLUMN_TESTARRAY"];
    ASSERT_EQ(profile.testArrayLength, lines * columns);
    ASSERT_GE(lines, 2);
    std::vector<std::set<int32_t>> channels(lines);
    std::vector<int> signChanges(lines);
    for (int j = 0; j < columns; ++j) {
        for (int k = 0; k < lines; ++k) {
            const int32_t v = profile.values[profile.testArrayStart + j * lines + k];
            EXPECT_GE(v, -32768);
            EXPECT_LE(v, 32767);
            if (j > 0 && (v < 0) != (profile.values[profile.testArrayStart + (j - 1) * lines + k] < 0))
                ++signChanges[k];
            channels[k].insert(v);
        }
    }
    // A sine on the first channel, a square wave of two levels on the second.
    EXPECT_GT(channels[0].size(), static_cast<size_t>(columns / 2));
    EXPECT_GE(signChanges[0], 3);
    EXPECT_EQ(channels[1].size(), 2u);
    EXPECT_GE(signChanges[1], 3);
}

TEST(SampleDatabase, MultiMotorAndServoConstants)
{
    LoadedDrive multi;
    Load(kSampleMultiMotorVersion, multi);
    ASSERT_FALSE(HasFatalFailure());
    auto& m = multi.constants;
    EXPECT_EQ(m["PARAM_DRIVER_START"], 0);
    EXPECT_LT(m["PARAM_DRIVER_END"], m["PARAM_MOTOR_START"]);
    EXPECT_LE(m["PARAM_MOTOR_START"], m["DB_Motor_No"]);
    EXPECT_LE(m["DB_Motor_No"], m["PARAM_MOTOR_END"]);
    EXPECT_LT(m["PARAM_MOTOR_END"], multi.count);
    for (const char* driverParam : {"DB_Motor_Tab", "DB_Var_ResetDrv_Flag",
                                    "DB_ExternSwitchEnable_Flags", "DB_Var_SerialComm_bps"})
        EXPECT_LE(m[driverParam], m["PARAM_DRIVER_END"]) << driverParam;
    // Old parameter files convert into motor parameters 48 .. 114.
    EXPECT_LE(m["PARAM_MOTOR_START"], 48);
    EXPECT_GE(m["PARAM_MOTOR_END"], 114);

    LoadedDrive servo;
    Load(kSampleServoVersion, servo);
    ASSERT_FALSE(HasFatalFailure());
    auto& s = servo.constants;
    EXPECT_GE(s["NUMBER_LINE_TESTARRAY"], 1);
    EXPECT_LE(s["NUMBER_LINE_TESTARRAY"], 16);  // one graph line per channel
    EXPECT_GE(s["NUMBER_COLUMN_TESTARRAY"], 2);
    EXPECT_LE(s["DB_TestArrayStart"] + s["NUMBER_LINE_TESTARRAY"] * s["NUMBER_COLUMN_TESTARRAY"],
              servo.count);
    // The recorded samples fit the drive's signed 16-bit answers.
    for (int i = 0; i < s["NUMBER_LINE_TESTARRAY"] * s["NUMBER_COLUMN_TESTARRAY"]; ++i) {
        const int v = servo.infos[s["DB_TestArrayStart"] + i].defaultValue;
        EXPECT_GE(v, -32768);
        EXPECT_LE(v, 32767);
    }
}

TEST(SampleDatabase, MotorAndErrorTablesServeTheDrives)
{
    std::deque<MotorInfo> motors;
    ASSERT_EQ(LoadMotorTable(motors), 0);
    std::deque<std::string> errors;
    ASSERT_EQ(LoadErrorTable(errors), 0);
    EXPECT_GE(errors.size(), 16u);
    EXPECT_EQ(errors[0], "No alarm");
    for (const SampleDrive& sample : kSamples) {
        LoadedDrive drive;
        Load(sample.version, drive);
        ASSERT_FALSE(HasFatalFailure());
        const int motor = drive.infos[drive.constants["DB_Motor_No"]].defaultValue;
        EXPECT_TRUE(std::any_of(motors.begin(), motors.end(), [&](const MotorInfo& m) {
            return m.number == motor && m.factor > 0 && !m.name.empty();
        })) << sample.version << " motor " << motor;
    }
}

TEST(SampleDatabase, DriveProfilesOfTheSampleVersions)
{
    for (const SampleDrive& sample : kSamples) {
        SCOPED_TRACE(sample.version);
        DriveProfile profile;
        std::string error = "stale";
        ASSERT_TRUE(LoadDriveProfile(sample.version, profile, error)) << error;
        EXPECT_EQ(error, "");
        LoadedDrive drive;
        Load(sample.version, drive);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(profile.versionText, sample.version);
        ASSERT_EQ(profile.values.size(), static_cast<size_t>(sample.parameterCount));
        // The test array holds the drive's own recording instead of the defaults.
        const auto recorded = [&](int n) {
            return n >= profile.testArrayStart &&
                   n < profile.testArrayStart + profile.testArrayLength;
        };
        for (const ParamInfo& info : drive.infos) {
            if (!recorded(info.number)) {
                EXPECT_EQ(profile.values[info.number], info.defaultValue);
            }
        }
        EXPECT_EQ(profile.baudRateParam, drive.constants["DB_Var_SerialComm_bps"]);
        EXPECT_EQ(profile.readOnly.count(static_cast<uint16_t>(profile.baudRateParam)), 0u);
        // Live measured values are read-only, settings are not.
        EXPECT_FALSE(profile.readOnly.empty());
        for (const VariableInfo& v : drive.sections[0].variables) {
            if (v.kind == kVcmKindEdit && v.format == kVcmFormatErrorText && v.live) {
                EXPECT_EQ(profile.readOnly.count(v.number), 1u) << v.text;
            }
            if (v.kind != kVcmKindHeader && v.kind != kVcmKindButton && !v.readOnly) {
                EXPECT_EQ(profile.readOnly.count(v.number), 0u) << v.text;
            }
        }
        if (sample.driverType == 100) {
            EXPECT_EQ(profile.motorTabParam, drive.constants["DB_Motor_Tab"]);
            EXPECT_EQ(profile.motorStart, drive.constants["PARAM_MOTOR_START"]);
            EXPECT_EQ(profile.motorEnd, drive.constants["PARAM_MOTOR_END"]);
            EXPECT_EQ(profile.readOnly.count(drive.constants["DB_Var_ResetDrv_Flag"]), 0u);
            EXPECT_EQ(profile.readOnly.count(drive.constants["DB_ExternSwitchEnable_Flags"]), 0u);
        } else {
            EXPECT_EQ(profile.motorTabParam, -1);
            EXPECT_EQ(profile.motorEnd, -1);
        }
        if (sample.driverType == 200) {
            EXPECT_EQ(profile.testArrayStart, 300);
            EXPECT_EQ(profile.testArrayLength, 256);
            EXPECT_EQ(profile.readOnly.count(300), 1u);
            EXPECT_EQ(profile.readOnly.count(555), 1u);
            EXPECT_EQ(profile.readOnly.count(556), 0u);
        } else {
            EXPECT_EQ(profile.testArrayStart, -1);
            EXPECT_EQ(profile.testArrayLength, 0);
        }
    }
}

TEST(SampleDatabase, SavedParametersAreWritable)
{
    // A saved parameter script writes back every saved parameter, so none of
    // them may be one the drive refuses.
    for (const SampleDrive& sample : kSamples) {
        SCOPED_TRACE(sample.version);
        DriveProfile profile;
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(sample.version, profile, error)) << error;
        LoadedDrive drive;
        Load(sample.version, drive);
        ASSERT_FALSE(HasFatalFailure());
        std::vector<std::pair<int, int>> saved;  // inclusive ranges
        if (sample.driverType == 100) {
            saved.push_back({drive.constants["PARAM_DRIVER_START"], drive.constants["PARAM_DRIVER_END"]});
            saved.push_back({drive.constants["PARAM_MOTOR_START"], drive.constants["PARAM_MOTOR_END"]});
        } else {
            saved.push_back({0, drive.constants["NUMBER_OF_PARAMETERS_EEPROM_ONLY"] - 1});
        }
        for (const auto& [first, last] : saved) {
            for (int n = first; n <= last; ++n)
                EXPECT_EQ(profile.readOnly.count(static_cast<uint16_t>(n)), 0u) << n;
        }
    }
}

TEST(SampleDatabase, DriveProfileFailuresSayWhatFailed)
{
    DriveProfile profile;
    profile.versionText = "untouched";
    std::string error;
    EXPECT_FALSE(LoadDriveProfile("Unknown Drive Version 9.9.9", profile, error));
    EXPECT_NE(error.find("Unknown Drive Version 9.9.9"), std::string::npos) << error;
    EXPECT_EQ(profile.versionText, "untouched");

    TempProgramFolder folder;
    folder.Write("VersionList.lua", "VersionList = { { 'D 1.x', 1, 'db.lua', 'def.lua', 'desc.lua' } }\n");
    folder.Write("db.lua", "NUMBER_OF_PARAMETERS = 4\nParamView = { { { 0, 0, 'a', 1 } } }\n");
    folder.Write("def.lua", "Default_Value = { 1, 2, 'x' }\n");
    folder.Write("desc.lua", "ParamDescription = { }\n");
    EXPECT_FALSE(LoadDriveProfile("D 1.0", profile, error));
    EXPECT_NE(error.find("Failed to get default value.\ndef.lua\nDefault_Value[2]"), std::string::npos)
        << error;

    folder.Write("def.lua", "Default_Value = { 1, 2, 3 }\n");
    folder.Write("db.lua", "ParamView = { { { 0, 0, 'a', 1 } } }\n");
    EXPECT_FALSE(LoadDriveProfile("D 1.0", profile, error));
    EXPECT_NE(error.find("NUMBER_OF_PARAMETERS"), std::string::npos) << error;

    folder.Write("db.lua", "NUMBER_OF_PARAMETERS = 4\nParamView = { { { 0, 0, 'a', 1, nil, 1, 1 } } }\n");
    ASSERT_TRUE(LoadDriveProfile("D 1.0", profile, error)) << error;
    EXPECT_EQ(profile.values, (std::vector<int32_t>{1, 2, 3, 0}));
    EXPECT_EQ(profile.readOnly, (std::set<uint16_t>{1}));
    EXPECT_EQ(profile.baudRateParam, 0);
}
