#include "support/Stopwatch.h"

#include <windows.h>

#include <cstdio>

double SecondsNow()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double ProcessCpuSecondsNow()
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return 0.0;
    }
    const auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) *
               1e-7;
    };
    return seconds(kernel) + seconds(user);
}

void PrintTiming(const char* what, const RunTiming& timing, const char* target)
{
    std::printf("%-40s %8.2f %8.2f   %s\n", what, timing.median, timing.best, target);
}
