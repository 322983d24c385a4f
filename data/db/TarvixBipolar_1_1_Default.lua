-- Default values of the Tarvix Bipolar step drive 1.1.x, one per parameter, from number 0 on.
-- Values are raw drive units (see the descriptions).

Default_Value = {}
local function add(value) Default_Value[#Default_Value + 1] = value end

add(1)       --   0 Drive ID
add(5)       --   1 Baud rate code (5 = 9600 bps)
add(0)       --   2 Response delay [ms]
add(1)       --   3 Command echo
add(90)      --   4 Motor temperature limit [degC]
add(180)     --   5 Supply voltage low limit [0.1 V]
add(520)     --   6 Supply voltage high limit [0.1 V]
add(0)       --   7 Control mode (0 pulse, 1 internal speed, 2 internal position)
add(0)       --   8 Pulse input type (0 step/dir, 1 CW/CCW, 2 quadrature)
add(2)       --   9 Pulse input filter [us]
add(0)       --  10 Input polarity bits
add(1)       --  11 Output 1 function
add(2)       --  12 Output 2 function
add(0)       --  13 Enable input mode
add(1)       --  14 Enable at power-on
add(0)       --  15 Alarm output polarity
add(1)       --  16 Limit switch action (0 off, 1 stop, 2 alarm)
add(0)       --  17 Home method
add(0)       --  18 Home direction
add(1)       --  19 Automatic current reduction
add(3)       --  20 Motor number: 
add(30)      --  21 Start speed [rpm]
add(0)       --  22 Speed unit (0 rpm, 1 pps)
add(0)       --  23 Motor direction (0 CW, 1 CCW)
add(150)     --  24 Run current [0.01 A]
add(80)      --  25 Stop current [0.01 A]
add(180)     --  26 Boost current [0.01 A]
add(500)     --  27 Current reduction delay [ms]
add(1)       --  28 Current decay mode (0 slow, 1 mixed, 2 fast)
add(400)     --  29 Following error limit [steps]
add(3)       --  30 Stall retries
add(10)      --  31 In-position window [steps]
add(5)       --  32 Input filter [ms]
for n = 33, 47 do add(60 * (n - 32)) end   -- Preset speed n [rpm]
add(0)       --  48 Preset speed select
add(0)       --  49 Internal speed command [rpm]
add(0)       --  50 Internal position target [steps]
add(960)     --  51 Preset speed 16 [rpm]
add(100)     --  52 Jog acceleration [rpm/s]
add(0)       --  53 Reserved
add(100)     --  54 Damping gain [0.01]
add(1200)    --  55 Anti-resonance frequency [0.1 Hz]
add(45)      --  56 Damping phase [deg]
add(40)      --  57 Stall detect threshold [%]
add(600)     --  58 Max speed [rpm]
add(1000)    --  59 Acceleration [rpm/s]
add(1000)    --  60 Deceleration [rpm/s]
add(4)       --  61 Microstep resolution code (4 = 1/16)
add(600)     --  62 Jog speed [0.1 rpm]
add(300)     --  63 Home speed [0.1 rpm]
add(0)       --  64 Home offset [steps]
add(0)       --  65 Reserved
add(1000)    --  66 Encoder resolution [ppr]
add(100)     --  67 Brake engage delay [ms]
add(200)     --  68 Brake release delay [ms]
add(100)     --  69 Step rate limit [motor units]
add(1)       --  70 Input 1 function
add(2)       --  71 Input 2 function
add(3)       --  72 Input 3 function
add(4)       --  73 Input 4 function
add(1)       --  74 Output 1 logic
add(1)       --  75 Output 2 logic
add(0)       --  76 Analog input offset [mV]
add(1000)    --  77 Analog input gain [0.001]
add(20)      --  78 Analog dead band [mV]
add(50)      --  79 Idle current [%]
for n = 80, 95 do add(0) end   -- User register n
add(255)     --  96 Alarm enable bits
add(0)       --  97 Communication watchdog [ms] (0 off)
add(0)       --  98 Status display mode
add(0)       --  99 Parameter lock (0 unlocked, 1 locked)
add(0)       -- 100 Alarm code
add(0)       -- 101 Drive status bits
add(0)       -- 102 Actual speed [rpm]
add(0)       -- 103 Actual position [steps]
add(240)     -- 104 Supply voltage [0.1 V]
add(31)      -- 105 Drive temperature [degC]
add(0)       -- 106 Motor current [0.01 A]
add(0)       -- 107 Input states
add(0)       -- 108 Output states
add(0)       -- 109 Operating hours
for n = 110, 117 do add(0) end   -- Alarm history n
add(0)       -- 118 Power-on count
add(0)       -- 119 Firmware checksum
for n = 120, 127 do add(0) end   -- Reserved
