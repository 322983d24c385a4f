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

-- Page rows. Each row of a ParamView section is
--   { kind, format, label, parameter, options, read-only, live, notify,
--     op, parameter, reference, effect,      (condition 1)
--     op, parameter, reference, effect }     (condition 2)
local EDIT, BUTTON, COMBO, SWITCH, HEADER = 0, 1, 2, 4, 8
-- Edit formats: decimals, power of ten (exponent in the next parameter),
-- times the motor factor, with the motor's name, with the error text.
local PLAIN, DEC1, DEC2, DEC3, POW10, MFACTOR, MNAME, ERRTEXT = 0, 1, 2, 3, 4, 8, 16, 32
-- Combo formats that list other parameters' values (plain, times the motor factor).
local PARAMS, PARAMS_MFACTOR = 2, 4
-- Button actions.
local COMMAND, MOTOR_LIST, GRAPH = 0, 1, 2
-- Condition operators and effects.
local EQ, LE, GE, LT, GT, NE, AND = 1, 2, 3, 4, 5, 6, 7
local DISABLE, READONLY, HIDE = 1, 2, 4

-- flags: 'r' read-only, 'l' live (re-read from the drive and polled),
-- 'n' notify the page of each value shown (for conditions on it).
local function row(kind, format, label, param, options, flags, c1, c2)
    flags = flags or ''
    c1 = c1 or { 0, 0, 0, 0 }
    c2 = c2 or { 0, 0, 0, 0 }
    local function has(f) return string.find(flags, f, 1, true) and 1 or 0 end
    return { kind, format, label, param, options, has('r'), has('l'), has('n'),
             c1[1], c1[2], c1[3], c1[4], c2[1], c2[2], c2[3], c2[4] }
end
local function when(param, op, reference, effect) return { op, param, reference, effect } end
local function header(label) return row(HEADER, 0, label, 0) end
local function edit(format, label, param, flags, c1, c2)
    return row(EDIT, format, label, param, nil, flags, c1, c2)
end
local function combo(format, label, param, items, flags, c1, c2)
    return row(COMBO, format, label, param, items, flags, c1, c2)
end
local function button(format, label, caption, command, flags, c1, c2)
    return row(BUTTON, format, label, 0, { caption, command }, flags, c1, c2)
end
-- bits: { bit, shown } pairs; a bit with shown 0 is left off the switch.
local function switch(label, param, bits, flags, c1, c2)
    return row(SWITCH, 0, label, param, bits, flags, c1, c2)
end
-- Items numbered from 0 by position: { 'Off' }, { 'On' } ...
local function items(...)
    local list = {}
    for _, text in ipairs({ ... }) do list[#list + 1] = { text } end
    return list
end
-- Items listing the values of parameters first .. last, item values from 0.
local function paramItems(first, last)
    local list = {}
    for p = first, last do list[#list + 1] = { p, p - first } end
    return list
end

local BAUD_RATES = { { '9600', 5 }, { '19200', 6 }, { '38400', 7 }, { '57600', 8 }, { '115200', 9 } }
local MICROSTEPS = { { 1, 0 }, { 2, 1 }, { 4, 2 }, { 8, 3 }, { 16, 4 }, { 32, 5 }, { 64, 6 },
                     { 128, 7 }, { 256, 8 } }

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
        edit(PLAIN, 'Peak current [mA]', 9, 'n', when(9, LT, 8, READONLY)),
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
        combo(PARAMS, 'Gain set', 90, paramItems(91, 94), ''),

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
        switch('Recorded channels (error, current, velocity, position)', 37,
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
