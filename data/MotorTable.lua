-- Motors the drives know by number: { motor number, factor, name }. The factor
-- scales values shown "times the motor factor" (for step motors the pulses
-- per unit of the drive's speed settings, for voice-coil actuators the
-- force constant in mN per unit).

glb_TableMotorType = {
    {  0,   1, 'No motor' },
    {  1,   2, 'TX-28S 0.67A 1.8deg' },
    {  2,   2, 'TX-35S 1.0A 1.8deg' },
    {  3,   4, 'TX-42S 1.5A 1.8deg' },
    {  4,   4, 'TX-42L 1.7A 1.8deg' },
    {  5,   8, 'TX-42H 1.5A 0.9deg' },
    {  6,   4, 'TX-56S 2.8A 1.8deg' },
    {  7,   5, 'TX-56P 1.4A 0.72deg 5-phase' },
    {  8,   4, 'TX-56L 4.2A 1.8deg' },
    {  9,   4, 'TX-60M 3.0A 1.8deg' },
    { 10,   4, 'TX-86S 4.5A 1.8deg' },
    { 11,   4, 'TX-86L 6.0A 1.8deg' },
    { 12,   5, 'TX-86P 2.8A 0.72deg 5-phase' },
    { 20,  10, 'MV-16 voice coil 8 mm' },
    { 21,  25, 'MV-25 voice coil 12 mm' },
    { 22,  40, 'MV-40 voice coil 20 mm' },
}
