// The simulated drive's profile, taken from the drive database beside the
// program so that the drive and the program agree on the drive version.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <deque>
#include <string>

#include "drive/DriveRecords.h"
#include "drive/LuaManager.h"
#include "tools/drivesim/DriveProfile.h"

namespace {

enum : int { kMultiMotorDriverType = 100, kServoDriverType = 200 };

std::string Describe(const std::string& what, LuaDbResult r, const CLuaManager& db)
{
    std::string text = what + " (database result " + std::to_string(r) + ")";
    if (r == kLuaDbContentError && !db.GetLastErrorText().empty())
        text += ": " + db.GetLastErrorText();
    return text;
}

// One recorded sample of the servo's test array, at `sample` of `samples` on
// `channel`. The channels take turns at a sine wave, a square wave, a damped
// step response and a staircase (larger on every further four), so that a
// plot shows them apart.
int32_t RecordedSample(int channel, int sample, int samples)
{
    const double kPi = 3.14159265358979323846;
    const double t = samples > 1 ? static_cast<double>(sample) / (samples - 1) : 0.0;
    const double scale = 1.0 + channel / 4;
    double v = 0;
    switch (channel % 4) {
    case 0:
        v = 8000 * std::sin(2 * kPi * 2 * t);
        break;
    case 1:
        v = std::fmod(t * 3, 1.0) < 0.5 ? 5000 : -5000;
        break;
    case 2:
        v = t < 0.1 ? 0 : 6000 * (1 - std::exp(-(t - 0.1) * 8) * std::cos((t - 0.1) * 30));
        break;
    default:
        v = 1500.0 * std::floor(t * 6) - 4000;
        break;
    }
    return static_cast<int32_t>(std::clamp(v * scale, -32768.0, 32767.0));
}

}  // namespace

bool LoadDriveProfile(const std::string& versionText, DriveProfile& profile, std::string& error)
{
    int driverType = 0;
    LuaDbResult r = LookupDriverType(versionText.c_str(), &driverType);
    if (r != kLuaDbOk) {
        error = "no drive version matches \"" + versionText + "\" (database result " +
                std::to_string(r) + ")";
        return false;
    }

    CLuaManager db;
    r = db.OpenDriveDb(versionText.c_str());
    if (r != kLuaDbOk) {
        error = Describe("cannot open the drive database of \"" + versionText + "\"", r, db);
        return false;
    }

    const int count = db.GetGlobalNumber("NUMBER_OF_PARAMETERS");
    if (count == 0) {
        error = std::string("no NUMBER_OF_PARAMETERS in ") + db.GetDriveDbFile();
        return false;
    }

    DriveProfile p;
    p.versionText = versionText;
    p.baudRateParam = db.GetGlobalNumber("DB_Var_SerialComm_bps");
    if (driverType == kMultiMotorDriverType) {
        p.motorTabParam = db.GetGlobalNumber("DB_Motor_Tab");
        p.motorStart = db.GetGlobalNumber("PARAM_MOTOR_START");
        p.motorEnd = db.GetGlobalNumber("PARAM_MOTOR_END");
    }
    int testArrayLines = 0;
    if (driverType == kServoDriverType) {
        p.testArrayStart = db.GetGlobalNumber("DB_TestArrayStart");
        testArrayLines = db.GetGlobalNumber("NUMBER_LINE_TESTARRAY");
        // Two 16-bit counts: the product is taken wide, the array ends at the
        // last drive address.
        const long long length =
            static_cast<long long>(testArrayLines) * db.GetGlobalNumber("NUMBER_COLUMN_TESTARRAY");
        p.testArrayLength = static_cast<int>(std::min<long long>(length, 0x10000 - p.testArrayStart));
    }
    // Parameters the program itself writes are never refused.
    std::deque<uint16_t> written{static_cast<uint16_t>(p.baudRateParam)};
    if (driverType == kMultiMotorDriverType) {
        written.push_back(static_cast<uint16_t>(p.motorTabParam));
        written.push_back(db.GetGlobalNumber("DB_Var_ResetDrv_Flag"));
        written.push_back(db.GetGlobalNumber("DB_ExternSwitchEnable_Flags"));
    }

    std::deque<ParamInfo> infos;
    r = db.LoadParamInfo(infos, count);
    if (r != kLuaDbOk) {
        error = Describe(std::string("cannot read the defaults of ") + db.GetDriveDbFile(), r, db);
        return false;
    }
    std::deque<SectionInfo> sections;
    r = db.LoadParamView(sections);
    if (r != kLuaDbOk) {
        error = Describe(std::string("cannot read the pages of ") + db.GetDriveDbFile(), r, db);
        return false;
    }
    db.CloseDriveDb();

    p.values.reserve(infos.size());
    for (const ParamInfo& info : infos)
        p.values.push_back(info.defaultValue);

    // Read-only: the live measured values, that is rows shown read-only and
    // re-read from the drive, and the recorded test array.
    for (const SectionInfo& section : sections) {
        for (const VariableInfo& v : section.variables) {
            const bool valueRow = v.kind == kVcmKindEdit || v.kind == kVcmKindCombo ||
                                  v.kind == kVcmKindSwitch;
            if (valueRow && v.readOnly && v.live && v.number < count)
                p.readOnly.insert(v.number);
            // A button sends the command of its first option.
            if (v.kind == kVcmKindButton && !v.options.empty() && !v.options[0].command.empty()) {
                std::string word = v.options[0].command;
                std::transform(word.begin(), word.end(), word.begin(),
                               [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
                p.commandWords.insert(word);
            }
        }
    }
    for (int i = 0; i < p.testArrayLength; ++i) {
        const int n = p.testArrayStart + i;
        if (n < count)
            p.readOnly.insert(static_cast<uint16_t>(n));
    }
    // The drive holds a recording of its own, whatever the database's defaults
    // say: value j x lines + k is channel k at sample j.
    for (int i = 0; testArrayLines > 0 && i < p.testArrayLength; ++i) {
        const size_t n = static_cast<size_t>(p.testArrayStart + i);
        if (n < p.values.size())
            p.values[n] = RecordedSample(i % testArrayLines, i / testArrayLines,
                                         p.testArrayLength / testArrayLines);
    }
    for (uint16_t n : written)
        p.readOnly.erase(n);

    profile = std::move(p);
    error.clear();
    return true;
}
