-- Drive database of the Tarvix Bipolar multi-motor step drive, version 1.1.3:
-- sixteen motor slots. Parameters 0 .. 47 belong to the drive, 48 .. 127 to
-- the motor slot that the motor pointer selects, 128 .. 159 are live values.

NUMBER_OF_PARAMETERS = 160
NUMBER_OF_PARAMETERS_EEPROM_ONLY = 128
DB_Var_SerialComm_bps = 1
DB_Motor_No = 48
DB_Motor_Tab = 2
DB_Var_ResetDrv_Flag = 3
DB_ExternSwitchEnable_Flags = 4
PARAM_DRIVER_START = 0
PARAM_DRIVER_END = 47
PARAM_MOTOR_START = 48
PARAM_MOTOR_END = 127

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

local SLOTS = {}
for slot = 0, 15 do SLOTS[#SLOTS + 1] = { 'Slot ' .. slot, slot } end

local LOCKED = when(21, EQ, 1, READONLY)

ParamView = {
    {
        Title = 'Tarvix Bipolar multi-motor',
        header('Drive status'),
        edit(ERRTEXT, 'Alarm', 128, 'rln'),
        button(COMMAND, '', 'Clear alarm', 'CA', '', when(128, EQ, 0, DISABLE)),
        edit(PLAIN, 'Actual speed [rpm]', 130, 'rl'),
        edit(PLAIN, 'Actual position [steps]', 131, 'rl'),
        edit(DEC1, 'Supply voltage [V]', 132, 'rl'),
        edit(PLAIN, 'Drive temperature [degC]', 133, 'rl'),
        switch('Inputs (slot 3..0, enable)', 134,
               { { 4, 1 }, { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'rl'),

        header('Drive'),
        edit(PLAIN, 'Drive ID', 0, '', LOCKED),
        combo(0, 'Baud rate [bps]', 1, BAUD_RATES, '', LOCKED),
        combo(0, 'Parameter lock', 21, items('Unlocked', 'Locked'), 'n'),
        switch('Board switches (current, microstep, slot)', 4,
               { { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'n'),
        combo(0, 'Slot select', 6, items('Parameter', 'Inputs'), 'n', when(4, AND, 1, DISABLE)),
        edit(PLAIN, 'Active slot', 144, 'rl', when(6, EQ, 0, HIDE)),
        combo(0, 'Motor', 3, items('Connected', 'Disconnected'), 'r'),
        button(MOTOR_LIST, '', 'Motor list...', ''),

        header('Control'),
        combo(0, 'Control mode', 7, items('Pulse input', 'Internal speed', 'Internal position'),
              'n', LOCKED),
        combo(0, 'Pulse input', 8, items('Step/Dir', 'CW/CCW', 'Quadrature'), '',
              when(7, GT, 0, DISABLE), LOCKED),
        edit(PLAIN, 'Pulse filter [us]', 9, '', when(7, GE, 1, HIDE)),
        combo(0, 'Limit switches', 16, items('Off', 'Stop', 'Alarm'), '', LOCKED),
        edit(DEC1, 'Supply low limit [V]', 17, '', LOCKED),
        edit(DEC1, 'Supply high limit [V]', 18, '', LOCKED),
        switch('Alarms enabled (stall, temp, volt, current)', 19,
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'n', LOCKED),

        header('Motor slot'),
        combo(0, 'Motor pointer', 2, SLOTS, 'n'),
        edit(MNAME, 'Motor number', 48, 'n', LOCKED, when(4, AND, 4, DISABLE)),
        combo(0, 'Microstep', 49, MICROSTEPS, '', when(4, AND, 2, DISABLE), LOCKED),
        combo(0, 'Direction', 50, items('CW', 'CCW'), '', LOCKED),
        edit(DEC1, 'Run current [A]', 51, '', when(4, AND, 4, DISABLE), LOCKED),
        edit(DEC1, 'Stop current [A]', 52, '', when(74, EQ, 0, DISABLE), LOCKED),
        edit(DEC1, 'Boost current [A]', 53, '', LOCKED),
        combo(0, 'Automatic current reduction', 74, items('Off', 'On'), 'n', LOCKED),
        edit(PLAIN, 'Reduction delay [ms]', 54, '', when(74, EQ, 0, HIDE)),
        combo(0, 'Current decay', 57, items('Slow', 'Mixed', 'Fast'), '', LOCKED),
        edit(PLAIN, 'Start speed [rpm]', 58, 'n', when(58, GT, 300, READONLY)),
        edit(PLAIN, 'Max speed [rpm]', 59, '', LOCKED),
        edit(MFACTOR, 'Step rate limit [pps]', 68, '', LOCKED),
        edit(PLAIN, 'Acceleration [rpm/s]', 55, '', LOCKED),
        edit(PLAIN, 'Deceleration [rpm/s]', 56, '', LOCKED),
        combo(PARAMS_MFACTOR, 'Preset step rate [pps]', 115, paramItems(99, 106), '',
              when(7, NE, 1, HIDE)),
        edit(PLAIN, 'Jog speed [rpm]', 60, '', LOCKED),
        edit(DEC1, 'Damping gain', 64, 'n', LOCKED),
        edit(PLAIN, 'Damping phase [deg]', 65, '', when(64, LT, 1, DISABLE)),
        edit(PLAIN, 'Anti-resonance frequency [Hz]', 66, '', when(64, LE, 0, DISABLE)),
        edit(PLAIN, 'Stall threshold [%]', 67, '', when(19, AND, 8, DISABLE)),
        edit(PLAIN, 'Encoder resolution [ppr]', 82, '', LOCKED),
        edit(PLAIN, 'In-position window [steps]', 91, '', LOCKED),
        edit(PLAIN, 'Following error limit [steps]', 92, '', LOCKED),

        header('Alarm history'),
        edit(ERRTEXT, 'Last alarm', 136, 'rl'),
        edit(ERRTEXT, 'Alarm before', 137, 'r'),
    },
    {
        Title = 'Preset speeds of the motor slot',
    },
}

do
    local section = ParamView[2]
    for p = 99, 114 do
        section[#section + 1] = edit(PLAIN, 'Preset speed ' .. (p - 98) .. ' [rpm]', p)
    end
end
