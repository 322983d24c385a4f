-- Drive database of the Tarvix Unipolar step drive, versions 3.0.x: one
-- five-phase unipolar motor, pulse, oscillator or indexer operation,
-- 112 parameters.

NUMBER_OF_PARAMETERS = 112
NUMBER_OF_PARAMETERS_EEPROM_ONLY = 80     -- 80 .. 111 are live values
DB_Var_SerialComm_bps = 0
DB_Motor_No = 3

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

local PULSE, OSCILLATOR, INDEXER = 0, 1, 2

ParamView = {
    {
        Title = 'Tarvix Unipolar',
        header('Status'),
        edit(ERRTEXT, 'Alarm', 80, 'rln'),
        edit(PLAIN, 'Output frequency [pps]', 82, 'rl'),
        edit(PLAIN, 'Step counter', 83, 'rl'),
        edit(DEC1, 'Phase current [A]', 84, 'rl'),
        edit(PLAIN, 'Heat sink temperature [degC]', 85, 'rln', when(85, LT, 0, HIDE)),
        switch('Input monitor (busy, home, cw, ccw)', 86,
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'rl'),
        button(COMMAND, '', 'Reset alarm', 'CA', '', when(80, EQ, 0, DISABLE)),

        header('Drive'),
        combo(0, 'Baud rate [bps]', 0, BAUD_RATES),
        edit(PLAIN, 'Drive address', 1),
        combo(0, 'Operating mode', 2, items('Pulse input', 'Oscillator', 'Indexer'), 'n'),
        combo(0, 'Keypad', 53, items('Enabled', 'Locked'), 'n'),

        header('Motor'),
        edit(MNAME, 'Motor number', 3, '', when(53, NE, 0, READONLY)),
        combo(0, 'Microstep', 4, MICROSTEPS, '', when(53, NE, 0, DISABLE)),
        edit(DEC1, 'Phase current [A]', 5, 'n', when(53, NE, 0, READONLY)),
        combo(PARAMS_MFACTOR, 'Current preset', 13, paramItems(14, 17), ''),
        edit(PLAIN, 'Hold current [%]', 6, '', when(48, EQ, 0, DISABLE), when(53, NE, 0, READONLY)),
        combo(0, 'Auto current down', 48, items('Off', 'On'), 'n'),
        edit(PLAIN, 'Current down delay [ms]', 49, '', when(48, EQ, 0, HIDE)),
        combo(0, 'Smooth drive', 51, { { 'Off', 0 }, { 'Low', 1 }, { 'Medium', 3 }, { 'High', 5 } }),
        edit(PLAIN, 'Overheat limit [degC]', 50),

        header('Speed'),
        edit(PLAIN, 'Start frequency [pps]', 7, 'n', when(7, GT, 5000, DISABLE)),
        edit(POW10, 'Max frequency [pps]', 8),
        edit(PLAIN, 'Ramp time [ms]', 10, '', when(2, EQ, PULSE, DISABLE)),
        edit(DEC3, 'Electronic gear', 11, '', when(2, NE, PULSE, HIDE)),
        edit(MFACTOR, 'Pulse scale', 12, '', when(2, NE, PULSE, HIDE)),

        header('Pulse input'),
        combo(0, 'Step edge', 18, items('Rising', 'Falling'), '', when(2, NE, PULSE, DISABLE)),
        combo(0, 'Direction logic', 19, items('High = CW', 'High = CCW'), '',
              when(2, NE, PULSE, DISABLE)),
        edit(DEC3, 'Filter time [ms]', 46, '', when(43, AND, 16, READONLY)),
        switch('Input logic (filter lock, home, cw, ccw, enable)', 43,
               { { 4, 1 }, { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'n'),

        header('Oscillator'),
        combo(0, 'Source', 20, items('Fixed', 'Analog input'), 'n', when(2, NE, OSCILLATOR, HIDE)),
        edit(PLAIN, 'Frequency [pps]', 21, '', when(2, NE, OSCILLATOR, HIDE),
             when(20, EQ, 1, DISABLE)),
        edit(POW10, 'Analog full scale [pps]', 23, '', when(2, NE, OSCILLATOR, HIDE),
             when(20, EQ, 0, DISABLE)),
        combo(0, 'Direction', 22, items('CW', 'CCW'), '', when(2, NE, OSCILLATOR, HIDE)),

        header('Indexer'),
        edit(PLAIN, 'Program', 25, 'n', when(2, NE, INDEXER, HIDE), when(25, GE, 9, READONLY)),
        combo(PARAMS, 'Index 1-4 distance', 26, paramItems(27, 30), '', when(2, NE, INDEXER, HIDE)),
        edit(PLAIN, 'Home speed [pps]', 64, '', when(2, LE, OSCILLATOR, HIDE)),
        edit(PLAIN, 'Zero offset [steps]', 62, '', when(2, LE, OSCILLATOR, HIDE)),
        button(COMMAND, '', 'Find home', 'HM', '', when(2, LT, INDEXER, DISABLE)),
        button(COMMAND, '', 'Run program', 'RP', '', when(2, NE, INDEXER, HIDE),
               when(80, NE, 0, DISABLE)),

        header('Alarm history'),
        edit(ERRTEXT, 'Last alarm', 88, 'rl'),
        edit(ERRTEXT, 'Alarm before', 89, 'r'),
        edit(PLAIN, 'Load factor [%]', 87, 'rl'),
    },
    {
        Title = 'Indexer table',
    },
}

-- The indexer table: distance and speed of each of the eight indexes.
do
    local section = ParamView[2]
    for i = 1, 8 do
        section[#section + 1] = header('Index ' .. i)
        section[#section + 1] = edit(PLAIN, 'Distance [steps]', 26 + i)
        section[#section + 1] = edit(PLAIN, 'Speed [pps]', 34 + i)
    end
end
