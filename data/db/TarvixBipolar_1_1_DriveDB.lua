-- Drive database of the Tarvix Bipolar step drive, versions 1.1.x: one motor,
-- pulse or internal speed/position control, 128 parameters.

NUMBER_OF_PARAMETERS = 128
NUMBER_OF_PARAMETERS_EEPROM_ONLY = 100    -- 100 .. 127 are live values
DB_Var_SerialComm_bps = 1
DB_Motor_No = 20

-- Page rows: names and row builders shared by the sample database.
dofile((debug.getinfo(1, 'S').source:match('^@(.*/)') or '') .. 'PageRows.lua')

local LOCKED = when(99, EQ, 1, READONLY)

ParamView = {
    {
        Title = 'Tarvix Bipolar',
        header('Drive status'),
        edit(ERRTEXT, 'Alarm', 100, 'rl'),
        button(COMMAND, '', 'Clear alarm', 'CA'),
        edit(PLAIN, 'Actual speed [rpm]', 102, 'rl'),
        edit(PLAIN, 'Actual position [steps]', 103, 'rl'),
        edit(DEC1, 'Supply voltage [V]', 104, 'rl'),
        edit(PLAIN, 'Drive temperature [degC]', 105, 'rl'),
        edit(DEC2, 'Motor current [A]', 106, 'rl'),
        switch('Inputs (lim-, lim+, home, enable, dir, step)', 107,
               { { 5, 1 }, { 4, 1 }, { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'rl'),

        header('Communication'),
        edit(PLAIN, 'Drive ID', 0, '', LOCKED),
        combo(0, 'Baud rate [bps]', 1, BAUD_RATES, '', LOCKED),
        combo(0, 'Parameter lock', 99, items('Unlocked', 'Locked'), 'n'),

        header('Motor'),
        edit(MNAME, 'Motor number', 20, '', LOCKED),
        combo(0, 'Microstep', 61, MICROSTEPS, '', LOCKED),
        combo(0, 'Direction', 23, items('CW', 'CCW'), '', LOCKED),
        edit(DEC2, 'Run current [A]', 24, '', LOCKED),
        combo(0, 'Automatic current reduction', 19, items('Off', 'On'), 'n', LOCKED),
        edit(DEC2, 'Stop current [A]', 25, '', when(19, EQ, 0, DISABLE), LOCKED),
        edit(PLAIN, 'Reduction delay [ms]', 27, '', when(19, EQ, 0, DISABLE), LOCKED),
        edit(DEC2, 'Boost current [A]', 26, '', LOCKED),
        combo(0, 'Current decay', 28, items('Slow', 'Mixed', 'Fast'), '', LOCKED),
        edit(PLAIN, 'Idle current [%]', 79, '', LOCKED),

        header('Motion'),
        combo(0, 'Control mode', 7, items('Pulse input', 'Internal speed', 'Internal position'), 'n',
              LOCKED),
        combo(0, 'Pulse input', 8, items('Step/Dir', 'CW/CCW', 'Quadrature'), '',
              when(7, GT, 0, DISABLE), LOCKED),
        edit(PLAIN, 'Internal speed [rpm]', 49, '', when(7, NE, 1, HIDE)),
        edit(PLAIN, 'Internal position [steps]', 50, '', when(7, NE, 2, HIDE)),
        combo(PARAMS, 'Preset speed [rpm]', 48, paramItems(33, 40), '', when(7, NE, 1, HIDE)),
        edit(PLAIN, 'Start speed [rpm]', 21, '', LOCKED),
        edit(PLAIN, 'Max speed [rpm]', 58, '', LOCKED),
        edit(MFACTOR, 'Step rate limit [pps]', 69, '', LOCKED),
        edit(PLAIN, 'Acceleration [rpm/s]', 59, '', LOCKED),
        edit(PLAIN, 'Deceleration [rpm/s]', 60, '', LOCKED),
        edit(DEC1, 'Jog speed [rpm]', 62, '', LOCKED),

        header('Homing'),
        combo(0, 'Home method', 17, items('None', 'Home switch', 'Limit switch', 'Stall'), 'n'),
        combo(0, 'Home direction', 18, items('CW', 'CCW'), '', when(17, LE, 0, DISABLE)),
        edit(DEC1, 'Home speed [rpm]', 63, '', when(17, LE, 0, DISABLE)),
        edit(PLAIN, 'Home offset [steps]', 64, '', when(17, LE, 0, DISABLE)),
        button(COMMAND, '', 'Start homing', 'HM', '', when(17, LE, 0, DISABLE), LOCKED),

        header('Anti-resonance'),
        edit(DEC2, 'Damping gain', 54, 'n', LOCKED),
        edit(PLAIN, 'Damping phase [deg]', 56, '', when(54, LT, 1, DISABLE), LOCKED),
        edit(DEC1, 'Anti-resonance frequency [Hz]', 55, '', when(54, LT, 1, DISABLE), LOCKED),

        header('Protection'),
        switch('Alarms enabled (stall, temp, volt, current)', 96,
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 }, { 7, 0 } }, 'n'),
        edit(PLAIN, 'Stall threshold [%]', 57, 'n', when(96, AND, 8, DISABLE), LOCKED),
        edit(PLAIN, 'Stall retries', 30, '', when(57, GE, 100, HIDE)),
        edit(PLAIN, 'Following error limit [steps]', 29, '', LOCKED),
        edit(PLAIN, 'Motor temperature limit [degC]', 4, '', LOCKED),
        edit(DEC1, 'Supply low limit [V]', 5, '', LOCKED),
        edit(DEC1, 'Supply high limit [V]', 6, '', LOCKED),
        combo(0, 'Limit switches', 16, items('Off', 'Stop', 'Alarm'), '', LOCKED),

        header('Inputs and outputs'),
        switch('Polarity (lim-, lim+, home, enable, dir, step)', 10,
               { { 5, 1 }, { 4, 1 }, { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, '', LOCKED),
        edit(PLAIN, 'Pulse filter [us]', 9, '', LOCKED),
        edit(PLAIN, 'Analog offset [mV]', 76, '', LOCKED),
        edit(DEC3, 'Analog gain', 77, '', LOCKED),
        edit(PLAIN, 'Brake engage delay [ms]', 67, '', LOCKED),
        edit(PLAIN, 'Brake release delay [ms]', 68, '', LOCKED),

        header('Alarm history'),
        edit(ERRTEXT, 'Last alarm', 110, 'rl'),
        edit(ERRTEXT, 'Alarm before', 111, 'r'),
        edit(PLAIN, 'Operating hours', 109, 'rl'),
    },
    {
        Title = 'Preset speeds',
        edit(PLAIN, 'Preset speed 1 [rpm]', 33),
        edit(PLAIN, 'Preset speed 2 [rpm]', 34),
        edit(PLAIN, 'Preset speed 3 [rpm]', 35),
        edit(PLAIN, 'Preset speed 4 [rpm]', 36),
    },
}

-- The preset speed section lists all sixteen presets (the sixteenth is number 51).
do
    local section = ParamView[2]
    for p = 37, 47 do
        section[#section + 1] = edit(PLAIN, 'Preset speed ' .. (p - 32) .. ' [rpm]', p)
    end
    section[#section + 1] = edit(PLAIN, 'Preset speed 16 [rpm]', 51)
end
