#pragma once

// "VR" answers of the drive versions in the sample database (data/).

// Tarvix Bipolar 1.1.x, DriverType 1: single-motor step drive, 128 parameters.
inline constexpr const char kSampleBipolarVersion[] = "Tarvix Bipolar Version 1.1.2 (Jan 12 2026)";
// Tarvix Unipolar 3.0.x, DriverType 300: single-motor step drive, 112 parameters.
inline constexpr const char kSampleUnipolarVersion[] = "Tarvix Unipolar Version 3.0.1 (Feb 3 2026)";
// Tarvix Bipolar 1.1.3, DriverType 100: 16 motor slots, 160 parameters.
inline constexpr const char kSampleMultiMotorVersion[] =
    "Tarvix Bipolar Version 1.1.3 (Feb 20 2026)";
// Morvane VCM 2.0.x, DriverType 200: servo drive with a test array, 600 parameters.
inline constexpr const char kSampleServoVersion[] = "Morvane VCM Version 2.0.5 (Mar 2 2026)";

// The version text the parameter converter builds for old Bipolar 1.1 files;
// it opens the multi-motor database.
inline constexpr const char kSampleConverterTargetVersion[] = "Tarvix Bipolar Version 1.1.3.0";

inline constexpr const char* kSampleVersions[] = {kSampleBipolarVersion, kSampleUnipolarVersion,
                                                  kSampleMultiMotorVersion, kSampleServoVersion};
