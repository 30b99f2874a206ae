#include "common/process_memory.h"

#include <cstdio>
#include <cstring>

ProcessMemory readProcessMemory()
{
    ProcessMemory memory;
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return memory;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        long value = 0;
        if (std::sscanf(line, "VmRSS: %ld", &value) == 1)
            memory.residentKiB = value;
        else if (std::sscanf(line, "VmHWM: %ld", &value) == 1)
            memory.peakKiB = value;
    }
    std::fclose(status);
    return memory;
}

double mebibytes(long kib)
{
    return double(kib) / 1024.0;
}
