#pragma once

// Runs `cycles` commands, the whole mix over and over, against the built-in station, printing a
// progress line every `reportEvery` cycles and the figures at the end. Returns the exit status.
int runCycleSoak(int cycles, int reportEvery);
