-- Helpers shared by the DriveDB files of the sample database: names for the
-- kinds, formats, operators and effects of page rows, and row builders.
-- A DriveDB file runs this first:
--   dofile((debug.getinfo(1, 'S').source:match('^@(.*/)') or '') .. 'PageRows.lua')

-- Page rows. Each row of a ParamView section is
--   { kind, format, label, parameter, options, read-only, live, notify,
--     op, parameter, reference, effect,      (condition 1)
--     op, parameter, reference, effect }     (condition 2)
EDIT, BUTTON, COMBO, SWITCH, HEADER = 0, 1, 2, 4, 8
-- Edit formats: decimals, power of ten (exponent in the next parameter),
-- times the motor factor, with the motor's name, with the error text.
PLAIN, DEC1, DEC2, DEC3, POW10, MFACTOR, MNAME, ERRTEXT = 0, 1, 2, 3, 4, 8, 16, 32
-- Combo formats that list other parameters' values (plain, times the motor factor).
PARAMS, PARAMS_MFACTOR = 2, 4
-- Button actions.
COMMAND, MOTOR_LIST, GRAPH = 0, 1, 2
-- Condition operators and effects.
EQ, LE, GE, LT, GT, NE, AND = 1, 2, 3, 4, 5, 6, 7
DISABLE, READONLY, HIDE = 1, 2, 4

-- flags: 'r' read-only, 'l' live (re-read from the drive and polled),
-- 'n' notify the page of each value shown (for conditions on it).
function row(kind, format, label, param, options, flags, c1, c2)
    flags = flags or ''
    c1 = c1 or { 0, 0, 0, 0 }
    c2 = c2 or { 0, 0, 0, 0 }
    local function has(f) return string.find(flags, f, 1, true) and 1 or 0 end
    return { kind, format, label, param, options, has('r'), has('l'), has('n'),
             c1[1], c1[2], c1[3], c1[4], c2[1], c2[2], c2[3], c2[4] }
end
function when(param, op, reference, effect) return { op, param, reference, effect } end
function header(label, c1, c2) return row(HEADER, 0, label, 0, nil, '', c1, c2) end
function edit(format, label, param, flags, c1, c2)
    return row(EDIT, format, label, param, nil, flags, c1, c2)
end
function combo(format, label, param, items, flags, c1, c2)
    return row(COMBO, format, label, param, items, flags, c1, c2)
end
function button(format, label, caption, command, flags, c1, c2)
    return row(BUTTON, format, label, 0, { caption, command }, flags, c1, c2)
end
-- bits: { bit, shown } pairs; a bit with shown 0 is left off the switch.
function switch(label, param, bits, flags, c1, c2)
    return row(SWITCH, 0, label, param, bits, flags, c1, c2)
end
-- Items numbered from 0 by position: { 'Off' }, { 'On' } ...
function items(...)
    local list = {}
    for _, text in ipairs({ ... }) do list[#list + 1] = { text } end
    return list
end
-- Items listing the values of parameters first .. last, item values from 0.
function paramItems(first, last)
    local list = {}
    for p = first, last do list[#list + 1] = { p, p - first } end
    return list
end

BAUD_RATES = { { '9600', 5 }, { '19200', 6 }, { '38400', 7 }, { '57600', 8 }, { '115200', 9 } }
MICROSTEPS = { { 1, 0 }, { 2, 1 }, { 4, 2 }, { 8, 3 }, { 16, 4 }, { 32, 5 }, { 64, 6 },
                     { 128, 7 }, { 256, 8 } }
