#include <gtest/gtest.h>

#include <cmath>

#include "numerics/foundations/normal_distribution.h"
#include "tests/support/boost_oracle.h"

namespace quorvel {
namespace {

// Φ and its complement to a few units in the last place in both tails, down to the smallest
// normalized doubles, with no floor. Boost's normal distribution rounds z/√2 before erfc and so
// errs by about z²·1e-16 itself (1.3e-13 at −30): it is the oracle for |z| <= 5 only; beyond,
// 40-digit values from mpmath.
TEST(NormalCdf, HasFullRelativePrecisionInBothTails) {
    const NormalDistribution normal;
    for (double z = -5.0; z <= 8.0; z += 0.0625) {
        const double expected = oracle::normalCdf(z);
        EXPECT_NEAR(normal.cdf(z), expected, 3e-15 * expected) << "z = " << z;
        const double upper = oracle::normalUpper(-z);
        EXPECT_NEAR(normal.complement(-z), upper, 3e-15 * upper) << "z = " << z;
        // Above 0 the oracle's own ln of a value near 1 loses digits that log1p keeps.
        if (z <= 0.0) {
            EXPECT_NEAR(normal.logCdf(z), std::log(expected),
                        3e-15 * std::fabs(std::log(expected)))
                << "z = " << z;
        }
    }
    const struct {
        double z;
        double phi;
    } mpmathValues[] = {{-10.0, 7.6198530241605260e-24},  {-20.0, 2.7536241186062337e-89},
                        {-25.0, 3.0566967063825609e-138}, {-27.0, 7.3894810068850183e-161},
                        {-30.0, 4.9067139271481871e-198}, {-36.0, 4.1826240657972833e-284},
                        {-37.0, 5.7255712225245768e-300}, {-37.5, 4.6053530095819548e-308}};
    for (const auto& [z, phi] : mpmathValues) {
        EXPECT_NEAR(normal.cdf(z), phi, 4e-16 * phi) << "z = " << z;
        EXPECT_NEAR(normal.complement(-z), phi, 4e-16 * phi) << "z = " << z;
        EXPECT_NEAR(normal.logCdf(z), std::log(phi), 4e-16 * std::fabs(std::log(phi)))
            << "z = " << z;
    }
    // ln Φ where Φ itself underflows (mpmath).
    EXPECT_NEAR(normal.logCdf(-40.0), -804.60844201375379, 1e-13);
    EXPECT_NEAR(normal.logCdf(-1e5), -5000000012.4318640, 1e-6);
}

TEST(NormalCdf, HitsItsDocumentedValuesAndIsMonotone) {
    const NormalDistribution normal;
    EXPECT_EQ(normal.cdf(0.0), 0.5);
    EXPECT_NEAR(normal.cdf(1.96), 0.97500210485177956, 1e-16);
    EXPECT_NEAR(normal.cdf(-1.96), 0.024997895148220435, 1e-17);
    EXPECT_EQ(normal.cdf(INFINITY), 1.0);
    EXPECT_EQ(normal.cdf(-INFINITY), 0.0);
    EXPECT_EQ(normal.cdf(9.0), 1.0 - normal.cdf(-9.0));
    double previous = 0.0;
    for (double z = -38.0; z <= 9.0; z += 1.0 / 1024.0) {
        const double p = normal.cdf(z);
        EXPECT_GE(p, previous) << "z = " << z;
        previous = p;
    }
}

TEST(NormalQuantile, InvertsTheExactFunctionToAS241sAccuracy) {
    const NormalDistribution normal;
    for (double p : {1e-300, 1e-100, 1e-30, 1e-10, 1e-4, 0.001, 0.025, 0.2, 0.5, 0.7, 0.975,
                     0.9999, 1.0 - 1e-12}) {
        const double expected = oracle::normalQuantile(p);
        EXPECT_NEAR(normal.quantile(p), expected, 1e-15 * std::max(1.0, std::fabs(expected)))
            << "p = " << p;
    }
    EXPECT_EQ(normal.quantile(0.5), 0.0);
    EXPECT_NEAR(normal.quantile(0.975), 1.959963984540054, 1e-15);
    EXPECT_NEAR(normal.quantile(0.001), -3.090232306167814, 1e-15);
}

TEST(NormalQuantile, ReturnsTheFailureValueOutsideItsRangeWithoutMessage) {
    const NormalDistribution normal;
    for (double p : {0.0, -1.0, 1.0, 2.0, std::nan("")}) {
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
