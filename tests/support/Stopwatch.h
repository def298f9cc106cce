#pragma once

#include <algorithm>
#include <vector>

// Seconds from the high-resolution performance counter, for benchmarks.
double SecondsNow();

// Processor seconds the whole process has used so far, all its threads (under
// Wine also the renderer's own threads), user and kernel time together.
double ProcessCpuSecondsNow();

// How long each of `repeats` runs of `work` took, in milliseconds, shortest first.
template <class Work>
std::vector<double> SortedRunTimesMs(int repeats, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const double start = SecondsNow();
        work();
        times.push_back((SecondsNow() - start) * 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times;
}

// The median and the best of `repeats` runs of `work`, in milliseconds: the best
// run is the cost on a quiet machine, the median what a shared one adds.
struct RunTiming {
    double median;
    double best;
};

// The median and the best of run times taken one by one, in milliseconds.
inline RunTiming TimingOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return RunTiming{times[times.size() / 2], times[0]};
}

template <class Work>
RunTiming TimeRuns(int repeats, Work work)
{
    return TimingOf(SortedRunTimesMs(repeats, work));
}

// One row of a benchmark's table: what was timed, median, best and its target.
void PrintTiming(const char* what, const RunTiming& timing, const char* target);
