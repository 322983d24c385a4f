-- Drive database of the Tarvix Unipolar step drive, versions 3.0.x: one
-- five-phase unipolar motor, pulse, oscillator or indexer operation,
-- 112 parameters.

NUMBER_OF_PARAMETERS = 112
NUMBER_OF_PARAMETERS_EEPROM_ONLY = 80     -- 80 .. 111 are live values
DB_Var_SerialComm_bps = 0
DB_Motor_No = 3

-- Page rows: names and row builders shared by the sample database.
dofile((debug.getinfo(1, 'S').source:match('^@(.*/)') or '') .. 'PageRows.lua')

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
               { { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'rl', when(2, NE, INDEXER, HIDE)),
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
        edit(PLAIN, 'Start frequency [pps]', 7, '', when(53, NE, 0, READONLY)),
        edit(POW10, 'Max frequency [pps]', 8),
        edit(PLAIN, 'Ramp time [ms]', 10, '', when(2, EQ, PULSE, DISABLE)),
        edit(DEC3, 'Electronic gear', 11, '', when(2, NE, PULSE, HIDE)),
        edit(MFACTOR, 'Pulse scale', 12, '', when(2, NE, PULSE, HIDE)),

        header('Pulse input', when(2, NE, PULSE, DISABLE)),
        combo(0, 'Step edge', 18, items('Rising', 'Falling'), '', when(2, NE, PULSE, DISABLE)),
        combo(0, 'Direction logic', 19, items('High = CW', 'High = CCW'), '',
              when(2, NE, PULSE, DISABLE)),
        edit(DEC3, 'Filter time [ms]', 46, '', when(43, AND, 16, READONLY)),
        switch('Input logic (filter, home, cw, ccw, enable)', 43,
               { { 4, 1 }, { 3, 1 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }, 'n',
               when(2, NE, PULSE, DISABLE)),

        header('Oscillator', when(2, NE, OSCILLATOR, HIDE)),
        combo(0, 'Source', 20, items('Fixed', 'Analog input'), 'n', when(2, NE, OSCILLATOR, HIDE)),
        edit(PLAIN, 'Frequency [pps]', 21, '', when(2, NE, OSCILLATOR, HIDE),
             when(20, EQ, 1, DISABLE)),
        edit(POW10, 'Analog full scale [pps]', 23, '', when(2, NE, OSCILLATOR, HIDE),
             when(20, EQ, 0, DISABLE)),
        combo(0, 'Direction', 22, items('CW', 'CCW'), '', when(2, NE, OSCILLATOR, HIDE)),

        header('Indexer', when(2, NE, INDEXER, HIDE)),
        edit(PLAIN, 'Program', 25, '', when(2, NE, INDEXER, HIDE), when(53, NE, 0, READONLY)),
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
