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

-- Page rows: names and row builders shared by the sample database.
dofile((debug.getinfo(1, 'S').source:match('^@(.*/)') or '') .. 'PageRows.lua')

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
        combo(0, 'Motion state', 145, items('Stopped', 'Accelerating', 'Running', 'Decelerating'),
              'rl'),

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
        edit(PLAIN, 'Start speed [rpm]', 58, '', LOCKED),
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
