#pragma once

#include "numerics/foundations/integration/kronrod21_nodes.h"

namespace quorvel {

// The 21-point Kronrod rule and its embedded 10-point Gauss rule on one panel [a, b].
struct KronrodPanel {
    double kronrod = 0.0;
    double gauss = 0.0;
};

// Both rules on [a, b] for any callable f(x) -> double (QUADPACK's DQK21 nodes, without its
// error heuristics: the caller judges |kronrod − gauss| itself).
template <typename F>
KronrodPanel kronrod21Panel(F&& f, double a, double b) {
    const double centre = 0.5 * (a + b);
    const double half = 0.5 * (b - a);
    double kronrod = kKronrodWeights[10] * f(centre);
    double gauss = 0.0;
    for (int k = 0; k < 10; ++k) {
        const double offset = half * kKronrodNodes[k];
        const double pair = f(centre - offset) + f(centre + offset);
        kronrod += kKronrodWeights[k] * pair;
        if (k % 2 == 1) {
            gauss += kGaussWeights[k / 2] * pair;
        }
    }
    return {kronrod * half, gauss * half};
}

}  // namespace quorvel
