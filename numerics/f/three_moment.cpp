#include "numerics/f/three_moment.h"

#include <cmath>

namespace quorvel {

ThreeMomentParameters threeMomentParameters(double m, double n, double lambda) {
    const double H = 2.0 * std::pow(m + lambda, 3) +
                     3.0 * (m + lambda) * (m + 2.0 * lambda) * (n - 2.0) +
                     (n - 2.0) * (n - 2.0) * (m + 3.0 * lambda);
    const double K = (m + lambda) * (m + lambda) + (n - 2.0) * (m + 2.0 * lambda);
    const double nu = (n - 2.0) / 2.0 * (std::sqrt(H * H / (H * H - 4.0 * K * K * K)) - 1.0);
    const double c = (nu / m) * (H / K) / (2.0 * nu + n - 2.0);
    const double d = n * (c - 1.0 - lambda / m) / (n - 2.0);
    return {nu, c, d};
}

}  // namespace quorvel
