-- Drive database of the Morvane VCM servo drive, versions 2.0.x: a voice-coil
-- actuator with position, velocity and force control and a recorder. 600
-- parameters: settings 0 .. 199, live values 200 .. 299, the recorded test
-- array 300 .. 555 (4 channels of 64 samples, sample j of channel c at
-- 300 + 4 * j + c), reserved 556 .. 599.

NUMBER_OF_PARAMETERS = 600
NUMBER_OF_PARAMETERS_EEPROM_ONLY = 200
DB_Var_SerialComm_bps = 0
DB_Motor_No = 3
DB_TestArrayStart = 300
NUMBER_LINE_TESTARRAY = 4       -- channels, one graph line each
NUMBER_COLUMN_TESTARRAY = 64    -- samples per channel

-- Page rows: names and row builders shared by the sample database.
dofile((debug.getinfo(1, 'S').source:match('^@(.*/)') or '') .. 'PageRows.lua')

local POSITION, VELOCITY, FORCE = 0, 1, 2
local LOCKED = when(40, EQ, 1, READONLY)

ParamView = {
    {
        Title = 'Morvane VCM',
        header('Servo status'),
        edit(ERRTEXT, 'Alarm', 200, 'rln'),
        button(COMMAND, '', 'Reset alarm', 'CA', '', when(200, EQ, 0, DISABLE)),
        switch('Status (alarm, moving, in position, servo on)', 201,
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'rln'),
        edit(DEC3, 'Actual position [mm]', 202, 'rl'),
        edit(DEC3, 'Actual velocity [m/s]', 203, 'rl'),
        edit(PLAIN, 'Actual current [mA]', 204, 'rl'),
        edit(PLAIN, 'Following error [um]', 205, 'rl', when(2, NE, POSITION, HIDE)),
        edit(DEC1, 'Bus voltage [V]', 206, 'rl'),
        edit(PLAIN, 'Coil temperature [degC]', 207, 'rl'),

        header('Drive'),
        combo(0, 'Baud rate [bps]', 0, BAUD_RATES, '', LOCKED),
        edit(PLAIN, 'Station number', 1, '', LOCKED),
        combo(0, 'Parameter lock', 40, items('Unlocked', 'Locked'), 'n'),
        edit(MNAME, 'Actuator', 3, '', LOCKED),
        combo(0, 'Control mode', 2, items('Position', 'Velocity', 'Force'), 'n', LOCKED),
        combo(0, 'Command source', 5, items('Serial', 'Analog', 'Pulse'), 'n', LOCKED),
        combo(0, 'Servo on at power-on', 4, items('No', 'Yes'), '', LOCKED),

        header('Limits'),
        edit(PLAIN, 'Force limit [mN]', 7, '', LOCKED),
        edit(PLAIN, 'Continuous current [mA]', 8, 'n', LOCKED),
        edit(PLAIN, 'Peak current [mA]', 9, 'n', when(8, EQ, 0, READONLY), LOCKED),
        edit(PLAIN, 'Peak current time [ms]', 10, '', when(9, LE, 8, DISABLE)),
        edit(DEC3, 'Velocity limit [m/s]', 20, '', when(2, EQ, FORCE, DISABLE), LOCKED),
        edit(PLAIN, 'Software limit + [um]', 25, '', when(2, NE, POSITION, HIDE)),
        edit(PLAIN, 'Software limit - [um]', 26, '', when(2, NE, POSITION, HIDE)),

        header('Tuning'),
        edit(POW10, 'Position gain [1/s]', 11, '', when(2, GT, POSITION, DISABLE), LOCKED),
        edit(POW10, 'Velocity gain [A s/m]', 13, '', when(2, GE, FORCE, DISABLE), LOCKED),
        edit(DEC1, 'Velocity integral time [ms]', 15, '', when(2, GE, FORCE, DISABLE), LOCKED),
        edit(PLAIN, 'Feed-forward [%]', 17, '', when(2, NE, POSITION, HIDE)),
        edit(PLAIN, 'Notch frequency [Hz]', 18, 'n', LOCKED),
        edit(PLAIN, 'Notch depth', 19, '', when(18, EQ, 0, DISABLE)),
        combo(PARAMS, 'Gain set', 99, paramItems(91, 94), '', LOCKED),
        button(COMMAND, '', 'Auto tune', 'AT', 'r'),

        header('Motion'),
        edit(PLAIN, 'Acceleration [mm/s2]', 21, '', LOCKED),
        edit(PLAIN, 'Deceleration [mm/s2]', 22, '', LOCKED),
        edit(PLAIN, 'In-position window [um]', 23, '', when(2, NE, POSITION, HIDE)),
        edit(PLAIN, 'Following error limit [um]', 24, '', when(2, NE, POSITION, HIDE)),
        combo(PARAMS_MFACTOR, 'Velocity table entry', 90, paramItems(58, 61), '',
              when(2, NE, VELOCITY, HIDE)),
        combo(0, 'Home method', 27, items('None', 'Hard stop', 'Index'), 'n'),
        edit(DEC3, 'Home velocity [m/s]', 28, '', when(27, EQ, 0, DISABLE)),
        edit(PLAIN, 'Home offset [um]', 29, '', when(27, EQ, 0, DISABLE)),
        button(COMMAND, '', 'Home', 'HM', '', when(27, EQ, 0, DISABLE), when(201, AND, 1, DISABLE)),

        header('Encoder and I/O'),
        edit(PLAIN, 'Encoder resolution [nm]', 30, '', LOCKED),
        combo(0, 'Encoder direction', 31, items('Normal', 'Reversed'), '', LOCKED),
        switch('Input polarity (home, limit-, limit+, enable)', 32,
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, '', LOCKED),
        edit(PLAIN, 'Analog offset [mV]', 35, '', when(5, NE, 1, HIDE)),
        edit(DEC3, 'Analog gain', 36, '', when(5, NE, 1, HIDE)),

        header('Recorder'),
        switch('Record (error, current, velocity, position)', 37,
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }),
        edit(DEC1, 'Interval [ms]', 38),
        combo(0, 'Trigger', 39, items('Immediate', 'On move')),
        button(GRAPH, '', 'Record and show', 'TR'),

        header('Alarm history'),
        edit(ERRTEXT, 'Last alarm', 210, 'rl'),
        edit(ERRTEXT, 'Alarm before', 211, 'r'),
    },
    { Title = 'Position table' },
    { Title = 'Velocity table' },
    { Title = 'Force table' },
}

-- The three motion tables, sixteen entries each.
do
    local tables = { { 2, 42, 'Position %d [um]' }, { 3, 58, 'Velocity %d [0.001 m/s]' },
                     { 4, 74, 'Force %d [mN]' } }
    for _, t in ipairs(tables) do
        local section = ParamView[t[1]]
        for i = 1, 16 do
            section[#section + 1] = edit(PLAIN, string.format(t[3], i), t[2] + i - 1)
        end
    end
end
