#include "tools/probe_panel/link_loss.h"

void link_loss_init(LinkLoss* loss, double probability, uint32_t seed) {
    loss->probability = probability;
    loss->random.seed(seed);
}

bool link_loses(LinkLoss* loss) {
    if (loss->probability <= 0) return false;
    // 32 random bits against the probability: the same losses on every
    // platform for one seed, which the standard distributions do not promise.
    return loss->random() < loss->probability * 4294967296.0;
}
