// Datagram loss on the benchmark panel's link: each datagram, in either
// direction, is lost with one probability, drawn from a seeded generator so
// that a run can be repeated with the same losses in the same order.
#pragma once

#include <cstdint>
#include <random>

struct LinkLoss {
    double probability;  // 0: nothing is lost
    std::mt19937 random;
};

void link_loss_init(LinkLoss* loss, double probability, uint32_t seed);

// Draws for one datagram; true when it is lost.
bool link_loses(LinkLoss* loss);
