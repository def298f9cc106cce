#pragma once

// Seconds from the high-resolution performance counter, for benchmarks.
double SecondsNow();
