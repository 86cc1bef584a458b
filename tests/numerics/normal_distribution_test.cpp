#include <gtest/gtest.h>

#include <boost/math/distributions/normal.hpp>
#include <cmath>

#include "numerics/foundations/normal_distribution.h"

namespace quorvel {
namespace {

double exactPhi(double z) {
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

// Ibbetson's polynomials are good to about 1e-9 in absolute terms (measured: 1.02e-9 at the
// seam |z| = 2); the power-of-ten tail
// between 4 and 8 is good to a few per cent of the (tiny) tail.
TEST(NormalCdf, FollowsTheExactFunctionWithinTheApproximationsError) {
    const NormalDistribution normal;
    for (double z = -4.0; z <= 4.0; z += 0.03125) {
        EXPECT_NEAR(normal.cdf(z), exactPhi(z), 1.1e-9) << "z = " << z;
    }
    for (double z : {-7.9, -6.0, -5.0, -4.5, 4.5, 6.0}) {
        const double tail = exactPhi(-std::fabs(z));
        const double ours = z < 0 ? normal.cdf(z) : 1.0 - normal.cdf(z);
        EXPECT_NEAR(ours, tail, 0.05 * tail) << "z = " << z;
    }
}

TEST(NormalCdf, HitsItsDocumentedValuesAndFloors) {
    const NormalDistribution normal;
    EXPECT_EQ(normal.cdf(0.0), 0.5);
    EXPECT_NEAR(normal.cdf(1.96), 0.9750021, 1e-7);
    EXPECT_NEAR(normal.cdf(-1.96), 0.0249979, 1e-7);
    EXPECT_DOUBLE_EQ(normal.cdf(4.0), (1.0 + 0.999936657524) / 2.0);
    EXPECT_NEAR(normal.cdf(-5.0), 2.8751e-7, 1e-11);
    EXPECT_EQ(normal.cdf(9.0), (1.0 + (1.0 - 1e-15)) / 2.0);
    EXPECT_EQ(normal.cdf(-9.0), (1.0 - (1.0 - 1e-15)) / 2.0);
    EXPECT_EQ(normal.cdf(INFINITY), normal.cdf(9.0));
}

TEST(NormalQuantile, InvertsTheExactFunctionToAS70sAccuracy) {
    const NormalDistribution normal;
    const boost::math::normal exact;
    for (double p : {1e-30, 1e-10, 1e-4, 0.001, 0.025, 0.2, 0.5, 0.7, 0.975, 0.9999}) {
        // AS 70 is good to about 1.5e-8 in z for moderate p; far out (p = 1e-30) the relative
        // error grows to a measured 8.6e-8.
        const double expected = boost::math::quantile(exact, p);
        EXPECT_NEAR(normal.quantile(p), expected, 1e-7 * std::max(1.0, std::fabs(expected)))
            << "p = " << p;
    }
    EXPECT_EQ(normal.quantile(0.5), 0.0);
    EXPECT_NEAR(normal.quantile(0.975), 1.959964, 1e-6);
    EXPECT_NEAR(normal.quantile(0.025), -1.959964, 1e-6);
    EXPECT_NEAR(normal.quantile(0.001), -3.090232, 1e-6);
}

TEST(NormalQuantile, ReturnsTheFailureValueOutsideItsRangeWithoutMessage) {
    const NormalDistribution normal;
    for (double p : {1e-35, 0.0, -1.0, 1.0, 2.0, std::nan("")}) {
        EXPECT_EQ(normal.quantile(p), -9999.0) << "p = " << p;
    }
}

TEST(NormalGeneralForms, StoreTheirArgumentsAndShiftAndScale) {
    NormalDistribution normal;
    EXPECT_DOUBLE_EQ(normal.cdf(13.0, 10.0, 2.0), normal.cdf(1.5));
    EXPECT_EQ(normal.x, 13.0);
    EXPECT_EQ(normal.mean, 10.0);
    EXPECT_EQ(normal.standardDeviation, 2.0);
    EXPECT_DOUBLE_EQ(normal.quantile(0.975, 10.0, 2.0), 10.0 + 2.0 * normal.quantile(0.975));
    EXPECT_EQ(normal.p, 0.975);
    EXPECT_DOUBLE_EQ(normal.quantile(), normal.quantile(0.975, 10.0, 2.0));
}

}  // namespace
}  // namespace quorvel
