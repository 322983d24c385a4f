-- Default values of the Tarvix Unipolar step drive 3.0.x, one per parameter, from number 0 on.
-- Values are raw drive units (see the descriptions).

Default_Value = {}
local function add(value) Default_Value[#Default_Value + 1] = value end

add(5)       --   0 Baud rate code (5 = 9600 bps)
add(1)       --   1 Drive address
add(0)       --   2 Operating mode (0 pulse, 1 oscillator, 2 indexer)
add(7)       --   3 Motor number: 
add(3)       --   4 Microstep code (3 = 1/8)
add(12)      --   5 Phase current [0.1 A]
add(50)      --   6 Hold current [%]
add(200)     --   7 Start frequency [pps]
add(15)      --   8 Max frequency mantissa
add(2)       --   9 Max frequency exponent
add(50)      --  10 Ramp time [ms]
add(1000)    --  11 Electronic gear ratio [0.001]
add(20)      --  12 Pulse scale [motor units]
add(0)       --  13 Current preset select
add(6)       --  14 Current preset 1 [0.1 A]
add(9)       --  15 Current preset 2 [0.1 A]
add(12)      --  16 Current preset 3 [0.1 A]
add(15)      --  17 Current preset 4 [0.1 A]
add(0)       --  18 Step signal edge (0 rising, 1 falling)
add(0)       --  19 Direction signal logic
add(1)       --  20 Oscillator source (0 fixed, 1 analog input)
add(500)     --  21 Oscillator frequency [pps]
add(0)       --  22 Oscillator direction
add(100)     --  23 Analog full-scale frequency mantissa
add(1)       --  24 Analog full-scale frequency exponent
add(3)       --  25 Indexer program number
add(0)       --  26 Indexer start input
for n = 27, 34 do add(400 * (n - 26)) end   -- Index n distance [steps]
for n = 35, 42 do add(800) end   -- Index n speed [pps]
add(0)       --  43 Input logic bits
add(1)       --  44 Alarm output logic
add(0)       --  45 Busy output logic
add(250)     --  46 Filter time [0.001 ms]
add(0)       --  47 Resolution switch input
add(1)       --  48 Auto current down
add(200)     --  49 Current down delay [ms]
add(80)      --  50 Overheat limit [degC]
add(3)       --  51 Smooth drive level
add(0)       --  52 Excitation at power-on
add(0)       --  53 Keypad lock
for n = 54, 61 do add(0) end   -- User memory n
add(0)       --  62 Zero position offset [steps]
add(1)       --  63 Home sensor logic
add(300)     --  64 Home speed [pps]
add(0)       --  65 Home direction
for n = 66, 79 do add(0) end   -- Reserved
add(0)       --  80 Alarm code
add(0)       --  81 Status bits
add(0)       --  82 Output frequency [pps]
add(0)       --  83 Step counter
add(0)       --  84 Phase current monitor [0.1 A]
add(0)       --  85 Heat sink temperature [degC]
add(0)       --  86 Input monitor
add(0)       --  87 Load factor [%]
for n = 88, 91 do add(0) end   -- Alarm history n
for n = 92, 111 do add(0) end   -- Reserved
