#pragma once

// Seconds from the high-resolution performance counter, for benchmarks.
double SecondsNow();

// Processor seconds the whole process has used so far, all its threads (under
// Wine also the renderer's own threads), user and kernel time together.
double ProcessCpuSecondsNow();
