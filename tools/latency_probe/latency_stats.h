// Summary figures of a set of latency samples, as the latency benchmark
// reports them.
#pragma once

#include <cstddef>
#include <vector>

struct LatencySummary {
    size_t count;
    double median;  // middle value; the mean of the two middle ones for an even count
    double p90;     // nearest rank: the smallest sample with at least 90 % at or below it
    double max;
};

// All zero for no samples.
LatencySummary summarize_latencies(std::vector<double> samples);
