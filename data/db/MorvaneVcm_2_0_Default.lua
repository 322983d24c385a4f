-- Default values of the Morvane VCM servo drive 2.0.x, one per parameter, from number 0 on.
-- Values are raw drive units (see the descriptions).

Default_Value = {}
local function add(value) Default_Value[#Default_Value + 1] = value end

-- The test array (parameters 300-555) holds a recorded move: sample j of
-- channel c lies at 300 + 4 * j + c; channels are position [um], velocity
-- [0.001 m/s], current [mA] and following error [um], as signed 16-bit values.
local function TestSample(k)
    local j, c = math.floor(k / 4), k % 4
    local t = j / 63
    local s = 3 * t * t - 2 * t * t * t           -- smooth 0 .. 1 profile
    if c == 0 then return math.floor(20000 * s) end
    if c == 1 then return math.floor(6 * 20000 * t * (1 - t) / 6.3) end
    if c == 2 then return math.floor(3000 * math.cos(math.pi * t)) end
    return math.floor(150 * math.sin(2 * math.pi * t))
end

add(5)       --   0 Baud rate code (5 = 9600 bps)
add(1)       --   1 Station number
add(0)       --   2 Control mode (0 position, 1 velocity, 2 force)
add(21)      --   3 Actuator number: 
add(0)       --   4 Servo on at power-on
add(0)       --   5 Command source (0 serial, 1 analog, 2 pulse)
add(0)       --   6 Direction of motion
add(2000)    --   7 Force limit [mN]
add(1500)    --   8 Continuous current limit [mA]
add(4000)    --   9 Peak current limit [mA]
add(200)     --  10 Peak current time [ms]
add(12)      --  11 Position gain mantissa
add(-1)      --  12 Position gain exponent
add(35)      --  13 Velocity gain mantissa
add(-2)      --  14 Velocity gain exponent
add(50)      --  15 Velocity integral time [0.1 ms]
add(80)      --  16 Current loop bandwidth [10 Hz]
add(0)       --  17 Feed-forward gain [%]
add(0)       --  18 Notch filter frequency [Hz] (0 off)
add(5)       --  19 Notch filter depth
add(1000)    --  20 Velocity limit [0.001 m/s]
add(5000)    --  21 Acceleration [mm/s2]
add(5000)    --  22 Deceleration [mm/s2]
add(10)      --  23 In-position window [um]
add(2000)    --  24 Following error limit [um]
add(0)       --  25 Software limit + [um]
add(0)       --  26 Software limit - [um]
add(0)       --  27 Home method
add(100)     --  28 Home velocity [0.001 m/s]
add(0)       --  29 Home offset [um]
add(1000)    --  30 Encoder resolution [nm]
add(0)       --  31 Encoder direction
add(0)       --  32 Input polarity bits
add(1)       --  33 Output 1 function
add(2)       --  34 Output 2 function
add(0)       --  35 Analog command offset [mV]
add(1000)    --  36 Analog command gain [0.001]
add(0)       --  37 Recording channel set
add(1)       --  38 Recording interval [x 0.1 ms]
add(0)       --  39 Recording trigger (0 immediate, 1 on move)
add(0)       --  40 Parameter lock (0 unlocked, 1 locked)
add(255)     --  41 Alarm enable bits
for n = 42, 57 do add(0) end   -- Position table n [um]
for n = 58, 73 do add(500) end   -- Velocity table n [0.001 m/s]
for n = 74, 89 do add(2000) end   -- Force table n [mN]
add(0)       --  90 Table entry select
for n = 91, 98 do add(10 + 5 * (n - 91)) end   -- Gain set n position gain mantissa
add(0)       --  99 Gain set select
for n = 100, 199 do add(0) end   -- Reserved setting n
add(0)       -- 200 Alarm code
add(0)       -- 201 Servo status bits
add(0)       -- 202 Actual position [um]
add(0)       -- 203 Actual velocity [0.001 m/s]
add(0)       -- 204 Actual current [mA]
add(0)       -- 205 Following error [um]
add(480)     -- 206 Bus voltage [0.1 V]
add(33)      -- 207 Coil temperature [degC]
add(0)       -- 208 Input states
add(0)       -- 209 Output states
for n = 210, 217 do add(0) end   -- Alarm history n
for n = 218, 299 do add(0) end   -- Reserved status n
for n = 300, 555 do add(TestSample(n - 300)) end   -- Test array sample n channel n
for n = 556, 599 do add(0) end   -- Reserved
