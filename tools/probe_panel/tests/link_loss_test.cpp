// The lossy link's draw: nothing lost at 0, everything at 1, close to the
// probability in between, and the same losses again for the same seed.
#include <gtest/gtest.h>

#include "tools/probe_panel/link_loss.h"

namespace {

int losses_in(LinkLoss* loss, int draws) {
    int lost = 0;
    for (int i = 0; i < draws; ++i) lost += link_loses(loss) ? 1 : 0;
    return lost;
}

TEST(LinkLoss, LosesAtTheProbabilityAndRepeatsForOneSeed) {
    LinkLoss loss;
    link_loss_init(&loss, 0, 7);
    EXPECT_EQ(losses_in(&loss, 10000), 0);
    link_loss_init(&loss, 1, 7);
    EXPECT_EQ(losses_in(&loss, 10000), 10000);
    link_loss_init(&loss, 0.01, 7);
    int lost = losses_in(&loss, 100000);
    EXPECT_GT(lost, 850);  // 1000 expected; beyond five standard deviations either way
    EXPECT_LT(lost, 1150);
    link_loss_init(&loss, 0.01, 7);
    EXPECT_EQ(losses_in(&loss, 100000), lost);
}

}  // namespace
