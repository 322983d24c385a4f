-- Parameter descriptions of the Tarvix Bipolar step drive 1.1.x, one per parameter, from number 0 on.
-- They become the comments of saved parameter scripts.

ParamDescription = {}
local function add(text) ParamDescription[#ParamDescription + 1] = text end

add('Drive ID')                                                  -- 0
add('Baud rate code (5 = 9600 bps)')                             -- 1
add('Response delay [ms]')                                       -- 2
add('Command echo')                                              -- 3
add('Motor temperature limit [degC]')                            -- 4
add('Supply voltage low limit [0.1 V]')                          -- 5
add('Supply voltage high limit [0.1 V]')                         -- 6
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
add('Home method')                                               -- 17
add('Home direction')                                            -- 18
add('Automatic current reduction')                               -- 19
add('Motor number: ')                                            -- 20
add('Start speed [rpm]')                                         -- 21
add('Speed unit (0 rpm, 1 pps)')                                 -- 22
add('Motor direction (0 CW, 1 CCW)')                             -- 23
add('Run current [0.01 A]')                                      -- 24
add('Stop current [0.01 A]')                                     -- 25
add('Boost current [0.01 A]')                                    -- 26
add('Current reduction delay [ms]')                              -- 27
add('Current decay mode (0 slow, 1 mixed, 2 fast)')              -- 28
add('Following error limit [steps]')                             -- 29
add('Stall retries')                                             -- 30
add('In-position window [steps]')                                -- 31
add('Input filter [ms]')                                         -- 32
for n = 33, 47 do add(string.format('Preset speed %d [rpm]', n - 32)) end
add('Preset speed select')                                       -- 48
add('Internal speed command [rpm]')                              -- 49
add('Internal position target [steps]')                          -- 50
add('Preset speed 16 [rpm]')                                     -- 51
add('Jog acceleration [rpm/s]')                                  -- 52
add('Reserved')                                                  -- 53
add('Damping gain [0.01]')                                       -- 54
add('Anti-resonance frequency [0.1 Hz]')                         -- 55
add('Damping phase [deg]')                                       -- 56
add('Stall detect threshold [%]')                                -- 57
add('Max speed [rpm]')                                           -- 58
add('Acceleration [rpm/s]')                                      -- 59
add('Deceleration [rpm/s]')                                      -- 60
add('Microstep resolution code (4 = 1/16)')                      -- 61
add('Jog speed [0.1 rpm]')                                       -- 62
add('Home speed [0.1 rpm]')                                      -- 63
add('Home offset [steps]')                                       -- 64
add('Reserved')                                                  -- 65
add('Encoder resolution [ppr]')                                  -- 66
add('Brake engage delay [ms]')                                   -- 67
add('Brake release delay [ms]')                                  -- 68
add('Step rate limit [motor units]')                             -- 69
add('Input 1 function')                                          -- 70
add('Input 2 function')                                          -- 71
add('Input 3 function')                                          -- 72
add('Input 4 function')                                          -- 73
add('Output 1 logic')                                            -- 74
add('Output 2 logic')                                            -- 75
add('Analog input offset [mV]')                                  -- 76
add('Analog input gain [0.001]')                                 -- 77
add('Analog dead band [mV]')                                     -- 78
add('Idle current [%]')                                          -- 79
for n = 80, 95 do add(string.format('User register %d', n - 79)) end
add('Alarm enable bits')                                         -- 96
add('Communication watchdog [ms] (0 off)')                       -- 97
add('Status display mode')                                       -- 98
add('Parameter lock (0 unlocked, 1 locked)')                     -- 99
add('Alarm code')                                                -- 100
add('Drive status bits')                                         -- 101
add('Actual speed [rpm]')                                        -- 102
add('Actual position [steps]')                                   -- 103
add('Supply voltage [0.1 V]')                                    -- 104
add('Drive temperature [degC]')                                  -- 105
add('Motor current [0.01 A]')                                    -- 106
add('Input states')                                              -- 107
add('Output states')                                             -- 108
add('Operating hours')                                           -- 109
for n = 110, 117 do add(string.format('Alarm history %d', n - 109)) end
add('Power-on count')                                            -- 118
add('Firmware checksum')                                         -- 119
for n = 120, 127 do add('Reserved') end
