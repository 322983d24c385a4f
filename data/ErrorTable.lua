-- Alarm texts by alarm code: the first text is code 0.

glb_TableError = {
    'No alarm',                       -- 0
    'Over current',                   -- 1
    'Over voltage',                   -- 2
    'Under voltage',                  -- 3
    'Drive over temperature',         -- 4
    'Motor over temperature',         -- 5
    'Motor phase open',               -- 6
    'Encoder fault',                  -- 7
    'Following error',                -- 8
    'Stall detected',                 -- 9
    'Limit switch + reached',         -- 10
    'Limit switch - reached',         -- 11
    'Both limit switches active',     -- 12
    'Emergency stop',                 -- 13
    'Home not found',                 -- 14
    'EEPROM checksum error',          -- 15
    'Communication watchdog',         -- 16
    'Command error',                  -- 17
    'Peak current time exceeded',     -- 18
    'Software limit reached',         -- 19
    'Motor slot not configured',      -- 20
}
