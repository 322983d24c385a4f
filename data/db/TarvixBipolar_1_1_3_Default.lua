-- Default values of the Tarvix Bipolar multi-motor step drive 1.1.3, one per parameter, from number 0 on.
-- Values are raw drive units (see the descriptions).

Default_Value = {}
local function add(value) Default_Value[#Default_Value + 1] = value end

add(1)       --   0 Drive ID
add(5)       --   1 Baud rate code (5 = 9600 bps)
add(0)       --   2 Motor pointer (motor slot 0-15)
add(0)       --   3 Reset drive flag (1 disconnects the motor)
add(1)       --   4 Board switch enable flags
add(0)       --   5 Reserved
add(0)       --   6 Slot select source (0 parameter, 1 inputs)
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
add(180)     --  17 Supply voltage low limit [0.1 V]
add(520)     --  18 Supply voltage high limit [0.1 V]
add(255)     --  19 Alarm enable bits
add(0)       --  20 Communication watchdog [ms] (0 off)
add(0)       --  21 Parameter lock (0 unlocked, 1 locked)
for n = 22, 37 do add(0) end   -- User register n
for n = 38, 47 do add(0) end   -- Reserved
add(3)       --  48 Motor number: 
add(4)       --  49 Microstep resolution code (4 = 1/16)
add(0)       --  50 Motor direction (0 CW, 1 CCW)
add(15)      --  51 Run current [0.1 A]
add(8)       --  52 Stop current [0.1 A]
add(18)      --  53 Boost current [0.1 A]
add(500)     --  54 Current reduction delay [ms]
add(1000)    --  55 Acceleration [rpm/s]
add(1000)    --  56 Deceleration [rpm/s]
add(1)       --  57 Current decay mode (0 slow, 1 mixed, 2 fast)
add(30)      --  58 Start speed [rpm]
add(600)     --  59 Max speed [rpm]
add(60)      --  60 Jog speed [rpm]
add(100)     --  61 Jog acceleration [rpm/s]
add(30)      --  62 Home speed [rpm]
add(0)       --  63 Home offset [steps]
add(10)      --  64 Damping gain [0.1]
add(45)      --  65 Damping phase [deg]
add(120)     --  66 Anti-resonance frequency [Hz]
add(40)      --  67 Stall detect threshold [%]
add(100)     --  68 Step rate limit [motor units]
add(50)      --  69 Idle current [%]
add(200)     --  70 Full steps per revolution
add(0)       --  71 Motor inductance [0.1 mH]
add(0)       --  72 Motor resistance [0.01 Ohm]
add(90)      --  73 Motor temperature limit [degC]
add(1)       --  74 Automatic current reduction
add(0)       --  75 Home method
add(0)       --  76 Home direction
add(15)      --  77 Home creep speed [rpm]
add(0)       --  78 Home creep offset [steps]
add(10)      --  79 High-speed damping gain [0.1]
add(45)      --  80 High-speed damping phase [deg]
add(240)     --  81 High-speed anti-resonance frequency [Hz]
add(1000)    --  82 Encoder resolution [ppr]
for n = 83, 90 do add(0) end   -- Reserved
add(10)      --  91 In-position window [steps]
add(400)     --  92 Following error limit [steps]
add(3)       --  93 Stall retries
add(90)      --  94 Driver temperature limit [degC]
add(100)     --  95 Brake engage delay [ms]
add(200)     --  96 Brake release delay [ms]
add(5)       --  97 Input filter [ms]
add(30)      --  98 Jog start speed [rpm]
for n = 99, 114 do add(60 * (n - 98)) end   -- Preset speed n [rpm]
add(0)       -- 115 Preset speed select
for n = 116, 127 do add(0) end   -- Reserved
add(0)       -- 128 Alarm code
add(0)       -- 129 Drive status bits
add(0)       -- 130 Actual speed [rpm]
add(0)       -- 131 Actual position [steps]
add(240)     -- 132 Supply voltage [0.1 V]
add(31)      -- 133 Drive temperature [degC]
add(0)       -- 134 Input states
add(0)       -- 135 Output states
for n = 136, 143 do add(0) end   -- Alarm history n
add(0)       -- 144 Active motor slot
add(0)       -- 145 Motion state (0 stopped, 1 accelerating, 2 running, 3 decelerating)
for n = 146, 159 do add(0) end   -- Reserved
