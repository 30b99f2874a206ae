#pragma once

// The console against a controller that sends 1 MiB of bytes without ETX and then 10,000 clock
// replies back to back: what that costs in peak memory, and whether a button pressed while it is
// still arriving gets its request out within a second. Returns the exit status.
int runGarbageSoak();
