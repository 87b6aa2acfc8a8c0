#include "tools/latency_probe/latency_stats.h"

#include <algorithm>

LatencySummary summarize_latencies(std::vector<double> samples) {
    LatencySummary s = {samples.size(), 0.0, 0.0, 0.0};
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
    // Rank ceil(0.9 n), counted from 1, in integers so that 0.9 * 10 is 9.
    size_t rank = (9 * n + 9) / 10;
    s.p90 = samples[rank - 1];
    s.max = samples[n - 1];
    return s;
}
