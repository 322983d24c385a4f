-- Parameter descriptions of the Tarvix Unipolar step drive 3.0.x, one per parameter, from number 0 on.
-- They become the comments of saved parameter scripts.

ParamDescription = {}
local function add(text) ParamDescription[#ParamDescription + 1] = text end

add('Baud rate code (5 = 9600 bps)')                             -- 0
add('Drive address')                                             -- 1
add('Operating mode (0 pulse, 1 oscillator, 2 indexer)')         -- 2
add('Motor number: ')                                            -- 3
add('Microstep code (3 = 1/8)')                                  -- 4
add('Phase current [0.1 A]')                                     -- 5
add('Hold current [%]')                                          -- 6
add('Start frequency [pps]')                                     -- 7
add('Max frequency mantissa')                                    -- 8
add('Max frequency exponent')                                    -- 9
add('Ramp time [ms]')                                            -- 10
add('Electronic gear ratio [0.001]')                             -- 11
add('Pulse scale [motor units]')                                 -- 12
add('Current preset select')                                     -- 13
add('Current preset 1 [0.1 A]')                                  -- 14
add('Current preset 2 [0.1 A]')                                  -- 15
add('Current preset 3 [0.1 A]')                                  -- 16
add('Current preset 4 [0.1 A]')                                  -- 17
add('Step signal edge (0 rising, 1 falling)')                    -- 18
add('Direction signal logic')                                    -- 19
add('Oscillator source (0 fixed, 1 analog input)')               -- 20
add('Oscillator frequency [pps]')                                -- 21
add('Oscillator direction')                                      -- 22
add('Analog full-scale frequency mantissa')                      -- 23
add('Analog full-scale frequency exponent')                      -- 24
add('Indexer program number')                                    -- 25
add('Indexer start input')                                       -- 26
for n = 27, 34 do add(string.format('Index %d distance [steps]', n - 26)) end
for n = 35, 42 do add(string.format('Index %d speed [pps]', n - 34)) end
add('Input logic bits')                                          -- 43
add('Alarm output logic')                                        -- 44
add('Busy output logic')                                         -- 45
add('Filter time [0.001 ms]')                                    -- 46
add('Resolution switch input')                                   -- 47
add('Auto current down')                                         -- 48
add('Current down delay [ms]')                                   -- 49
add('Overheat limit [degC]')                                     -- 50
add('Smooth drive level')                                        -- 51
add('Excitation at power-on')                                    -- 52
add('Keypad lock')                                               -- 53
for n = 54, 61 do add(string.format('User memory %d', n - 53)) end
add('Zero position offset [steps]')                              -- 62
add('Home sensor logic')                                         -- 63
add('Home speed [pps]')                                          -- 64
add('Home direction')                                            -- 65
for n = 66, 79 do add('Reserved') end
add('Alarm code')                                                -- 80
add('Status bits')                                               -- 81
add('Output frequency [pps]')                                    -- 82
add('Step counter')                                              -- 83
add('Phase current monitor [0.1 A]')                             -- 84
add('Heat sink temperature [degC]')                              -- 85
add('Input monitor')                                             -- 86
add('Load factor [%]')                                           -- 87
for n = 88, 91 do add(string.format('Alarm history %d', n - 87)) end
for n = 92, 111 do add('Reserved') end
