-- Drive versions known to the program. Each entry: version pattern, DriverType
-- (1 and 300 single-motor step drives, 100 the multi-motor step drive, 200 the
-- servo drive), then the DriveDB, Default and Description files of the version.
--
-- In a pattern a lower-case 'x' stands for a run of digits, and the drive's
-- "VR" answer may go on beyond the pattern. The first entry that matches is
-- used, so the multi-motor 1.1.3 comes before the other Bipolar 1.1.x versions.
-- The parameter converter's target for old Bipolar 1.1 files is
-- "Tarvix Bipolar Version 1.1.3.0", the multi-motor database.

VersionList = {
    { 'Tarvix Bipolar Version 1.1.3', 100,
      'db/TarvixBipolar_1_1_3_DriveDB.lua', 'db/TarvixBipolar_1_1_3_Default.lua',
      'db/TarvixBipolar_1_1_3_Description.lua' },
    { 'Tarvix Bipolar Version 1.1.x', 1,
      'db/TarvixBipolar_1_1_DriveDB.lua', 'db/TarvixBipolar_1_1_Default.lua',
      'db/TarvixBipolar_1_1_Description.lua' },
    { 'Tarvix Unipolar Version 3.0.x', 300,
      'db/TarvixUnipolar_3_0_DriveDB.lua', 'db/TarvixUnipolar_3_0_Default.lua',
      'db/TarvixUnipolar_3_0_Description.lua' },
    { 'Morvane VCM Version 2.0.x', 200,
      'db/MorvaneVcm_2_0_DriveDB.lua', 'db/MorvaneVcm_2_0_Default.lua',
      'db/MorvaneVcm_2_0_Description.lua' },
}
