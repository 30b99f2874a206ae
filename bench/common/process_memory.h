#pragma once

// Resident memory of this process, in KiB, as the kernel reports it in /proc/self/status.
struct ProcessMemory {
    long residentKiB = 0;  // VmRSS
    long peakKiB = 0;      // VmHWM, the highest VmRSS so far
};

ProcessMemory readProcessMemory();

double mebibytes(long kib);
