-- Parameter descriptions of the Morvane VCM servo drive 2.0.x, one per parameter, from number 0 on.
-- They become the comments of saved parameter scripts.

ParamDescription = {}
local function add(text) ParamDescription[#ParamDescription + 1] = text end

add('Baud rate code (5 = 9600 bps)')                             -- 0
add('Station number')                                            -- 1
add('Control mode (0 position, 1 velocity, 2 force)')            -- 2
add('Actuator number: ')                                         -- 3
add('Servo on at power-on')                                      -- 4
add('Command source (0 serial, 1 analog, 2 pulse)')              -- 5
add('Direction of motion')                                       -- 6
add('Force limit [mN]')                                          -- 7
add('Continuous current limit [mA]')                             -- 8
add('Peak current limit [mA]')                                   -- 9
add('Peak current time [ms]')                                    -- 10
add('Position gain mantissa')                                    -- 11
add('Position gain exponent')                                    -- 12
add('Velocity gain mantissa')                                    -- 13
add('Velocity gain exponent')                                    -- 14
add('Velocity integral time [0.1 ms]')                           -- 15
add('Current loop bandwidth [10 Hz]')                            -- 16
add('Feed-forward gain [%]')                                     -- 17
add('Notch filter frequency [Hz] (0 off)')                       -- 18
add('Notch filter depth')                                        -- 19
add('Velocity limit [0.001 m/s]')                                -- 20
add('Acceleration [mm/s2]')                                      -- 21
add('Deceleration [mm/s2]')                                      -- 22
add('In-position window [um]')                                   -- 23
add('Following error limit [um]')                                -- 24
add('Software limit + [um]')                                     -- 25
add('Software limit - [um]')                                     -- 26
add('Home method')                                               -- 27
add('Home velocity [0.001 m/s]')                                 -- 28
add('Home offset [um]')                                          -- 29
add('Encoder resolution [nm]')                                   -- 30
add('Encoder direction')                                         -- 31
add('Input polarity bits')                                       -- 32
add('Output 1 function')                                         -- 33
add('Output 2 function')                                         -- 34
add('Analog command offset [mV]')                                -- 35
add('Analog command gain [0.001]')                               -- 36
add('Recording channel set')                                     -- 37
add('Recording interval [x 0.1 ms]')                             -- 38
add('Recording trigger (0 immediate, 1 on move)')                -- 39
add('Parameter lock (0 unlocked, 1 locked)')                     -- 40
add('Alarm enable bits')                                         -- 41
for n = 42, 57 do add(string.format('Position table %d [um]', n - 41)) end
for n = 58, 73 do add(string.format('Velocity table %d [0.001 m/s]', n - 57)) end
for n = 74, 89 do add(string.format('Force table %d [mN]', n - 73)) end
add('Table entry select')                                        -- 90
for n = 91, 98 do add(string.format('Gain set %d position gain mantissa', n - 90)) end
add('Gain set select')                                           -- 99
for n = 100, 199 do add(string.format('Reserved setting %d', n)) end
add('Alarm code')                                                -- 200
add('Servo status bits')                                         -- 201
add('Actual position [um]')                                      -- 202
add('Actual velocity [0.001 m/s]')                               -- 203
add('Actual current [mA]')                                       -- 204
add('Following error [um]')                                      -- 205
add('Bus voltage [0.1 V]')                                       -- 206
add('Coil temperature [degC]')                                   -- 207
add('Input states')                                              -- 208
add('Output states')                                             -- 209
for n = 210, 217 do add(string.format('Alarm history %d', n - 209)) end
for n = 218, 299 do add(string.format('Reserved status %d', n)) end
for n = 300, 555 do add(string.format('Test array sample %d channel %d', math.floor((n - 300) / 4), (n - 300) % 4)) end
for n = 556, 599 do add('Reserved') end
