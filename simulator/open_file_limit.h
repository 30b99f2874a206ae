#pragma once

// Raises this process's limit of open files to the most the system allows it, for a simulator
// that listens on many addresses and takes many connections. Does nothing where there is no such
// limit to raise.
void raiseOpenFileLimit();
