-- Drive versions known to the program. Each entry: version pattern, DriverType
-- (1 and 300 single-motor step drives, 100 the multi-motor step drive, 200 the
-- servo drive), then the DriveDB, Default and Description files of the version.
--
-- In a pattern a lower-case 'x' stands for a run of digits, and the drive's
-- "VR" answer may go on beyond the pattern. The first entry that matches is
-- used, so the multi-motor 1.1.3 comes before the other Bipolar 1.1.x versions.
-- Because 'x' never matches a letter, the step drives of these versions
-- answer with the family word in capitals ("TARVIX"); only a pattern that stops
-- before the 'x' can match "Tarvix": the last entry takes the version texts
-- that the parameter converter builds ("Tarvix Bipolar Version 1.1.3.0") to
-- the multi-motor database.

VersionList = {
    { 'TARVIX Bipolar Version 1.1.3', 100,
      'db/TarvixBipolar_1_1_3_DriveDB.lua', 'db/TarvixBipolar_1_1_3_Default.lua',
      'db/TarvixBipolar_1_1_3_Description.lua' },
    { 'TARVIX Bipolar Version 1.1.x', 1,
      'db/TarvixBipolar_1_1_DriveDB.lua', 'db/TarvixBipolar_1_1_Default.lua',
      'db/TarvixBipolar_1_1_Description.lua' },
    { 'TARVIX Unipolar Version 3.0.x', 300,
      'db/TarvixUnipolar_3_0_DriveDB.lua', 'db/TarvixUnipolar_3_0_Default.lua',
      'db/TarvixUnipolar_3_0_Description.lua' },
    { 'Morvane VCM Version 2.0.x', 200,
      'db/MorvaneVcm_2_0_DriveDB.lua', 'db/MorvaneVcm_2_0_Default.lua',
      'db/MorvaneVcm_2_0_Description.lua' },
    { 'Tarvi', 100,
      'db/TarvixBipolar_1_1_3_DriveDB.lua', 'db/TarvixBipolar_1_1_3_Default.lua',
      'db/TarvixBipolar_1_1_3_Description.lua' },
}
