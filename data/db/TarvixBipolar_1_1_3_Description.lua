-- Parameter descriptions of the Tarvix Bipolar multi-motor step drive 1.1.3, one per parameter, from number 0 on.
-- They become the comments of saved parameter scripts.

ParamDescription = {}
local function add(text) ParamDescription[#ParamDescription + 1] = text end

add('Drive ID')                                                  -- 0
add('Baud rate code (5 = 9600 bps)')                             -- 1
add('Motor pointer (motor slot 0-15)')                           -- 2
add('Reset drive flag (1 disconnects the motor)')                -- 3
add('Board switch enable flags')                                 -- 4
add('Reserved')                                                  -- 5
add('Slot select source (0 parameter, 1 inputs)')                -- 6
add('Control mode (0 pulse, 1 internal speed, 2 internal position)') -- 7
add('Pulse input type (0 step/dir, 1 CW/CCW, 2 quadrature)')     -- 8
add('Pulse input filter [us]')                                   -- 9
add('Input polarity bits')                                       -- 10
add('Output 1 function')                                         -- 11
add('Output 2 function')                                         -- 12
add('Enable input mode')                                         -- 13
add('Enable at power-on')                                        -- 14
add('Alarm output polarity')                                     -- 15
add('Limit switch action (0 off, 1 stop, 2 alarm)')              -- 16
add('Supply voltage low limit [0.1 V]')                          -- 17
add('Supply voltage high limit [0.1 V]')                         -- 18
add('Alarm enable bits')                                         -- 19
add('Communication watchdog [ms] (0 off)')                       -- 20
add('Parameter lock (0 unlocked, 1 locked)')                     -- 21
for n = 22, 37 do add(string.format('User register %d', n - 21)) end
for n = 38, 47 do add('Reserved') end
add('Motor number: ')                                            -- 48
add('Microstep resolution code (4 = 1/16)')                      -- 49
add('Motor direction (0 CW, 1 CCW)')                             -- 50
add('Run current [0.1 A]')                                       -- 51
add('Stop current [0.1 A]')                                      -- 52
add('Boost current [0.1 A]')                                     -- 53
add('Current reduction delay [ms]')                              -- 54
add('Acceleration [rpm/s]')                                      -- 55
add('Deceleration [rpm/s]')                                      -- 56
add('Current decay mode (0 slow, 1 mixed, 2 fast)')              -- 57
add('Start speed [rpm]')                                         -- 58
add('Max speed [rpm]')                                           -- 59
add('Jog speed [rpm]')                                           -- 60
add('Jog acceleration [rpm/s]')                                  -- 61
add('Home speed [rpm]')                                          -- 62
add('Home offset [steps]')                                       -- 63
add('Damping gain [0.1]')                                        -- 64
add('Damping phase [deg]')                                       -- 65
add('Anti-resonance frequency [Hz]')                             -- 66
add('Stall detect threshold [%]')                                -- 67
add('Step rate limit [motor units]')                             -- 68
add('Idle current [%]')                                          -- 69
add('Full steps per revolution')                                 -- 70
add('Motor inductance [0.1 mH]')                                 -- 71
add('Motor resistance [0.01 Ohm]')                               -- 72
add('Motor temperature limit [degC]')                            -- 73
add('Automatic current reduction')                               -- 74
add('Home method')                                               -- 75
add('Home direction')                                            -- 76
add('Home creep speed [rpm]')                                    -- 77
add('Home creep offset [steps]')                                 -- 78
add('High-speed damping gain [0.1]')                             -- 79
add('High-speed damping phase [deg]')                            -- 80
add('High-speed anti-resonance frequency [Hz]')                  -- 81
add('Encoder resolution [ppr]')                                  -- 82
for n = 83, 90 do add('Reserved') end
add('In-position window [steps]')                                -- 91
add('Following error limit [steps]')                             -- 92
add('Stall retries')                                             -- 93
add('Driver temperature limit [degC]')                           -- 94
add('Brake engage delay [ms]')                                   -- 95
add('Brake release delay [ms]')                                  -- 96
add('Input filter [ms]')                                         -- 97
add('Jog start speed [rpm]')                                     -- 98
for n = 99, 114 do add(string.format('Preset speed %d [rpm]', n - 98)) end
add('Preset speed select')                                       -- 115
for n = 116, 127 do add('Reserved') end
add('Alarm code')                                                -- 128
add('Drive status bits')                                         -- 129
add('Actual speed [rpm]')                                        -- 130
add('Actual position [steps]')                                   -- 131
add('Supply voltage [0.1 V]')                                    -- 132
add('Drive temperature [degC]')                                  -- 133
add('Input states')                                              -- 134
add('Output states')                                             -- 135
for n = 136, 143 do add(string.format('Alarm history %d', n - 135)) end
add('Active motor slot')                                         -- 144
add('Motion state (0 stopped, 1 accelerating, 2 running, 3 decelerating)')  -- 145
for n = 146, 159 do add('Reserved') end
