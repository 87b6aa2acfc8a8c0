// The benchmark's summary figures: median of odd and even counts, the 90th
// percentile by nearest rank (where off-by-one slips show), samples in any
// order.
#include <gtest/gtest.h>

#include "tools/latency_probe/latency_stats.h"

namespace {

TEST(LatencyStats, FiguresOfUnsortedSamples) {
    LatencySummary s = summarize_latencies({50, 10, 40, 20, 30});
    EXPECT_EQ(s.count, 5u);
    EXPECT_DOUBLE_EQ(s.median, 30);
    EXPECT_DOUBLE_EQ(s.p90, 50);  // rank 5 of 5
    EXPECT_DOUBLE_EQ(s.max, 50);

    s = summarize_latencies({4, 1, 3, 2});
    EXPECT_DOUBLE_EQ(s.median, 2.5);
    EXPECT_DOUBLE_EQ(s.p90, 4);
}

TEST(LatencyStats, NinetiethPercentileByNearestRank) {
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) hundred.push_back(i);
    EXPECT_DOUBLE_EQ(summarize_latencies(hundred).p90, 90);  // rank 90: 90 % at or below
    std::vector<double> ten(hundred.end() - 10, hundred.end());
    EXPECT_DOUBLE_EQ(summarize_latencies(ten).p90, 9);
    std::vector<double> eleven(hundred.end() - 11, hundred.end());
    EXPECT_DOUBLE_EQ(summarize_latencies(eleven).p90, 10);  // rank ceil(9.9) = 10
}

TEST(LatencyStats, OneSampleAndNone) {
    LatencySummary s = summarize_latencies({7});
    EXPECT_DOUBLE_EQ(s.median, 7);
    EXPECT_DOUBLE_EQ(s.p90, 7);
    EXPECT_DOUBLE_EQ(s.max, 7);
    s = summarize_latencies({});
    EXPECT_EQ(s.count, 0u);
    EXPECT_DOUBLE_EQ(s.max, 0);
}

}  // namespace
